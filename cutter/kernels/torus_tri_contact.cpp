// torus_tri_contact: where a flat-end, ball or bull-nose cutter moving along a direction first
// meets one triangle. Ball and bull-nose: the face at the cutter's support point, then the
// vertices and the edges of the triangle ring, each contact judged against the triangle's other
// corners, the first accepted one ending the search. The flat end is met in closed form as the
// least travel over its features (flat_end_contact). The line-net collision test and the push
// front end call it once per candidate triangle. Reads and writes torus_state_block only.
#include "cutter/kernels/torus_contact.hpp"
#include "cutter/kernels/torus_state.hpp"

#include <cmath>

namespace {

// |n . u| below this: the motion runs along the face.
constexpr double kAlongFace = 1.0e-10;
// Vertex judgement: a neighbour this far behind the contact normal still lets the vertex pass;
// this far in front of it retires its edge and itself.
constexpr double kVertexJudgement = 1.0e-11;
// Edge judgement: the third vertex this far behind the contact normal rejects the edge.
constexpr double kEdgeJudgement = 1.0e-10;
// An edge parameter within these bounds lies on the edge.
constexpr double kBelowEdge = -1.0e-10;
constexpr double kBeyondEdge = 1.000000001;

const torus_instance kPlainInstance{torus_silhouette_gap, torus_vertex_gap, torus_sweep_gap,
                                    [] { torus_normal_at(torus_state_block); }, false};

// The face at the support point E: the support point must move towards the face, not along it,
// and hit it inside the triangle.
bool torus_face_contact(torus_state& s, const double* triangle)
{
    s.F = s.E;
    torus_normal_at(s);
    if (dot(s.u, s.w) < 0.0) return false;
    if (std::fabs(dot(s.n, s.u)) < kAlongFace) return false;
    return face_hit(s, triangle);
}

// A vertex contact passes when neither neighbour lies behind the cutter's normal at F; when it
// fails, a neighbour in front of the normal is retired with its edge.
bool judge_vertex(int k)
{
    torus_state& s = torus_state_block;
    tri_ring& ring = s.ring;
    const ring_vertex& vertex = ring.vertices[k];
    int status = 0;
    torus_vertex_contact(s, vertex.point, status);
    if (status != 0) return false;
    const int a = ring.edges[vertex.previous_edge].first, b = ring.edges[vertex.next_edge].second;
    ring.far_previous = a;
    ring.far_next = b;
    const double da = dot(ring.vertices[a].point - vertex.point, s.w);
    const double db = dot(ring.vertices[b].point - vertex.point, s.w);
    if (da >= -kVertexJudgement && db >= -kVertexJudgement) {
        s.H = vertex.point;
        return true;
    }
    if (da >= kVertexJudgement) {
        ring.edges[vertex.previous_edge].active = 0;
        ring.vertices[a].active = 0;
    }
    if (db >= kVertexJudgement) {
        ring.edges[vertex.next_edge].active = 0;
        ring.vertices[b].active = 0;
    }
    return false;
}

// An edge contact passes when its point lies on the edge and the opposite vertex does not lie
// behind the cutter's normal at F.
bool judge_edge(int k)
{
    torus_state& s = torus_state_block;
    tri_ring& ring = s.ring;
    const ring_edge& edge = ring.edges[k];
    double t = 0.0;
    int status = 0;
    torus_edge_contact(s, ring.vertices[edge.first].point, ring.vertices[edge.second].point, t, status);
    if (status != 0 || t < kBelowEdge || t > kBeyondEdge) return false;
    torus_normal_at(s);
    const vec3 hit = s.B + t * s.D;
    const vec3 g = ring.vertices[opposite_vertex(ring, k)].point - hit;
    if (dot(s.w, g) < -kEdgeJudgement) return false;
    s.H = hit;
    return true;
}

// The cutter values: kind by the corner radius, ring radius, tip and ring centre.
void set_cutter(torus_state& s, const double* tip, double radius, double corner_radius)
{
    s.R = radius;
    s.r = corner_radius;
    s.kind = classify_corner(radius, s.r);
    s.rho0 = s.R - s.r;
    s.T = vec3::from(tip);
    s.C = {s.T.x, s.T.y, s.T.z + s.r};
}

}  // namespace

torus_state torus_state_block{.instance = &kPlainInstance};

double torus_silhouette_gap(double c) { return silhouette_gap_of(torus_state_block, c); }
double torus_vertex_gap(double t) { return vertex_gap_of(torus_state_block, t); }
double torus_sweep_gap(double c) { return sweep_gap_of(torus_state_block, c); }

void torus_normal_at(torus_state& s)
{
    // The flat end is the toroidal rule with no tube: bottom inside R, radial on the side.
    const vec3& f = s.F;
    if (s.kind == kTorusKindBall) {
        s.w = f - s.C;
        if (f.z >= s.C.z) s.w.z = 0.0;
        return;
    }
    const vec3 d{f.x - s.C.x, f.y - s.C.y, 0.0};
    const double rho = length_xy(d);
    if (rho < s.rho0)
        s.w = {0.0, 0.0, -1.0};
    else if (f.z < s.C.z)
        s.w = {d.x - s.rho0 * d.x / rho, d.y - s.rho0 * d.y / rho, f.z - s.C.z};
    else
        s.w = d;
}

void torus_tri_contact(const double* triangle, const double* tip, double radius, double corner_radius,
                       const double* direction, double& distance, double* contact, double* new_tip, int& status)
{
    torus_state& s = torus_state_block;
    status = kTorusNoContact;
    if (!finite_all(triangle, 9) || !finite_all(tip, 3) || !std::isfinite(corner_radius) || !(radius > 0.0) ||
        !std::isfinite(radius))
        return;
    if (!classify_direction(s, direction)) return;
    build_ring(s.ring, triangle);
    set_cutter(s, tip, radius, corner_radius);
    if (!triangle_normal(s, triangle)) {
        status = kTorusDegenerate;
        return;
    }
    if (s.kind == kTorusKindFlat) {
        flat_end_contact(s, triangle, distance, contact, new_tip, status);
        return;
    }
    support_point(s, triangle);
    if (torus_face_contact(s, triangle)) {
        write_result(s, s.T, s.H, s.E, distance, contact, new_tip);
        status = kTorusContact;
        return;
    }
    if (!run_feature_loop(s.ring, judge_vertex, judge_edge)) return;
    write_result(s, s.T, s.H, s.F, distance, contact, new_tip);
    status = kTorusContact;
}
