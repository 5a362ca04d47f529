// Edge geometry of the conical contact kernel: where the current edge's line crosses a zone cone,
// and which of its points lies nearest the axis, the offset cone or a horizontal circle of the
// cutter. The edge and vertex stage asks these questions; the answers stay in cone_state_block.
// The zone cut measures t from the lower end L (0) to the upper end U (1); the others from U (0)
// to L (1).
#include "cutter/kernels/cone_contact.hpp"

#include "cutter/kernels/root_find_1d.hpp"

#include <algorithm>

namespace {

constexpr double kNoResult = -1.0;

// The point of the horizontal circle (centre k, radius rho) in the plan direction of q.
cone_vec circle_point_of(const cone_vec& k, double rho, const cone_vec& q)
{
    const cone_vec w = q - k;
    if (plan_abs_sum(w) < kConeZero) return {k.x + rho, k.y, k.z};
    const double h = std::sqrt(plan_squared(w));
    return {k.x + rho * w.x / h, k.y + rho * w.y / h, k.z};
}

// The roots of a t^2 + 2 b t + c = 0 (scaled so that |a| + |b| + |c| = 3) into the state.
void store_cuts(cone_state& s, int count, double first, double second)
{
    s.cut_count = count;
    const cone_vec d = s.upper - s.lower;
    s.t1 = first;
    s.first_cut = s.lower + first * d;
    if (count < 2) return;
    s.t2 = second;
    s.second_cut = s.lower + second * d;
}

// The point of the line through o along g nearest p.
cone_vec foot_on_line(const cone_vec& o, const cone_vec& g, const cone_vec& p)
{
    const double gg = dot(g, g);
    return gg < kConeZero ? o : o + (dot(p - o, g) / gg) * g;
}

// The nearest points of the edge line U + t d and the generator line apex + mu g; false when the
// two run parallel.
bool nearest_to_generator(const cone_vec& u, const cone_vec& d, const cone_vec& apex, const cone_vec& g, double& t,
                          cone_vec& edge_point, cone_vec& cone_point)
{
    const cone_vec between = apex - u;
    const double gg = dot(g, g), dd = dot(d, d), gd = dot(g, d);
    const double det = gg * dd - gd * gd;
    if (std::fabs(det) < kConeZero) return false;
    t = (gg * dot(between, d) - dot(between, g) * gd) / det;
    const double mu = -(dot(between, g) * dd - dot(between, d) * gd) / det;
    edge_point = u + t * d;
    cone_point = apex + mu * g;
    return true;
}

// A generator's pair is taken when it lies on the upper nappe, inside the edge, and the edge
// point is not on the far side of the axis from the cone point.
bool generator_pair_holds(const cone_vec& axis, const cone_vec& apex, double t, const cone_vec& edge_point,
                          const cone_vec& cone_point)
{
    if (cone_point.z < apex.z || t < 0.0 || t > 1.0) return false;
    const cone_vec out = cone_point - axis, across = edge_point - cone_point;
    return plan_dot(across, out) >= 0.0 || plan_abs_sum(out) - plan_abs_sum(across) >= 0.0;
}

}  // namespace

void edge_zone_cone_cut()
{
    cone_state& s = cone_state_block;
    const int j = s.zone_index;
    const double k2 = s.model.zone_ratio[j] * s.model.zone_ratio[j];
    const cone_vec d = s.upper - s.lower, w = s.lower - s.zone_apex[j];
    double a = plan_squared(d) - k2 * d.z * d.z;
    double b = plan_dot(w, d) - k2 * w.z * d.z;
    double c = plan_squared(w) - k2 * w.z * w.z;
    const double sum = std::fabs(a) + std::fabs(b) + std::fabs(c);
    if (sum == 0.0) {
        s.cut_count = 3;  // the line lies in the cone
        return;
    }
    a *= 3 / sum;
    b *= 3 / sum;
    c *= 3 / sum;
    const double disc = b * b - a * c;
    if (std::fabs(a) >= kConeZero) {
        if (disc < 0.0) {
            s.cut_count = 0;
            return;
        }
        const double r1 = (-b - std::sqrt(disc)) / a, r2 = (-b + std::sqrt(disc)) / a;
        store_cuts(s, 2, std::min(r1, r2), std::max(r1, r2));
        return;
    }
    if (std::fabs(c) < kConeZero) {
        store_cuts(s, 1, 0.0, 0.0);
        return;
    }
    // Nearly a generator's direction: solve for s = 1 / t, whose equation keeps its leading term.
    if (disc < 0.0) {
        s.cut_count = 0;
        return;
    }
    const double root = std::sqrt(disc);
    const double s1 = (-b - root) / c, s2 = (-b + root) / c;
    if (s1 == 0.0) {
        if (s2 == 0.0)
            s.cut_count = 0;
        else
            store_cuts(s, 1, 1 / s2, 0.0);
    } else if (s2 == 0.0) {
        store_cuts(s, 1, 1 / s1, 0.0);
    } else {
        store_cuts(s, 2, std::min(1 / s1, 1 / s2), std::max(1 / s1, 1 / s2));
    }
}

void circle_point_toward()
{
    cone_state& s = cone_state_block;
    s.circle_point = circle_point_of(s.edge_circle_centre, s.edge_circle_radius, s.edge_point);
}

void edge_nearest_axis()
{
    cone_state& s = cone_state_block;
    const cone_vec d = s.lower - s.upper;
    const cone_vec& k = s.edge_circle_centre;
    const double sum = abs_sum(d);
    if (sum == 0.0 || plan_abs_sum(d) / sum < kConeZero) {
        // Every point of a vertical edge lies as near: the upper end is taken, with its parameter
        // (a later test of t1 must not read the one of an earlier edge).
        const bool lower = sum != 0.0 && s.upper.z <= s.lower.z;
        s.edge_point = lower ? s.lower : s.upper;
        s.t1 = lower ? 1.0 : 0.0;
    } else {
        s.t1 = plan_dot(k - s.upper, d) / plan_squared(d);
        s.edge_point = s.upper + s.t1 * d;
    }
    s.cone_foot = {k.x, k.y, s.edge_point.z};
}

void edge_cone_nearest()
{
    cone_state& s = cone_state_block;
    const cone_cutter_model& m = s.model;
    const cone_vec& u = s.upper;
    const cone_vec d = s.lower - u;
    const cone_vec& apex = s.cone_apex;
    const cone_vec& axis = s.bottom_centre;
    const double plan = plan_squared(d);
    if (plan < m.tan_a * m.tan_a * d.z * d.z) {  // steeper than the generators
        s.t1 = kNoResult;
        return;
    }
    const cone_vec to_lower = s.lower - axis, to_upper = u - axis;
    if (std::fabs(to_lower.x * to_upper.y - to_lower.y * to_upper.x) < kConeZero) {
        // The plan line runs through the axis: the generator in the azimuth of the edge's point
        // nearest the axis.
        if (plan_abs_sum(d) < kConeZero) {
            s.t1 = 0.0;
            s.edge_point = u;
        } else {
            s.t1 = plan_dot(axis - u, d) / plan;
            s.edge_point = u + s.t1 * d;
        }
        const cone_vec w = s.edge_point - axis;
        cone_vec normal{m.cos_a, 0.0, -m.sin_a};
        if (plan_abs_sum(w) >= kConeZero) {
            const double h = std::sqrt(plan_squared(w));
            normal = {w.x / h, w.y / h, -m.tan_a};
        }
        s.cone_foot = foot_on_line(s.edge_point, normal, apex);
        return;
    }
    // The two generators whose normal is square to the edge.
    const double plan_length = std::sqrt(plan);
    const double px = d.x / plan_length, py = d.y / plan_length;
    const double e = m.tan_a * d.z / plan_length;
    const double q = std::sqrt(std::max(0.0, 1 - e * e));
    const cone_vec g1{m.sin_a * (e * px - q * py), m.sin_a * (q * px + e * py), m.cos_a};
    const cone_vec g2{m.sin_a * (q * py + e * px), m.sin_a * (e * py - q * px), m.cos_a};
    double t_1 = 0.0, t_2 = 0.0;
    cone_vec y1, x1, y2, x2;
    if (!nearest_to_generator(u, d, apex, g1, t_1, y1, x1) || !nearest_to_generator(u, d, apex, g2, t_2, y2, x2)) {
        // The edge runs along a generator: the generator point nearer the upper end (the second
        // on a tie).
        const cone_vec f1 = foot_on_line(apex, g1, u), f2 = foot_on_line(apex, g2, u);
        s.cone_foot = length(f1 - u) < length(f2 - u) ? f1 : f2;
        s.edge_point = u;
        s.t1 = 0.0;
        return;
    }
    if (generator_pair_holds(axis, apex, t_1, y1, x1)) {
        s.t1 = t_1;
        s.edge_point = y1;
        s.cone_foot = x1;
    } else if (generator_pair_holds(axis, apex, t_2, y2, x2)) {
        s.t1 = t_2;
        s.edge_point = y2;
        s.cone_foot = x2;
    } else {
        s.t1 = kNoResult;
    }
}

void edge_circle_nearest()
{
    cone_state& s = cone_state_block;
    const cone_vec& u = s.upper;
    const cone_vec& k = s.edge_circle_centre;
    const double rho = s.edge_circle_radius;
    const cone_vec d = s.lower - u;
    const double sum = abs_sum(d);
    if (sum < kConeZero) {
        s.edge_point = u;
        s.t1 = 0.0;
        circle_point_toward();
        return;
    }
    if (plan_abs_sum(d) / sum < kConeZero) {  // vertical: the edge's point at the circle's height
        s.t1 = (k.z - u.z) / d.z;
        s.edge_point = u + s.t1 * d;
        s.edge_point.z = k.z;
        circle_point_toward();
        return;
    }
    const double plan_length = std::sqrt(plan_squared(d));
    const cone_vec h{d.x / plan_length, d.y / plan_length, 0.0};
    const cone_vec radial = rho * h;
    // The normal of the edge in its vertical plane, turned to make a non-negative angle with the
    // radial vector.
    cone_vec m{-h.x * d.z, -h.y * d.z, h.x * d.x + h.y * d.y};
    m = (1 / length(m)) * m;
    double e = dot(radial, m);
    if (e < 0.0) {
        m = -1.0 * m;
        e = -e;
    }
    const cone_vec from_centre = u - k;
    const double p = from_centre.x * h.y - from_centre.y * h.x;  // signed plan distance of the line
    const double b = dot(from_centre, m);
    cone_residual_block = {std::max(0.0, rho * rho - e * e), -std::fabs(p) * rho, std::fabs(b) * e};
    double sine = root_find_1d(0.0, 1.0, cone_angle_residual);
    double cosine = std::sqrt(std::max(0.0, 1 - sine * sine));
    if (p < 0.0) sine = -sine;
    if (b < 0.0) cosine = -cosine;
    // cosine and sine of the circle angle from h towards the plan perpendicular (hy, -hx).
    s.circle_point = {k.x + cosine * radial.x + sine * radial.y, k.y + cosine * radial.y - sine * radial.x, k.z};
    s.t1 = dot(s.circle_point - u, d) / dot(d, d);
    s.edge_point = u + s.t1 * d;
}
