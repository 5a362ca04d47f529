// The edge case of the toroidal solvers: the point F of the cutter surface that first meets the
// line of one triangle edge (A to B) as the cutter moves along u, and the parameter t of the met
// edge point B + t (A - B). The sweep plane of the edge (containing the edge and u, unit normal m
// pointing down, constant K = m . A) carries most branches: F is where the cutter surface first
// reaches it along the edge. Branches by the motion's sense and the sweep plane's attitude:
// upward motion, a vertical sweep plane, a level one, a general one. The solver's entry checks t
// and judges F against the triangle's third vertex. Both solvers run it; the flat-end branches
// serve the tapered solver only (the plain solver meets a flat end in closed form), and the
// tapered solver's own rules are chosen by the state's instance.
#include "cutter/kernels/torus_state.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMet = 0;
constexpr int kMissed = 1;
// |D x u| below this: the edge runs along the motion.
constexpr double kAlongMotion = 1.0e-11;
// |D.x| + |D.y| below this: a vertical edge; |D.z| below this: a level one.
constexpr double kVerticalEdge = 1.0e-10;
constexpr double kLevelEdge = 1.0e-10;
// |m.z| below this: a vertical sweep plane; |m.x| + |m.y| below this: a level one.
constexpr double kVerticalSweep = 1.0e-10;
constexpr double kLevelSweep = 1.0e-10;
// |e1 . u| below this: the motion's horizontal part runs along the edge.
constexpr double kAlongEdge = 1.0e-10;
// A sweep plane must cut this far into the torus to meet it.
constexpr double kCutsTorus = 1.0e-11;
// Determinants of the edge parameter's coordinate pairs not above this are not used.
constexpr double kParameterDeterminant = 1.0e-10;
// The tapered solver's slack: a ball's point above its ring centre, behind it, an edge under
// the tip in a level sweep plane.
constexpr double kTaperSlack = 1.0e-8;
// A sweep-plane normal with |m.z| below this cannot lift a point onto the plane.
constexpr double kNoLift = 1.0e-14;
// Level edge of the tapered solver's upward rule, relative to the edge's size.
constexpr double kRelativeLevel = 1.0e-10;

bool tapered(const torus_state& s) { return s.instance->tapered_rules; }

// The edge parameter of the edge line's point nearest to the line F + s u.
double closest_point_param(const torus_state& s)
{
    const vec3 d = s.F - s.B;
    const double uu = dot(s.u, s.u), du = dot(s.D, s.u);
    const double den = dot(s.D, s.D) * uu - du * du;
    return den != 0.0 ? (dot(d, s.D) * uu - dot(d, s.u) * du) / den : 0.0;
}

// F found: t by edge_param_at; status 0, or 1 when no parameter can be formed.
void met_at_param(const torus_state& s, double& t, int& status) { status = edge_param_at(s, t) ? kMet : kMissed; }

// The point of the full-radius cylinder across the edge, towards the motion, lifted onto the
// sweep plane: H, with its horizontal direction g kept as e2. False when the plane is vertical.
bool edge_cyl_point(torus_state& s)
{
    vec3 g = unit_xy({s.D.y, -s.D.x, 0.0});
    if (dot(s.u, g) < 0.0) g = {-g.x, -g.y, -0.0};
    s.e2 = g;
    if (std::fabs(s.m.z) < kNoLift) return false;
    s.H.x = s.C.x + s.R * g.x;
    s.H.y = s.C.y + s.R * g.y;
    s.H.z = (s.K - s.m.x * s.H.x - s.m.y * s.H.y) / s.m.z;
    return true;
}

// The point of a sphere of radius `radius` about `centre` on the sweep plane, in the in-plane
// direction `across`; false when the plane misses the sphere.
bool sphere_on_plane(const torus_state& s, const vec3& centre, double radius, const vec3& across, vec3& point)
{
    const double q = s.K - dot(s.m, centre);
    const double under = radius * radius - q * q;
    if (under < 0.0) return false;
    point = centre + q * s.m + std::sqrt(under) * across;
    return true;
}

// Ball on a level edge, general sweep plane: the sphere's point on the plane across the edge.
bool edge_ball_level_point(torus_state& s)
{
    const vec3& m = s.m;
    const vec3 g = std::fabs(m.x) + std::fabs(m.y) < kLevelSweep ? vec3{s.D.x, s.D.y, 0.0} : vec3{-m.y, m.x, 0.0};
    vec3 across = unit(cross(g, m));
    if (dot(s.u, across) < 0.0) across = -across;
    return sphere_on_plane(s, s.C, s.r, across, s.H);
}

// Ball on an edge that is not level: the sphere's point on the sweep plane towards the motion.
void edge_ball_point(torus_state& s)
{
    s.e1 = unit(cross(s.m, s.D));
    if (dot(s.u, s.e1) < 0.0) s.e1 = -s.e1;
    const double q = s.K - dot(s.m, s.C);
    s.F = s.C + q * s.m + std::sqrt(std::max(0.0, s.R * s.R - q * q)) * s.e1;
}

// The sweep plane's downward direction across its horizontal line.
vec3 plane_downward(const vec3& m) { return unit(vec3{m.z * m.x, m.z * m.y, -(m.x * m.x + m.y * m.y)}); }

// A torus on a level edge: the tube's sphere about the ring point `tube` meets the sweep plane.
bool edge_ring_point(torus_state& s, const vec3& tube)
{
    return sphere_on_plane(s, tube, s.r, plane_downward(s.m), s.H);
}

// Where the horizontal line from the bottom disc's edge S along e1 meets the sweep plane.
bool edge_plane_hit(torus_state& s, const vec3& from)
{
    const double along = dot(s.m, s.e1);
    if (along == 0.0) return false;
    s.H = from + ((s.K - dot(s.m, from)) / along) * s.e1;
    return true;
}

// The rim point of a flat active torus on the sweep plane, on the side towards which the motion
// crosses the edge.
bool taper_edge_flat_rim_point(torus_state& s)
{
    const double along = dot(s.m, s.e1);
    if (along == 0.0) return false;
    const double lambda = (s.K - dot(s.m, s.C)) / along;
    const vec3 e2{s.e1.y, -s.e1.x, 0.0};
    const double h = std::sqrt(std::max(0.0, s.R * s.R - lambda * lambda));
    const vec3& u = s.u;
    const vec3& d = s.D;
    const double dd = dot(d, d), ud = dot(u, d);
    const double sg = ((u.x * e2.x + u.y * e2.y) * dd - (d.x * e2.x + d.y * e2.y) * ud) * (dot(u, u) * dd - ud * ud);
    const double side = sg > 0.0 ? h : -h;
    s.F = {s.C.x + lambda * s.e1.x + side * e2.x, s.C.y + lambda * s.e1.y + side * e2.y, s.C.z + s.e1.z * lambda};
    return true;
}

// The silhouette root in the plane e1 . X = K; F its last point.
void silhouette_root(torus_state& s)
{
    root_find_1d(-1.0, 1.0, s.instance->silhouette_gap);
    s.F = s.P;
}

// The sweep root from `from` to 1 (the cosine against e1); F its last point.
void sweep_root(torus_state& s, double from)
{
    root_find_1d(from, 1.0, s.instance->sweep_gap);
    s.F = s.P;
}

// The ball of the tapered solver's upward rules: the sphere's point on the sweep plane towards
// the motion, refused above the ring centre (by more than `above`).
void taper_upward_ball(torus_state& s, double above, double& t, int& status)
{
    const double q = dot(s.m, s.A) - dot(s.m, s.C);
    if (std::fabs(q) > s.R) return;
    vec3 g = unit(cross(s.m, s.D));
    if (dot(g, s.u) < 0.0) g = -g;
    s.F = s.C + q * s.m + std::sqrt(std::max(0.0, s.R * s.R - q * q)) * g;
    if (s.F.z > s.C.z + above) return;
    met_at_param(s, t, status);
}

// Upward motion against a vertical edge: the cylinder's front point at the ring-centre height.
void upward_vertical_edge(torus_state& s, double& t, int& status)
{
    const vec3 v = unit_xy(s.u);
    const vec3 ac = s.A - s.C;
    const double p = -v.y * ac.x + v.x * ac.y;
    if (s.R * s.R - p * p < 0.0) return;
    const double h = std::sqrt(s.R * s.R - p * p);
    s.F = {s.C.x + h * v.x - p * v.y, s.C.y + h * v.y + p * v.x, s.C.z};
    const vec3 d = s.F - s.B;
    const double vu = dot_xy(v, s.u);
    const double den = s.D.z * vu - s.u.z * dot_xy(v, s.D);
    if (den == 0.0) return;
    t = (d.z * vu - dot_xy(d, v) * s.u.z) / den;
    status = kMet;
}

// Upward motion whose horizontal part runs along the edge.
void upward_along_edge(torus_state& s, const vec3& e1, double& t, int& status)
{
    const double p = dot_xy(e1, s.A - s.C);
    if (s.R * s.R - p * p < 0.0) return;
    if (tapered(s)) {
        if (s.kind == kTorusKindFlat) {
            vec3 g = s.D.z < 0.0 ? -s.D : s.D;
            if (g.x * s.u.x + g.y * s.u.y <= 0.0) return;
            g = unit_xy(g);
            const double h = std::sqrt(s.R * s.R - p * p);
            s.F = {s.C.x + p * e1.x + h * g.x, s.C.y + p * e1.y + h * g.y, s.C.z};
            met_at_param(s, t, status);
            return;
        }
        if (s.kind == kTorusKindBall) {
            taper_upward_ball(s, 0.0, t, status);
            return;
        }
        const double size = std::fabs(s.D.x) + std::fabs(s.D.y) + std::fabs(s.D.z);
        if (std::fabs(s.D.z) < size * kRelativeLevel) return;
    }
    s.e1 = e1;
    s.e2 = unit(cross(e1, s.D));
    if (s.e2.z > 0.0) s.e2 = -s.e2;
    s.K = dot(e1, s.A);
    silhouette_root(s);
    t = closest_point_param(s);
    status = kMet;
}

void upward_motion(torus_state& s, double& t, int& status)
{
    if (std::fabs(s.D.x) + std::fabs(s.D.y) < kVerticalEdge) {
        upward_vertical_edge(s, t, status);
        return;
    }
    const vec3 e1 = unit_xy({s.D.y, -s.D.x, 0.0});
    if (std::fabs(dot(e1, s.u)) < kAlongEdge) {
        upward_along_edge(s, e1, t, status);
        return;
    }
    s.K = dot(s.m, s.A);
    if (!edge_cyl_point(s)) return;
    s.F = s.H;
    if (s.H.z >= s.C.z) {
        met_at_param(s, t, status);
        return;
    }
    if (tapered(s) && s.kind == kTorusKindBall) {
        taper_upward_ball(s, kTaperSlack, t, status);
        return;
    }
    // The torus point whose outward normal is m: the sweep plane must cut in beyond it.
    const vec3 torus_point = s.C + s.rho0 * unit_xy(s.m) + s.r * s.m;
    if (!(dot(s.m, s.A) < dot(s.m, torus_point) - kCutsTorus)) return;
    const vec3 g = s.e2;
    s.e1 = g;
    s.e2 = unit(cross(g, s.D));
    if (s.e2.z > 0.0) s.e2 = -s.e2;
    sweep_root(s, dot(g, s.m));
    t = closest_point_param(s);
    status = kMet;
}

// A level edge in a vertical sweep plane: the lowest point of the torus's section, or the chord of
// the bottom disc, whose first edge point along u gives t.
void edge_level_section(torus_state& s, double& t, int& status)
{
    const vec3 e1 = unit(s.D);
    const double q = s.K - dot(s.m, s.C);
    if (std::fabs(q) > s.rho0) {
        const double off = std::fabs(q) - s.rho0;
        s.F = s.C + q * s.m;
        s.F.z -= std::sqrt(std::max(0.0, s.r * s.r - off * off));
        met_at_param(s, t, status);
        return;
    }
    const double h = std::sqrt(std::max(0.0, s.rho0 * s.rho0 - q * q));
    const vec3 x1 = s.T + q * s.m + h * e1, x2 = s.T + q * s.m - h * e1;
    const vec3 across = cross(s.u, s.m);
    const double b = dot(across, s.B);
    const double den = dot(across, s.A) - b;
    if (den == 0.0 || s.u.z == 0.0) return;
    const double l1 = (dot(across, x1) - b) / den, l2 = (dot(across, x2) - b) / den;
    const double lo = std::min(l1, l2), hi = std::max(l1, l2);
    t = lo > 1.0 ? lo : hi < 0.0 ? hi : std::max(lo, 0.0);
    const double tau = (s.T.z - s.A.z) / s.u.z;
    s.F = s.B + tau * s.u + t * s.D;
    status = kMet;
}

void vertical_sweep_plane(torus_state& s, double& t, int& status)
{
    s.K = dot(s.m, s.A);
    s.p = s.K - dot(s.m, s.C);
    if (std::fabs(s.p) >= s.R) return;
    if (std::fabs(s.D.z) < kLevelEdge) {
        edge_level_section(s, t, status);
        return;
    }
    if (s.kind == kTorusKindFlat) {
        if (std::fabs(s.D.x) + std::fabs(s.D.y) < kVerticalEdge) return;
        s.e1 = unit_xy({-s.D.y, s.D.x, 0.0});
        if (!taper_edge_flat_rim_point(s)) return;
        met_at_param(s, t, status);
        return;
    }
    vec3 e2 = cross(s.D, s.m);
    if (dot(e2, s.u) < 0.0) e2 = -e2;
    e2 = unit(e2);
    if (e2.z > 0.0) e2 = -e2;
    s.e2 = e2;
    s.e1 = s.m;
    if (s.kind == kTorusKindToroidal) {
        silhouette_root(s);
        met_at_param(s, t, status);
        return;
    }
    s.F = s.C + std::sqrt(std::max(0.0, s.R * s.R - s.p * s.p)) * e2 + s.p * s.m;
    met_at_param(s, t, status);
    if (status == kMet && tapered(s) && dot(s.u, s.F - s.C) < -kTaperSlack) status = kMissed;
}

// A level edge under level motion: the cutter's horizontal section at the edge's height, across
// the edge towards the motion.
void level_sweep_plane(torus_state& s, double& t, int& status)
{
    if (tapered(s) ? s.A.z < s.T.z - kTaperSlack : s.A.z <= s.T.z) return;
    vec3 e1 = unit_xy({s.D.y, -s.D.x, 0.0});
    if (dot(e1, s.u) < 0.0) e1 = -e1;
    double radius = s.R;
    const double dz = s.C.z - s.A.z;
    if (s.A.z < s.C.z && s.kind == kTorusKindBall)
        radius = std::sqrt(std::max(0.0, s.R * s.R - dz * dz));
    else if (s.A.z < s.C.z && s.kind == kTorusKindToroidal)
        radius = s.rho0 + std::sqrt(std::max(0.0, s.r * s.r - dz * dz));
    s.F = {s.C.x + radius * e1.x, s.C.y + radius * e1.y, s.A.z};
    met_at_param(s, t, status);
}

// A level edge in a general sweep plane, the cylinder having missed it: the ball's sphere, or the
// torus's ring points and the bottom disc's edges on the plane.
void general_level_edge(torus_state& s, double& t, int& status)
{
    bool found = false;
    if (s.kind == kTorusKindBall) {
        found = edge_ball_level_point(s);
    } else {
        const vec3 near_disc{s.C.x + s.rho0 * s.e1.x, s.C.y + s.rho0 * s.e1.y, s.C.z - s.r};
        const vec3 far_disc{s.C.x - s.rho0 * s.e1.x, s.C.y - s.rho0 * s.e1.y, s.C.z - s.r};
        if (s.kind == kTorusKindToroidal && s.K <= dot(s.m, near_disc)) {
            found = edge_ring_point(s, {s.H.x - s.r * s.e1.x, s.H.y - s.r * s.e1.y, s.H.z});
        } else if (s.K <= dot(s.m, far_disc)) {
            found = edge_plane_hit(s, far_disc);
        } else if (s.kind == kTorusKindToroidal) {
            found = edge_ring_point(s, {s.C.x - s.rho0 * s.e1.x, s.C.y - s.rho0 * s.e1.y, s.C.z});
        }
    }
    if (!found) return;
    s.F = s.H;
    met_at_param(s, t, status);
}

void general_sweep_plane(torus_state& s, double& t, int& status)
{
    const double l = 1.0 / length_xy(s.m);
    s.e1 = {-s.m.x * l, -s.m.y * l, 0.0};
    s.H = {s.C.x + s.R * s.e1.x, s.C.y + s.R * s.e1.y, s.C.z};
    s.K = dot(s.m, s.A);
    if (s.K <= dot(s.m, s.H)) {
        if (!edge_cyl_point(s)) return;
        s.F = s.H;
        if (s.C.z <= s.H.z) {
            met_at_param(s, t, status);
            return;
        }
    }
    // The torus point with outward normal m: the cutter must reach across the sweep plane.
    const double reach = s.rho0 * l + s.r;
    const vec3 torus_point{s.C.x + reach * s.m.x, s.C.y + reach * s.m.y, s.C.z + s.r * s.m.z};
    if (dot(s.m, torus_point) <= s.K) return;
    if (std::fabs(s.D.z) < kLevelEdge) {
        general_level_edge(s, t, status);
        return;
    }
    if (!edge_cyl_point(s)) return;
    if (s.C.z < s.H.z) {
        s.F = s.H;
        met_at_param(s, t, status);
        return;
    }
    if (s.kind == kTorusKindBall) {
        edge_ball_point(s);
    } else if (s.kind == kTorusKindFlat) {
        if (!taper_edge_flat_rim_point(s)) return;
    } else {
        vec3 e1 = unit_xy({s.D.y, -s.D.x, 0.0});
        if (dot(e1, s.u) < 0.0) e1 = -e1;
        s.e1 = e1;
        s.e2 = unit(cross(s.D, e1));
        if (s.e2.z > 0.0) s.e2 = -s.e2;
        sweep_root(s, dot(s.m, e1));
    }
    met_at_param(s, t, status);
}

}  // namespace

double sweep_gap_of(torus_state& s, double c)
{
    const vec3 a = c * s.e1 + std::sqrt(std::max(0.0, 1.0 - c * c)) * s.e2;
    s.P = s.C + s.rho0 * unit_xy(a) + s.r * a;
    return s.K - dot(s.P, s.m);
}

bool edge_param_at(const torus_state& s, double& t)
{
    const vec3 d = s.F - s.B;
    const vec3& u = s.u;
    const vec3& e = s.D;
    double det = u.y * e.x - u.x * e.y;
    if (std::fabs(det) > kParameterDeterminant) {
        t = (d.x * u.y - d.y * u.x) / det;
        return true;
    }
    det = u.z * e.x - e.z * u.x;
    if (std::fabs(det) > kParameterDeterminant) {
        t = (d.x * u.z - d.z * u.x) / det;
        return true;
    }
    det = u.z * e.y - e.z * u.y;
    if (det == 0.0) {
        t = 0.0;
        return !s.instance->tapered_rules;
    }
    t = (d.y * u.z - d.z * u.y) / det;
    return true;
}

bool edge_sweep_plane(torus_state& s, const vec3& a, const vec3& b)
{
    s.A = a;
    s.B = b;
    s.D = a - b;
    vec3 m = cross(s.D, s.u);
    if (m.z > 0.0) m = -m;
    const double l = length(m);
    if (!(l >= kAlongMotion)) return false;
    s.m = (1.0 / l) * m;
    return true;
}

void torus_edge_contact(torus_state& s, const vec3& a, const vec3& b, double& t, int& status, bool plane_set)
{
    status = kMissed;
    if (!plane_set && !edge_sweep_plane(s, a, b)) return;
    if (s.vertical_sense == kSenseUp)
        upward_motion(s, t, status);
    else if (std::fabs(s.m.z) < kVerticalSweep)
        vertical_sweep_plane(s, t, status);
    else if (std::fabs(s.m.x) + std::fabs(s.m.y) < kLevelSweep)
        level_sweep_plane(s, t, status);
    else
        general_sweep_plane(s, t, status);
}
