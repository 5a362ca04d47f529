// The working state of the toroidal contact solvers (torus_contact.hpp) and the routines they
// share: the triangle ring, direction and ring set-up, the feature loop and the result, and the
// vertex and edge cases against one torus. Each solver owns one torus_state; the tapered solver
// keeps the torus it works on (corner or top) in its own and runs the same cases on it, with the
// few rules that differ chosen by the state's instance. The residual functions that the cases
// hand to root_find_1d read the state of their solver and leave their last point in it, where the
// case reads it: the order of evaluations of root_find_1d is part of the contract.
#pragma once

#include "cutter/kernels/root_find_1d.hpp"
#include "cutter/kernels/vec3.hpp"

// Cutter kinds. The flat end has no torus, the ball no bottom disc; kind 3 only in the tapered
// solver (its active torus is one of the others).
inline constexpr int kTorusKindToroidal = 0;
inline constexpr int kTorusKindFlat = 1;
inline constexpr int kTorusKindBall = 2;
inline constexpr int kTorusKindTapered = 3;

// Motion modes and vertical senses of the direction.
inline constexpr int kMotionGeneral = 1;
inline constexpr int kMotionHorizontal = 2;
inline constexpr int kMotionDown = 3;
inline constexpr int kSenseLevel = 0;
inline constexpr int kSenseUp = 1;
inline constexpr int kSenseDown = 2;

// Normal flag of the tapered solver: the contact lies on a rim, where the outward normals span an
// angle.
inline constexpr int kOnRim = 2;

// The triangle ring: vertex k has previous edge k - 1 and next edge k (cyclically); edge k runs
// from vertex k to vertex k + 1. References are indices, -1 for none.
struct ring_vertex {
    const double* address = nullptr;  // the vertex in the caller's triangle
    vec3 point{};                     // its copy
    int previous_edge = -1;
    int next_edge = -1;
    int active = 0;
};
struct ring_edge {
    int first = -1;
    int second = -1;
    int active = 0;
};
struct tri_ring {
    ring_vertex vertices[3];
    ring_edge edges[3];
    int current_edge = -1;
    int current_vertex = -1;
    int far_previous = -1;  // while a vertex is judged: the far ends of its two edges
    int far_next = -1;
};

// What differs between the two solvers inside the shared cases: the residual instances reading
// the solver's own state, the normal at the contact, and the tapered solver's own rules.
struct torus_instance {
    root_function silhouette_gap;
    root_function vertex_gap;
    root_function sweep_gap;
    void (*normal_at)();
    bool tapered_rules;
};

// The working state of one solver (the tapered solver's active torus stands in for the cutter).
struct torus_state {
    const torus_instance* instance = nullptr;
    tri_ring ring{};
    // Cutter.
    int kind = 0;         // kTorusKind*
    double R = 0.0;       // radius
    double r = 0.0;       // corner radius as classified
    double rho0 = 0.0;    // R - r, the ring radius
    double rr = 0.0;      // r squared, set before height roots
    double rho0sq = 0.0;  // rho0 squared, set before height roots
    vec3 T{};             // tip point
    vec3 C{};             // ring centre T + (0, 0, r)
    // Motion.
    vec3 u{};             // direction as classified
    int motion_mode = 0;  // kMotion*
    int vertical_sense = 0;
    // Triangle.
    vec3 ea{};  // P2 - P1
    vec3 eb{};  // P3 - P1
    vec3 n{};   // unit normal
    vec3 E{};   // support point of the cutter towards the face
    // Current feature and contact.
    vec3 A{};        // current vertex, or the first end of the current edge
    vec3 B{};        // second end of the current edge; the moved vertex of torus_vertex_gap
    vec3 D{};        // current edge vector A - B
    vec3 m{};        // unit normal of the sweep plane; in the vertex case the horizontal motion
    double K = 0.0;  // plane constant of the silhouette and sweep residuals
    double p = 0.0;  // lateral offset of the current feature from the axis
    vec3 e1{};       // first unit vector of the current silhouette plane
    vec3 e2{};       // second unit vector of the current silhouette plane
    vec3 P{};        // cutter point of the last residual evaluation
    vec3 H{};        // hit point on the triangle; working cutter point of the edge case
    vec3 F{};        // the cutter point that makes the contact
    vec3 w{};        // outward normal of the cutter at F, not normalised
};

// The plain solver's state.
extern torus_state torus_state_block;

// ---- shared set-up and loop ---------------------------------------------------------------

// Whether all count values are finite: both solvers refuse bad numbers before they start.
inline bool finite_all(const double* values, int count)
{
    for (int k = 0; k < count; ++k)
        if (!std::isfinite(values[k])) return false;
    return true;
}

// Classifies the direction into the state (u, motion mode, vertical sense); false for a direction
// the solvers refuse (straight up, no length, or not finite).
bool classify_direction(torus_state& s, const double* direction);
// The kind of a torus of radius R by its corner radius, which it classifies: below R x 1e-5 a
// flat end (corner 0), from R x 0.99999 a ball (corner R), else toroidal.
int classify_corner(double radius, double& corner);
// Rebuilds the ring from the triangle: links, copies, everything active, nothing current.
void build_ring(tri_ring& ring, const double* triangle);
// The unit normal of the triangle into s.n with ea and eb; false when it is shorter than 1e-10.
bool triangle_normal(torus_state& s, const double* triangle);
// The normal turned from C towards the plane (and downwards unless the face is level or
// vertical) and the support point E of the torus towards it: the tip for a level face, a point of
// the cylinder 10.0 above the ring centre for a vertical one.
void support_point(torus_state& s, const double* triangle);
// Solves E + s u = P1 + alpha ea + beta eb; true with H when the hit lies in the triangle.
bool face_hit(torus_state& s, const double* triangle);

// The feature loop: vertices first, then edges, each judged by the solver's own step; true when
// a contact was accepted (its triangle point left in s.H).
using feature_step = bool (*)(int feature);
bool run_feature_loop(tri_ring& ring, feature_step vertex_step, feature_step edge_step);
// The vertex opposite edge k.
inline int opposite_vertex(const tri_ring& ring, int edge)
{
    return ring.edges[ring.vertices[ring.edges[edge].first].previous_edge].first;
}

// Writes the result for the triangle point X and the cutter point F that meets it: the cutter's
// given point (origin) moves by X - F, the distance is that displacement . u.
void write_result(const torus_state& s, const vec3& origin, const vec3& x, const vec3& f, double& distance,
                  double* contact, double* new_point);

// ---- the cases on one torus ----------------------------------------------------------------

// The vertex case: the cutter point F (in the state) that meets the vertex moving along u.
// Status 0 (with the solver's normal_at run at F) or 1.
void torus_vertex_contact(torus_state& s, const vec3& vertex, int& status);
// The edge case for the edge from A to B: F and the parameter t of the met point B + t (A - B).
// plane_set: the tapered solver has already set the sweep plane (edge_sweep_plane).
void torus_edge_contact(torus_state& s, const vec3& a, const vec3& b, double& t, int& status, bool plane_set = false);
// The edge's sweep plane: A, B, D and the unit sweep normal m (m.z <= 0); false when the edge
// runs along the motion.
bool edge_sweep_plane(torus_state& s, const vec3& a, const vec3& b);
// The parameter of the edge point that F + s u crosses; false when no pair of coordinates gives
// one and the rules are the tapered solver's (the plain rule takes 0 then).
bool edge_param_at(const torus_state& s, double& t);

// Residual bodies, on the given state (each solver's root functions call them on its own).
double silhouette_gap_of(torus_state& s, double c);
double vertex_gap_of(torus_state& s, double t);
double sweep_gap_of(torus_state& s, double c);

// ---- the plain solver ------------------------------------------------------------------------

// Its residual instances, on torus_state_block.
double torus_silhouette_gap(double c);
double torus_vertex_gap(double t);
double torus_sweep_gap(double c);
// The outward normal w at F (not normalised) of a ball or a bull-nose.
void torus_normal_at(torus_state& s);
// The flat end met in closed form: the least travel over every way its bottom disc, rim and side
// can touch the triangle's face, vertices and edges. Reads T, R, u and the triangle's normal.
void flat_end_contact(torus_state& s, const double* triangle, double& distance, double* contact, double* new_tip,
                      int& status);
