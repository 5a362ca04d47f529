// The flat end of torus_tri_contact in closed form. The cutter is a cylinder of radius R standing
// on its bottom disc at the tip height, without end upwards; moved by tau along u it first meets
// the triangle at the least tau over every touch of one of its features with one of the
// triangle's:
//   - the face at the cutter's support point (the rim point on the face's uphill side, the tip
//     for a level face), when the cutter approaches the plane and the hit lies in the triangle;
//   - each vertex on the cylinder side (at or above the tip height) or on the bottom disc;
//   - each edge line tangent to the cylinder side above the tip, or crossing the rim circle at
//     the tip height, at an edge point between its ends.
// Every candidate is a real touch, and the first touch is among them (a vertical face or a level
// edge touches first where one of its edges or corners does), so the least is the contact. The
// distance may be negative: the cutter has to move back along u.
#include "cutter/kernels/torus_state.hpp"

#include <cmath>
#include <initializer_list>
#include <limits>

namespace {

constexpr int kContact = 0;
constexpr int kNoContact = 1;
// |n . u| below this: the motion runs along the face. |n.z| below this: a vertical face, which
// touches first at one of its edges.
constexpr double kAlongFace = 1.0e-10;
constexpr double kVerticalFace = 1.0e-12;
// A face whose normal has a shorter horizontal part is level: the tip stands for its disc.
constexpr double kLevelFace = 1.0e-10;
// Slack of the side's height test and the disc's radius test, relative to R: a corner that
// touches the rim exactly must pass one of the two under rounding.
constexpr double kTouchSlack = 1.0e-10;
// A discriminant this far below zero, relative to its terms, is a rounded tangency.
constexpr double kTangentRounding = 1.0e-12;

// The least touch so far: its travel and its point on the triangle.
struct least_touch {
    double tau = std::numeric_limits<double>::infinity();
    vec3 x;
    void offer(double t, const vec3& p)
    {
        if (t < tau) {
            tau = t;
            x = p;
        }
    }
};

// The roots of a x^2 - 2 b x + c = 0 (a > 0), without cancellation. Count of roots.
int quadratic_roots(double a, double b, double c, double* roots)
{
    double disc = b * b - a * c;
    if (disc < 0.0) {
        if (disc < -kTangentRounding * (b * b + a * std::fabs(c))) return 0;
        disc = 0.0;
    }
    const double q = b + std::copysign(std::sqrt(disc), b);
    if (q == 0.0) {
        roots[0] = 0.0;
        return 1;
    }
    roots[0] = q / a;
    roots[1] = c / q;
    return 2;
}

// The travels at which the axis, moving from the tip along u, passes at horizontal distance R
// from the point (x, y).
int side_travels(const torus_state& s, double x, double y, double* roots)
{
    const double dx = x - s.T.x, dy = y - s.T.y;
    const double a = s.u.x * s.u.x + s.u.y * s.u.y;
    if (!(a > 0.0)) return 0;
    return quadratic_roots(a, dx * s.u.x + dy * s.u.y, dx * dx + dy * dy - s.R * s.R, roots);
}

// Whether the point lies at or above the tip height of the cutter moved by tau.
bool above_bottom(const torus_state& s, const vec3& p, double tau)
{
    return p.z >= s.T.z + tau * s.u.z - kTouchSlack * s.R;
}

void face_touch(torus_state& s, const double* triangle, least_touch& least)
{
    if (std::fabs(s.n.z) < kVerticalFace) return;
    // The cutter's outward normal at the support point points down, against the face.
    const vec3 outward = s.n.z < 0.0 ? s.n : -s.n;
    const double approach = dot(outward, s.u);
    if (!(approach > kAlongFace)) return;
    s.E = s.T;
    if (length_xy(outward) >= kLevelFace) s.E = s.E + s.R * unit_xy(outward);
    if (!face_hit(s, triangle)) return;
    least.offer(dot(outward, s.H - s.E) / approach, s.H);
}

void vertex_touches(const torus_state& s, const vec3& v, least_touch& least)
{
    double roots[2];
    const int count = side_travels(s, v.x, v.y, roots);
    for (int k = 0; k < count; ++k)
        if (above_bottom(s, v, roots[k])) least.offer(roots[k], v);
    if (s.u.z == 0.0) return;
    const double tau = (v.z - s.T.z) / s.u.z;
    const double dx = v.x - s.T.x - tau * s.u.x, dy = v.y - s.T.y - tau * s.u.y;
    const double reach = s.R * (1.0 + kTouchSlack);
    if (dx * dx + dy * dy <= reach * reach) least.offer(tau, v);
}

// The edge line B + t D (t in [0, 1]) tangent to the cylinder side: the axis at distance R from
// the line in XY, touching at the foot of the axis, above the bottom.
void edge_side_touches(const torus_state& s, const vec3& b, const vec3& d, least_touch& least)
{
    const double dxy2 = d.x * d.x + d.y * d.y;
    if (!(dxy2 > 0.0)) return;
    const double dxy = std::sqrt(dxy2);
    const double nx = -d.y / dxy, ny = d.x / dxy;
    const double f0 = nx * (s.T.x - b.x) + ny * (s.T.y - b.y);
    const double k = nx * s.u.x + ny * s.u.y;
    if (k == 0.0) return;
    for (const double side : {s.R, -s.R}) {
        const double tau = (side - f0) / k;
        const double cx = s.T.x + tau * s.u.x, cy = s.T.y + tau * s.u.y;
        const double t = ((cx - b.x) * d.x + (cy - b.y) * d.y) / dxy2;
        if (!(t >= 0.0 && t <= 1.0)) continue;
        const vec3 x = b + t * d;
        if (above_bottom(s, x, tau)) least.offer(tau, x);
    }
}

// The edge line crossing the rim circle: the edge point at the moved tip's height lies at
// distance R from the moved axis.
void edge_rim_touches(const torus_state& s, const vec3& b, const vec3& d, least_touch& least)
{
    const vec3& u = s.u;
    if (u.z == 0.0) {
        // Level motion: the edge crosses the tip plane at one point, which the rim passes.
        if (d.z == 0.0) return;
        const double t = (s.T.z - b.z) / d.z;
        if (!(t >= 0.0 && t <= 1.0)) return;
        const vec3 x = b + t * d;
        double roots[2];
        const int count = side_travels(s, x.x, x.y, roots);
        for (int k = 0; k < count; ++k) least.offer(roots[k], x);
        return;
    }
    // The edge point at t meets the tip plane at tau = (B.z + t D.z - T.z) / u.z; its offset from
    // the axis then is q0 + t q1.
    const double lift = (b.z - s.T.z) / u.z, climb = d.z / u.z;
    const double q0x = b.x - s.T.x - lift * u.x, q0y = b.y - s.T.y - lift * u.y;
    const double q1x = d.x - climb * u.x, q1y = d.y - climb * u.y;
    const double a = q1x * q1x + q1y * q1y;
    if (!(a > 0.0)) return;
    double roots[2];
    const int count = quadratic_roots(a, -(q0x * q1x + q0y * q1y), q0x * q0x + q0y * q0y - s.R * s.R, roots);
    for (int k = 0; k < count; ++k) {
        const double t = roots[k];
        if (!(t >= 0.0 && t <= 1.0)) continue;
        const vec3 x = b + t * d;
        least.offer((x.z - s.T.z) / u.z, x);
    }
}

}  // namespace

void flat_end_contact(torus_state& s, const double* triangle, double& distance, double* contact, double* new_tip,
                      int& status)
{
    least_touch least;
    face_touch(s, triangle, least);
    const tri_ring& ring = s.ring;
    for (const ring_vertex& v : ring.vertices) vertex_touches(s, v.point, least);
    for (const ring_edge& e : ring.edges) {
        const vec3& b = ring.vertices[e.second].point;
        const vec3 d = ring.vertices[e.first].point - b;
        edge_side_touches(s, b, d, least);
        edge_rim_touches(s, b, d, least);
    }
    if (!std::isfinite(least.tau)) {
        status = kNoContact;
        return;
    }
    write_result(s, s.T, least.x, least.x - least.tau * s.u, distance, contact, new_tip);
    status = kContact;
}
