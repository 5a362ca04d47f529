// The vertex case of the toroidal solvers: the point F of the cutter surface (bottom disc, corner
// torus below the ring centre, cylinder above it) that meets one triangle vertex as the cutter
// moves along u, found in the cutter's current position. By motion mode: level, straight down,
// general; in general motion the cylinder first, then the torus or the bottom through the
// silhouette and height residuals. The solver's entry moves the cutter by V - F and judges the
// contact against the vertex's edges. Both solvers run it on their state (the tapered one on its
// active torus, with its own rules for upward motion and the ring-height band).
#include "cutter/kernels/torus_state.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMet = 0;
constexpr int kMissed = 1;
// The vertex meets the cylinder when its line crosses the cylinder's front this little below the
// ring centre; the bottom disc within this beyond its radius.
constexpr double kCylinderSlack = 1.0e-11;
constexpr double kDiscSlack = 1.0e-11;
// Two ends of the height root this close: one evaluation at the first.
constexpr double kSameEnd = 1.0e-11;
// |u.x| not above this: the cylinder crossing is taken on y.
constexpr double kNoXMotion = 1.0e-10;

// The horizontal section of the cutter at a vertex's height, met by level motion: F in front of
// the ring centre at lateral offset p.
void level_motion(torus_state& s, const vec3& v, int& status)
{
    if (v.z <= s.T.z) return;
    const vec3& u = s.u;
    const double p = u.y * (v.x - s.C.x) - u.x * (v.y - s.C.y);
    if (std::fabs(p) >= s.R) return;
    double radius = s.R;
    if (v.z < s.C.z) {
        const double dz = s.C.z - v.z;
        radius = s.rho0 + std::sqrt(std::max(0.0, s.r * s.r - dz * dz));
        if (std::fabs(p) >= radius) return;
    }
    const double h = std::sqrt(std::max(0.0, radius * radius - p * p));
    s.F = {s.C.x + h * u.x + p * u.y, s.C.y + h * u.y - p * u.x, v.z};
    status = kMet;
}

// Straight down: the cutter surface over the vertex.
void downward_motion(torus_state& s, const vec3& v, int& status)
{
    const double dx = v.x - s.C.x, dy = v.y - s.C.y;
    const double d2 = dx * dx + dy * dy;
    if (d2 >= s.R * s.R) return;
    const double d = std::sqrt(d2);
    if (d > s.rho0) {
        const double off = d - s.rho0;
        s.F = {v.x, v.y, s.C.z - std::sqrt(std::max(0.0, s.r * s.r - off * off))};
    } else {
        s.F = {v.x, v.y, s.T.z};
    }
    status = kMet;
}

// The unit normal of the silhouette plane across the motion: unit(e1 x u).
vec3 silhouette_second(const torus_state& s)
{
    const vec3& m = s.m;
    const vec3& u = s.u;
    return unit(vec3{u.z * m.x, u.z * m.y, -(m.x * u.x + m.y * u.y)});
}

// The height root between the travel that brings the vertex to the cylinder's front and the one
// that brings it to x (horizontally along m): F is the moved vertex of the last evaluation.
void height_root(torus_state& s, const vec3& v, const vec3& x, int& status)
{
    s.rr = s.r * s.r;
    s.rho0sq = s.rho0 * s.rho0;
    const double h = std::sqrt(std::max(0.0, s.R * s.R - s.p * s.p));
    const double a = dot_xy(s.m, v);
    const double along = dot_xy(s.m, s.u);
    if (along == 0.0) return;
    const double k = 1.0 / along;
    const double t1 = (dot_xy(s.m, s.C) + h - a) * k;
    const double t2 = (dot_xy(s.m, x) - a) * k;
    if (std::fabs(t1 - t2) <= kSameEnd)
        s.instance->vertex_gap(t1);
    else
        root_find_1d(std::min(t1, t2), std::max(t1, t2), s.instance->vertex_gap);
    s.F = s.B;
    status = kMet;
}

// The silhouette point of the torus in the plane through the vertex's line; the height root when
// the vertex lies on the near side of it.
void silhouette_then_height(torus_state& s, const vec3& v, bool strictly_before, int& status)
{
    s.e2 = silhouette_second(s);
    root_find_1d(-1.0, 1.0, s.instance->silhouette_gap);
    const double at_vertex = dot(s.e2, v), at_silhouette = dot(s.e2, s.P);
    const bool before = strictly_before ? at_vertex < at_silhouette : !(at_silhouette <= at_vertex);
    if (!before) return;
    const vec3 silhouette = s.P;
    height_root(s, v, silhouette, status);
}

// The ball's front intersection with the vertex's line; the tapered solver's upward rule divides
// by u . u and refuses a touching line.
void ball_line(torus_state& s, const vec3& v, bool upward_rule, int& status)
{
    const vec3& u = s.u;
    double lambda = dot(s.C - v, u);
    if (upward_rule) lambda /= dot(u, u);
    const vec3 h = v + lambda * u;
    const vec3 delta = h - s.C;
    const double q = s.R * s.R - dot(delta, delta);
    if (upward_rule ? q <= 0.0 : q < 0.0) return;
    s.F = h + std::sqrt(q) * u;
    status = kMet;
}

// General motion: the cylinder, then (upwards) the torus's silhouette, the ball's sphere, or
// (downwards) the bottom disc and the torus.
void general_motion(torus_state& s, const vec3& v, int& status)
{
    const vec3& u = s.u;
    s.m = unit_xy(u);
    s.e1 = {-s.m.y, s.m.x, 0.0};
    s.K = dot(s.e1, v);
    s.p = s.K - dot(s.e1, s.C);
    if (std::fabs(s.p) > s.R) return;

    const double h = std::sqrt(std::max(0.0, s.R * s.R - s.p * s.p));
    const vec3 front = s.C + s.p * s.e1 + h * s.m;
    const double tau = std::fabs(u.x) <= kNoXMotion ? (front.y - v.y) / u.y : (front.x - v.x) / u.x;
    const vec3 q = v + tau * u;
    if (q.z >= s.C.z - kCylinderSlack) {
        s.F = q;
        status = kMet;
        return;
    }

    const bool tapered = s.instance->tapered_rules;
    if (s.vertical_sense == kSenseUp) {
        if (tapered && s.kind == kTorusKindFlat) return;
        if (tapered && s.kind == kTorusKindBall) {
            ball_line(s, v, true, status);
            return;
        }
        silhouette_then_height(s, v, true, status);
        return;
    }
    if (s.kind == kTorusKindBall) {
        ball_line(s, v, false, status);
        return;
    }
    // Flat end and torus moving downwards: the bottom disc at the tip height first.
    const vec3 at_tip = v + ((s.T.z - v.z) / u.z) * u;
    const vec3 off_axis = at_tip - s.T;
    if (length(off_axis) <= s.rho0 + kDiscSlack) {
        s.F = at_tip;
        status = kMet;
        return;
    }
    if (s.kind == kTorusKindFlat || dot(s.m, off_axis) <= -s.R) return;
    const vec3 at_centre = v + ((s.C.z - v.z) / u.z) * u;
    const double from_centre = length(at_centre - s.C);
    // Where the line crosses the ring-centre height decides between the silhouette and the
    // crossing itself as the height root's second end; the tapered solver sends the band within
    // 1e-11 of R to the silhouette.
    const bool outside = tapered ? !(from_centre < s.R - kCylinderSlack) : from_centre > s.R + kCylinderSlack;
    if (outside)
        silhouette_then_height(s, v, false, status);
    else
        height_root(s, v, at_centre, status);
}

}  // namespace

double silhouette_gap_of(torus_state& s, double c)
{
    const double sn = std::sqrt(std::max(0.0, 1.0 - c * c));
    const vec3 a = c * s.e1 + sn * s.e2;
    const double l = a.x * a.x + a.y * a.y;
    const double k = l > 0.0 ? 1.0 / std::sqrt(l) : 0.0;
    const double g = s.rho0 * k + s.r;
    s.P = {s.C.x + a.x * g, s.C.y + a.y * g, s.C.z + s.r * a.z};
    return s.K - dot(s.P, s.e1);
}

double vertex_gap_of(torus_state& s, double t)
{
    s.B = s.A + t * s.u;
    const double dx = s.B.x - s.C.x, dy = s.B.y - s.C.y;
    const double d2 = dx * dx + dy * dy;
    if (d2 <= s.rho0sq) return (s.B.z - s.C.z) + s.r;
    const double off = std::sqrt(d2) - s.rho0;
    return (s.B.z - s.C.z) + std::sqrt(std::max(0.0, s.rr - off * off));
}

void torus_vertex_contact(torus_state& s, const vec3& vertex, int& status)
{
    status = kMissed;
    s.A = vertex;
    if (s.motion_mode == kMotionHorizontal)
        level_motion(s, vertex, status);
    else if (s.motion_mode == kMotionDown)
        downward_motion(s, vertex, status);
    else
        general_motion(s, vertex, status);
    if (status == kMet) s.instance->normal_at();
}
