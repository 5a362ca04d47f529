// What both toroidal solvers do alike around their cases: the direction's classification, the
// triangle ring and its feature loop, the triangle's normal, the cutter's support point towards
// the face and the face hit, and the result. torus_tri_contact and taper_torus_tri_contact call
// them in this order.
#include "cutter/kernels/torus_state.hpp"

#include <algorithm>
#include <cmath>

namespace {

// |u.z| below this: the direction is level.
constexpr double kLevelDirection = 1.0e-8;
// |u.x| + |u.y| below this: the direction is vertical (straight down).
constexpr double kVerticalDirection = 1.0e-8;
// A triangle whose normal is shorter than this has no plane.
constexpr double kNoNormal = 1.0e-10;
// |n.x, n.y| below this: a level face; |n.z| below this: a vertical one.
constexpr double kLevelFace = 1.0e-10;
constexpr double kVerticalFace = 1.0e-8;
// The point of the cylinder side taken for a vertical face, over the ring centre.
constexpr double kVerticalFaceLift = 10.0;
// Barycentric slack of the face hit.
constexpr double kFaceSlack = 1.0e-11;
// Corner radius classification against R.
constexpr double kFlatCorner = 1.0e-5;
constexpr double kBallCorner = 0.99999;
// Each loop step retires one of the six features, so the loop ends well within this.
constexpr int kMostLoopSteps = 16;

}  // namespace

bool classify_direction(torus_state& s, const double* direction)
{
    vec3 u = vec3::from(direction);
    if (!std::isfinite(u.x) || !std::isfinite(u.y) || !std::isfinite(u.z)) return false;
    const double horizontal = std::fabs(u.x) + std::fabs(u.y);
    s.motion_mode = kMotionGeneral;
    s.vertical_sense = kSenseLevel;
    if (std::fabs(u.z) < kLevelDirection) {
        // A direction without a horizontal part to scale has none at all.
        if (!(horizontal > 0.0)) return false;
        u = unit_xy(u);
        s.motion_mode = kMotionHorizontal;
    } else if (u.z > 0.0) {
        // Upwards and (nearly) vertical would be turned straight down while its sense stays up.
        if (horizontal < kVerticalDirection) return false;
        s.vertical_sense = kSenseUp;
    } else {
        s.vertical_sense = kSenseDown;
    }
    if (std::fabs(u.x) + std::fabs(u.y) < kVerticalDirection) {
        u = {0.0, 0.0, -1.0};
        s.motion_mode = kMotionDown;
    }
    s.u = u;
    return true;
}

int classify_corner(double radius, double& corner)
{
    if (corner < radius * kFlatCorner) {
        corner = 0.0;
        return kTorusKindFlat;
    }
    if (corner >= radius * kBallCorner) {
        corner = radius;
        return kTorusKindBall;
    }
    return kTorusKindToroidal;
}

void build_ring(tri_ring& ring, const double* triangle)
{
    for (int k = 0; k < 3; ++k) {
        ring_vertex& v = ring.vertices[k];
        v.address = triangle + 3 * k;
        v.point = vec3::from(triangle + 3 * k);
        v.previous_edge = (k + 2) % 3;
        v.next_edge = k;
        v.active = 1;
        ring_edge& e = ring.edges[k];
        e.first = k;
        e.second = (k + 1) % 3;
        e.active = 1;
    }
    ring.current_edge = ring.current_vertex = -1;
    ring.far_previous = ring.far_next = -1;
}

bool triangle_normal(torus_state& s, const double* triangle)
{
    const vec3 p1 = vec3::from(triangle);
    s.ea = vec3::from(triangle + 3) - p1;
    s.eb = vec3::from(triangle + 6) - p1;
    const vec3 n = cross(s.ea, s.eb);
    const double l = length(n);
    if (!(l >= kNoNormal)) return false;
    s.n = (1.0 / l) * n;
    return true;
}

void support_point(torus_state& s, const double* triangle)
{
    const vec3 p1 = vec3::from(triangle);
    if (dot(s.n, s.C) > dot(s.n, p1)) s.n = -s.n;
    const double nxy = length_xy(s.n);
    if (nxy < kLevelFace) {
        s.E = {s.C.x, s.C.y, s.C.z - s.r};
        return;
    }
    if (std::fabs(s.n.z) < kVerticalFace) {
        s.E = {s.C.x + s.R * s.n.x, s.C.y + s.R * s.n.y, s.C.z + kVerticalFaceLift};
        return;
    }
    if (s.n.z > 0.0) s.n = -s.n;
    const double rnz = s.r * s.n.z;
    const double reach = (s.rho0 + std::sqrt(std::max(0.0, s.r * s.r - rnz * rnz))) / nxy;
    s.E = {s.C.x + reach * s.n.x, s.C.y + reach * s.n.y, s.C.z + rnz};
}

bool face_hit(torus_state& s, const double* triangle)
{
    // E + s u = P1 + alpha ea + beta eb by Cramer's rule on the columns ea, eb, -u.
    const vec3 p1 = vec3::from(triangle);
    const vec3 q = s.E - p1;
    const vec3 minus_u = -s.u;
    const double det = dot(s.ea, cross(s.eb, minus_u));
    if (det == 0.0) return false;
    const double alpha = dot(q, cross(s.eb, minus_u)) / det;
    const double beta = dot(s.ea, cross(q, minus_u)) / det;
    auto within = [](double v) { return v >= -kFaceSlack && v <= 1.0 + kFaceSlack; };
    if (!within(alpha) || !within(beta) || !within(alpha + beta)) return false;
    s.H = p1 + alpha * s.ea + beta * s.eb;
    return true;
}

bool run_feature_loop(tri_ring& ring, feature_step vertex_step, feature_step edge_step)
{
    for (int step = 0; step < kMostLoopSteps; ++step) {
        if (ring.current_edge >= 0) {
            const int k = ring.current_edge;
            if (edge_step(k)) return true;
            ring.edges[k].active = 0;
            ring.current_edge = -1;
        } else if (ring.current_vertex >= 0) {
            const int k = ring.current_vertex;
            if (vertex_step(k)) return true;
            ring.vertices[k].active = 0;
            ring.current_vertex = -1;
        } else {
            for (int k = 0; k < 3 && ring.current_vertex < 0; ++k)
                if (ring.vertices[k].active) ring.current_vertex = k;
            for (int k = 0; k < 3 && ring.current_vertex < 0 && ring.current_edge < 0; ++k)
                if (ring.edges[k].active) ring.current_edge = k;
            if (ring.current_vertex < 0 && ring.current_edge < 0) return false;
        }
    }
    return false;
}

void write_result(const torus_state& s, const vec3& origin, const vec3& x, const vec3& f, double& distance,
                  double* contact, double* new_point)
{
    const vec3 delta = x - f;
    x.to(contact);
    (origin + delta).to(new_point);
    distance = dot(delta, s.u);
}
