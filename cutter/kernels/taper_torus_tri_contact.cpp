// taper_torus_tri_contact: where a cutter that may be tapered, moving along a direction, first
// meets one triangle. The steps of torus_tri_contact with a five-value cutter: below a taper of
// 1e-4 radians the bull-nose of radius D/2 + e and corner rc + e; from there a corner torus, a
// cone band and a top torus at the cut length, every torus computation running on the one of the
// two tori that the case chooses (the active torus). Its own face test, normals (a second normal
// at rims) and judgements. The push and drop front ends call it once per candidate triangle.
// Reads and writes taper_torus_state_block only.
#include "cutter/kernels/taper_torus_state.hpp"
#include "cutter/kernels/torus_contact.hpp"

#include <cmath>
#include <initializer_list>
#include <numbers>

namespace {

// Below this taper (radians) the cutter is untapered.
constexpr double kLeastTaper = 1.0e-4;
// A cached taper within this is the same.
constexpr double kSameTaper = 1.0e-10;
// |n.z| below this: a vertical face, left to the vertices and edges; |n . u| below this: the
// motion runs along the face.
constexpr double kVerticalFace = 1.0e-10;
constexpr double kAlongFace = 1.0e-10;
// F this close above the lower or below the upper tangent height belongs to the torus there.
constexpr double kTangentBand = 1.0e-8;
// F this close to a tangent height on the band lies on two normals.
constexpr double kOnTangent = 1.0e-7;
// A flat torus: F inside its rim this far is on the bottom, this far above its centre on the side.
constexpr double kInsideRim = 1.0e-10;
constexpr double kOnBottom = 1.0e-10;
constexpr double kAboveRim = 1.0e-8;
// Judgements: a neighbour of a vertex this far behind the normal still lets it pass; the corners
// of an edge this far behind.
constexpr double kVertexJudgement = 1.0e-5;
constexpr double kEdgeJudgement = 1.0e-8;
// An edge parameter within these bounds lies on the edge.
constexpr double kBelowEdge = -1.0e-10;
constexpr double kBeyondEdge = 1.000000001;
// The two-normal edge judgement: a crossing direction without length accepts; one steeper than
// this points down.
constexpr double kNoCrossing = 1.0e-10;
constexpr double kSteepCrossing = 0.6;

double taper_silhouette_gap(double c) { return silhouette_gap_of(taper_torus_state_block.torus, c); }
double taper_vertex_gap(double t) { return vertex_gap_of(taper_torus_state_block.torus, t); }
double taper_sweep_gap(double c) { return sweep_gap_of(taper_torus_state_block.torus, c); }

const torus_instance kTaperInstance{taper_silhouette_gap, taper_vertex_gap, taper_sweep_gap, taper_torus_normal_at,
                                    true};

// The outward normal of the cone band at F.
vec3 cone_normal(const taper_torus_state& ts, const vec3& f)
{
    const vec3 g = unit_xy(f - ts.torus.T);
    return unit(vec3{g.x, g.y, -ts.tangent});
}

// The cutter of a taper below 1e-4: one bull-nose, its ring centre from the corner radius before
// classification.
void untapered_cutter(taper_torus_state& ts, const vec3& p, double diameter, double corner, double offset)
{
    torus_set& set = ts.corner;
    set.R = 0.5 * diameter + offset;
    set.r = corner + offset;
    set.kind = classify_corner(set.R, set.r);
    set.rho0 = set.R - set.r;
    set.T = p;
    set.C = {p.x, p.y, p.z + corner + offset};
    ts.kind = set.kind;
    if (set.kind == kTorusKindFlat) ts.w2 = {0.0, 0.0, -1.0};
    use_torus(ts, kCornerTorus);
}

// A torus of the tapered cutter: outer radius, tube radius, its ring centre's height over P.
torus_set taper_torus(const vec3& p, double radius, double tube, double centre_height)
{
    torus_set set;
    set.R = radius;
    set.r = tube;
    set.kind = classify_corner(radius, set.r);
    set.rho0 = set.R - set.r;
    set.C = {p.x, p.y, p.z + centre_height};
    set.T = {p.x, p.y, set.C.z - tube};
    return set;
}

void tapered_cutter(taper_torus_state& ts, const vec3& p, double diameter, double corner, double taper,
                    double cut_length, double offset)
{
    ts.kind = kTorusKindTapered;
    if (std::fabs(taper - ts.cached_taper) > kSameTaper) {
        ts.sine = std::sin(taper);
        ts.sine2 = ts.sine * ts.sine;
        ts.cosine = std::sqrt(1.0 - ts.sine2);
        ts.half_sine = std::sin((0.5 * std::numbers::pi - taper) * 0.5);
        ts.half_cosine = std::sqrt(1.0 - ts.half_sine * ts.half_sine);
        ts.tangent = ts.sine / ts.cosine;
        ts.cached_taper = taper;
    }
    const double s = ts.sine, c = ts.cosine;
    const double q = ts.half_sine / ts.half_cosine;  // tan(pi/4 - theta/2)
    const double tube = corner + offset;
    ts.corner = taper_torus(p, 0.5 * diameter - corner * q + tube, tube, tube);
    ts.lower_radius = tube * c + ts.corner.rho0;
    ts.zl = ts.corner.C.z - tube * s;
    ts.top = taper_torus(p, ts.tangent * cut_length + 0.5 * diameter + offset, offset, cut_length + offset);
    ts.rhou = ts.top.R - offset + c * offset;
    ts.zu = ts.top.C.z - s * offset;
    ts.za = ts.zl - ts.lower_radius * c / s;
    use_torus(ts, kCornerTorus);
}

bool taper_torus_face_contact(taper_torus_state& ts, const double* triangle)
{
    torus_state& s = ts.torus;
    s.F = s.E;
    taper_torus_normal_at();
    if (std::fabs(s.n.z) < kVerticalFace) return false;
    const vec3 down = s.n.z <= 0.0 ? s.n : -s.n;
    if (dot(s.u, down) < 0.0) return false;
    if (std::fabs(dot(s.n, s.u)) < kAlongFace) return false;
    return face_hit(s, triangle);
}

// A vertex contact passes when neither neighbour lies more than 1e-5 behind the normal (behind
// both normals at a rim); a failing vertex retires alone.
bool judge_vertex(int k)
{
    taper_torus_state& ts = taper_torus_state_block;
    torus_state& s = ts.torus;
    tri_ring& ring = s.ring;
    const ring_vertex& vertex = ring.vertices[k];
    int status = 0;
    taper_torus_vertex_contact(vertex.point, status);
    if (status != 0) return false;
    const int a = ring.edges[vertex.previous_edge].first, b = ring.edges[vertex.next_edge].second;
    ring.far_previous = a;
    ring.far_next = b;
    auto behind = [&](int far) {
        const vec3 g = ring.vertices[far].point - vertex.point;
        double d = dot(g, s.w);
        if (ts.normal_flag == kOnRim && d < 0.0) d = dot(g, ts.w2);
        return d;
    };
    if (behind(a) >= -kVertexJudgement && behind(b) >= -kVertexJudgement) {
        s.H = vertex.point;
        return true;
    }
    return false;
}

// The two-normal judgement of an edge met at a rim: no corner behind both normals, and the
// triangle's third vertex not behind the direction that crosses the edge on the rim's side.
bool rim_edge_passes(const taper_torus_state& ts, const vec3& ga, const vec3& gb, const vec3& go)
{
    const torus_state& s = ts.torus;
    for (const vec3* g : {&ga, &gb, &go})
        if (dot(s.w, *g) < -kEdgeJudgement && dot(ts.w2, *g) < -kEdgeJudgement) return false;
    const vec3 k = unit(cross(s.w, ts.w2));
    vec3 g = cross(k, unit(s.D));
    if (std::fabs(g.x) + std::fabs(g.y) + std::fabs(g.z) < kNoCrossing) return true;
    g = unit(g);
    if (std::fabs(g.z) > kSteepCrossing) {
        if (g.z > 0.0) g = -g;
    } else {
        const vec3& level = std::fabs(s.w.z) < std::fabs(ts.w2.z) ? s.w : ts.w2;
        if (dot(g, level) < 0.0) g = -g;
    }
    return dot(g, go) >= -kEdgeJudgement;
}

bool judge_edge(int k)
{
    taper_torus_state& ts = taper_torus_state_block;
    torus_state& s = ts.torus;
    tri_ring& ring = s.ring;
    const ring_edge& edge = ring.edges[k];
    double t = 0.0;
    int status = 0;
    taper_torus_edge_contact(ring.vertices[edge.first].point, ring.vertices[edge.second].point, t, status);
    if (status != 0 || t < kBelowEdge || t > kBeyondEdge) return false;
    taper_torus_normal_at();
    const vec3 hit = s.B + t * s.D;
    const vec3 ga = s.A - hit, gb = s.B - hit;
    const vec3 go = ring.vertices[opposite_vertex(ring, k)].point - hit;
    const bool passes = ts.normal_flag == kOnRim ? rim_edge_passes(ts, ga, gb, go)
                                                 : dot(s.w, go) >= -kEdgeJudgement && dot(s.w, ga) >= -kEdgeJudgement &&
                                                       dot(s.w, gb) >= -kEdgeJudgement;
    if (!passes) return false;
    s.H = hit;
    return true;
}

}  // namespace

taper_torus_state taper_torus_state_block{.torus{.instance = &kTaperInstance}};

void use_torus(taper_torus_state& ts, int selector)
{
    const torus_set& set = selector == kTopTorus ? ts.top : ts.corner;
    torus_state& s = ts.torus;
    s.R = set.R;
    s.r = set.r;
    s.rho0 = set.rho0;
    s.kind = set.kind;
    s.T = set.T;
    s.C = set.C;
    ts.selector = selector;
}

void taper_torus_normal_at()
{
    taper_torus_state& ts = taper_torus_state_block;
    torus_state& s = ts.torus;
    const vec3& f = s.F;
    ts.normal_flag = 0;
    if (ts.kind == kTorusKindTapered) {
        if (f.z < ts.zl + kTangentBand) {
            use_torus(ts, kCornerTorus);
        } else if (f.z > ts.zu - kTangentBand) {
            use_torus(ts, kTopTorus);
        } else {
            s.w = cone_normal(ts, f);
            if (std::fabs(f.z - ts.zl) < kOnTangent) {
                ts.normal_flag = kOnRim;
                ts.w2 = {0.0, 0.0, -1.0};
            }
            if (std::fabs(f.z - ts.zu) < kOnTangent) {
                ts.normal_flag = kOnRim;
                ts.w2 = unit_xy(s.w);
            }
            return;
        }
    }
    if (s.kind != kTorusKindFlat) {
        torus_normal_at(s);
        return;
    }
    s.w = {f.x - s.C.x, f.y - s.C.y, 0.0};
    if (length_xy(s.w) < s.R - kInsideRim && std::fabs(f.z - s.C.z) < kOnBottom) {
        s.w = {0.0, 0.0, -1.0};
        return;
    }
    if (f.z >= s.C.z + kAboveRim) return;
    // On the rim: the normals span the side's and the rim's own, straight down on the corner
    // torus and horizontal on the top torus (never one left from an earlier call).
    ts.normal_flag = kOnRim;
    if (ts.kind != kTorusKindTapered) {
        s.w = unit_xy(f - s.T);
        ts.w2 = {0.0, 0.0, -1.0};
        return;
    }
    s.w = cone_normal(ts, f);
    ts.w2 = ts.selector == kCornerTorus ? vec3{0.0, 0.0, -1.0} : unit_xy(s.w);
}

void taper_torus_tri_contact(const double* triangle, const double* cutter_point, double diameter, double corner_radius,
                             double taper, double cut_length, double offset, const double* direction, double& distance,
                             double* contact, double* new_point, int& status)
{
    taper_torus_state& ts = taper_torus_state_block;
    torus_state& s = ts.torus;
    status = kTorusNoContact;
    const double values[5] = {diameter, corner_radius, taper, cut_length, offset};
    if (!finite_all(triangle, 9) || !finite_all(cutter_point, 3) || !finite_all(values, 5) ||
        !(0.5 * diameter + offset > 0.0))
        return;
    if (!classify_direction(s, direction)) return;
    ts.normal_flag = 0;
    build_ring(s.ring, triangle);
    ts.offset = offset;
    ts.point = vec3::from(cutter_point);
    if (taper < kLeastTaper)
        untapered_cutter(ts, ts.point, diameter, corner_radius, offset);
    else
        tapered_cutter(ts, ts.point, diameter, corner_radius, taper, cut_length, offset);
    if (!triangle_normal(s, triangle)) {
        status = kTorusDegenerate;
        return;
    }
    // A face steeper than the cone band can only meet the top torus.
    if (ts.kind == kTorusKindTapered) use_torus(ts, std::fabs(s.n.z) >= ts.sine ? kCornerTorus : kTopTorus);
    support_point(s, triangle);
    if (taper_torus_face_contact(ts, triangle)) {
        write_result(s, ts.point, s.H, s.E, distance, contact, new_point);
        status = kTorusContact;
        return;
    }
    if (!run_feature_loop(s.ring, judge_vertex, judge_edge)) return;
    write_result(s, ts.point, s.H, s.F, distance, contact, new_point);
    status = kTorusContact;
}
