// xy_triangle_contact: the height at which a cutter lowered along +z at one XY point first
// touches one triangle. The face is tried first, at the cutter's lowest point towards the
// triangle's plane; when that point falls outside the triangle, every edge within reach goes to
// the edge kernel of the cutter kind and the highest contact wins (the nearer edge on a tie).
// Reads cutter_block for tapered cutters and calls the tapered edge kernel through the seams.
#include "cutter/kernels/xy_contact.hpp"

#include "cutter/cutter_block_least.hpp"
#include "cutter/cutter_seams_least.hpp"
#include "host/vantu_compare.hpp"
#include "surfaces/qt_geometry_least.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kFaceTolerance = 1.0e-4f;
constexpr float kWideFaceTolerance = 0.004f;
// A face whose normal has a smaller z is vertical: only its edges are met.
constexpr float kVerticalFaceNormalZ = 1.5e-4f;
// Edges are tried up to this beyond the cutter's radius, and 0.002 farther with the reach switch.
constexpr float kEdgeReachSlack = 1.0e-4f;
constexpr float kWideEdgeReachSlack = 0.002f;
constexpr float kNoBest = -100000.0f;
// Edges whose height bound lies this far below the best are not handed to their kernel: beyond
// the tie tolerance of eqval (1e-4) with room for rounding.
constexpr float kTieMargin = 2.0e-4f;
constexpr int kFaceFirstSource = 2;
// Statuses of the tapered edge kernel that hand the edge to the untapered kernels.
constexpr int kTopRimMeetsEdge = 10;
constexpr int kLowerPartMeetsEdge = -10;

// The cutter as the face and the edges see it.
struct cutter_shape {
    int type;
    float radius;   // R'
    float corner;   // r'
};

// One run of the test for one triangle.
struct triangle_job {
    float px, py;               // the tool axis
    const float* plane;
    const float* corners;
    xy_edge* edges;
    const int* edge_status;
    float rel[3][3];            // corners relative to the axis in x, y (z as given)
    float tolerance;
    bool degenerate = false;
    bool vertical = false;
    bool inside = false;        // the tool axis lies in the triangle
};

struct face_result {
    bool met = false;
    bool on_edge = false;
    float contact[3] = {0.0f, 0.0f, 0.0f};
    float height = 0.0f;
};

float signed_distance(const xy_edge& e, float x, float y) { return e.dy * x - e.dx * y + e.c; }

// The face at the cutter's lowest point C towards the plane (relative to the axis): inside the
// triangle, or within the tolerance of an edge line and between its ends.
face_result face_contact(const triangle_job& job, const cutter_shape& cutter, float cx, float cy, int tolerance_switch,
                         float top_z)
{
    face_result result;
    const float* n = job.plane;
    int within = 0, first_sign = 0;
    for (int k = 0; k < 3; ++k) {
        const xy_edge& e = job.edges[k];
        float s = signed_distance(e, cx, cy);
        if (std::fabs(s) <= job.tolerance) {
            if (!tolerance_switch) {
                ++within;
                const float* third = job.rel[(k + 2) % 3];
                const float q = signed_distance(e, third[0], third[1]);
                if ((s > 0.0f && q > 0.0f) || (s <= 0.0f && q < 0.0f)) continue;  // C on the inner side
                // C lies just outside this edge's line: its foot on the line, between the ends.
                const float fx = cx - s * e.dy, fy = cy + s * e.dx;
                const float* a = job.rel[k];
                const float* b = job.rel[(k + 1) % 3];
                const float along = std::fabs(e.dx) < job.tolerance ? (fy - a[1]) / (b[1] - a[1]) : (fx - a[0]) / (b[0] - a[0]);
                if (!(along >= -job.tolerance && along <= 1.0f + job.tolerance)) continue;
                result.met = result.on_edge = true;
                result.contact[0] = job.px + fx;
                result.contact[1] = job.py + fy;
                result.contact[2] = a[2] + along * (b[2] - a[2]);
                result.height = result.contact[2] + (n[2] - 1.0f) * cutter.corner;
                return result;
            }
            const float next = e.dy * cx - e.dx * cy + job.edges[(k + 1) % 3].c;
            s = std::copysign(std::fabs(s), next);
        }
        const int sign = s > 0.0f ? 1 : -1;
        if (first_sign == 0) first_sign = sign;
        else if (sign != first_sign) return result;  // C outside: the edges decide
    }
    result.met = true;
    result.contact[0] = job.px + cx;
    result.contact[1] = job.py + cy;
    result.contact[2] = within == 3 ? top_z : -(n[0] * result.contact[0] + n[1] * result.contact[1] + n[3]) / n[2];
    result.height = result.contact[2] + (n[2] - 1.0f) * cutter.corner;
    return result;
}

// After a face contact with the axis outside the triangle: the distance from the axis to the
// nearest edge in reach, and the edge's height there.
void boundary_after_face(const triangle_job& job, float radius, bool on_edge, float& boundary, float& value,
                         int& status)
{
    if (job.inside) {
        boundary = 0.0f;
        status = kXyFaceInside;
        return;
    }
    for (int k = 0; k < 3; ++k) {
        const xy_edge& e = job.edges[k];
        if (job.edge_status[k] != 0 || !(std::fabs(e.c) < radius)) continue;
        const float u[2] = {e.dx, e.dy};
        float d = e.c, z = 0.0f;
        int reach = 0;
        edge_foot_distance(job.rel[k], job.rel[(k + 1) % 3], u, radius, d, z, reach);
        if (reach < 0 || (boundary >= 0.0f && !(d < boundary))) continue;
        boundary = d;
        value = z;
    }
    if (boundary > 0.0f) status = on_edge ? kXyEdge : kXyFaceInside;
}

// The untapered edge kernel of the type.
void untapered_edge(int type, const float* a, const float* b, const float* u, float radius, float corner, float& d,
                    float* contact, float& height, float& z_near, int& status)
{
    if (type == kCutterBall) {
        ball_edge_contact(a, b, u, radius, d, contact, height, z_near, status);
    } else if (type == kCutterFlat) {
        flat_edge_contact(a, b, u, radius, d, contact, height, z_near, status);
    } else {
        const float radii[2] = {radius, corner};
        bullnose_edge_contact(a, b, u, radii, d, contact, height, z_near, status);
    }
}

struct edge_hit {
    float contact[3] = {0.0f, 0.0f, 0.0f};
    float height = 0.0f;
    float z_near = 0.0f;
    float d = 0.0f;
    int status = kXyNoContact;
};

// Whether an untapered kernel's height on this edge cannot reach the floor: the edge's highest
// corner lowered by the cutter's lift at the edge's nearest distance bounds it (a ball meeting an
// edge line just beyond its radius rises by at most its small section over that). The hit then
// carries the nearest approach the kernel would have reported, and no height.
bool below_floor(const float* a, const float* b, const float* u, const cutter_shape& lower, float floor, edge_hit& hit)
{
    float d = hit.d, z_near = 0.0f;
    int reach = 0;
    edge_foot_distance(a, b, u, lower.radius, d, z_near, reach);
    if (reach < 0 || !(d < lower.radius)) return false;
    const float flat = lower.type == kCutterBall ? 0.0f : lower.radius - lower.corner;
    const float highest[3] = {d, 0.0f, std::max(a[2], b[2])};
    const float axis[3] = {0.0f, 0.0f, 0.0f};
    float bound = vertex_drop_height(axis, highest, lower.radius, flat);
    if (lower.type == kCutterBall) bound += std::sqrt(kEdgeReachSlack * (2.0f * lower.radius + kEdgeReachSlack));
    if (!(bound < floor)) return false;
    hit.d = d;
    hit.z_near = z_near;
    hit.height = kNoHeight;
    hit.status = kXyNoContactAtRadius;
    return true;
}

// One edge through the kernels of the cutter: a tapered cutter asks the tapered kernel first,
// which may hand the edge to the flat end at the top rim or to the lower part's kernel. An
// untapered edge that cannot reach the floor is not given to its kernel.
edge_hit edge_contact(const triangle_job& job, int k, int type, const cutter_shape& lower, bool tapered,
                      const cutter_block& block, float floor)
{
    edge_hit hit;
    const xy_edge& e = job.edges[k];
    const float u[2] = {e.dx, e.dy};
    const float* a = job.rel[k];
    const float* b = job.rel[(k + 1) % 3];
    hit.d = e.c;
    if (!tapered && below_floor(a, b, u, lower, floor, hit)) return hit;
    if (tapered) {
        cutter_seam_table().taper_edge_contact(a, b, u, hit.d, hit.contact, type, hit.height, hit.status);
        if (hit.status == kTopRimMeetsEdge) {
            hit.d = e.c;
            flat_edge_contact(a, b, u, block.top_radius, hit.d, hit.contact, hit.height, hit.z_near, hit.status);
            hit.height -= block.cut_length;
            return hit;
        }
        if (hit.status != kLowerPartMeetsEdge) {
            hit.z_near = hit.contact[2];
            return hit;
        }
        hit.d = e.c;
    }
    untapered_edge(type, a, b, u, lower.radius, lower.corner, hit.d, hit.contact, hit.height, hit.z_near, hit.status);
    return hit;
}

}  // namespace

void xy_triangle_contact(const signed char& normal_source, float* point, const float* radii, const int& type_code,
                         const int& tolerance_switch, const float* corners, xy_edge* edges, const int* edge_status,
                         const float* plane, const float& unused, float* contact, const int& reach_switch,
                         float& boundary_distance, float& value, const float& top_z, int& status)
{
    (void)unused;
    bool face_first = normal_source == kFaceFirstSource || normal_source == -kFaceFirstSource;
    const bool tapered = type_code >= kCutterTapered;
    const int base_type = tapered ? type_code - kCutterTapered : type_code;
    const cutter_block& block = cutter_block_get();

    // The cutter's lower part; a face steeper than a tapered flank meets the top rim instead.
    cutter_shape lower{base_type, radii[0], radii[1]};
    if (tapered) {
        float flat = block.flat_radius;
        if (eqval0(flat)) flat = 0.0f;
        lower.radius = flat + radii[1];
    }
    const bool top_rim = tapered && plane[2] < block.flank[2];
    const cutter_shape face_cutter = top_rim ? cutter_shape{kCutterFlat, block.top_radius, 0.0f} : lower;

    triangle_job job;
    job.px = point[0];
    job.py = point[1];
    job.plane = plane;
    job.corners = corners;
    job.edges = edges;
    job.edge_status = edge_status;
    job.tolerance = tolerance_switch ? kWideFaceTolerance : kFaceTolerance;
    for (int k = 0; k < 3; ++k) {
        job.rel[k][0] = corners[3 * k] - job.px;
        job.rel[k][1] = corners[3 * k + 1] - job.py;
        job.rel[k][2] = corners[3 * k + 2];
        edges[k].c = edges[k].dx * job.rel[k][1] - edges[k].dy * job.rel[k][0];
        if (edge_status[k] != 0) job.degenerate = true;
    }
    job.vertical = std::fabs(plane[2]) < kVerticalFaceNormalZ;

    // The cutter's lowest point towards the plane, relative to the axis.
    float horizontal[2] = {plane[0], plane[1]}, length = 0.0f;
    int unit_status = 0;
    unit2d_snap(horizontal, length, unit_status);
    const float w = face_cutter.radius - face_cutter.corner;
    float cx = -face_cutter.corner * plane[0], cy = -face_cutter.corner * plane[1];
    if (face_cutter.type != kCutterBall) {
        cx -= w * horizontal[0];
        cy -= w * horizontal[1];
    }

    for (int attempt = 0; attempt < 2; ++attempt) {
        contact[0] = job.px + cx;
        contact[1] = job.py + cy;
        contact[2] = 0.0f;
        boundary_distance = -1.0f;
        job.inside = false;
        if (!job.degenerate && !job.vertical) {
            const float axis[2] = {0.0f, 0.0f};
            int outside = 1;
            point_in_triangle_xy(tolerance_switch, axis, edges, outside);
            job.inside = outside == 0;
            if (!face_first) {
                const face_result face = face_contact(job, face_cutter, cx, cy, tolerance_switch, top_z);
                if (face.met) {
                    status = face.on_edge ? kXyOnEdge : kXyFace;
                    std::copy(face.contact, face.contact + 3, contact);
                    boundary_after_face(job, face_cutter.radius, face.on_edge, boundary_distance, value, status);
                    point[2] = top_rim ? face.height - block.cut_length : face.height;
                    return;
                }
            }
        }

        // The edge pass, with the lower part's values (a steep face's top rim is put back).
        status = kXyNoContact;
        float best = kNoBest, best_near = 0.0f;
        float reach = (tapered ? block.top_radius : lower.radius) + kEdgeReachSlack;
        if (reach_switch) reach += kWideEdgeReachSlack;
        bool last_reach_at_radius = false;
        for (int k = 0; k < 3; ++k) {
            if (edge_status[k] != 0) continue;
            const float distance = std::fabs(edges[k].c);
            last_reach_at_radius = distance == lower.radius;
            if (!(distance <= reach)) continue;
            // A height more than the tie tolerance below the best can change nothing.
            const float floor = best - kTieMargin;
            const edge_hit hit = edge_contact(job, k, base_type, lower, tapered, block, floor);
            if (hit.status < 0) continue;
            const bool tie = eqval(hit.height, best) != 0;
            if ((tie && hit.d < best_near) || (!tie && hit.height > best)) {
                best = hit.height;
                best_near = hit.d;
                status = kXyEdge;
                contact[0] = job.px + hit.contact[0];
                contact[1] = job.py + hit.contact[1];
                contact[2] = hit.contact[2];
                if (job.vertical) boundary_distance = hit.d;
            }
            if (hit.status == kXyNoContactAtRadius && !job.vertical &&
                (boundary_distance < 0.0f || hit.d < boundary_distance)) {
                boundary_distance = hit.d;
                value = hit.z_near;
            }
        }
        if (job.inside) boundary_distance = 0.0f;
        if (status == kXyNoContact && last_reach_at_radius) {
            status = kXyNoContactAtRadius;
            point[2] = kNoHeight;
        } else if (status != kXyNoContact) {
            point[2] = best;
        }
        if (!(reach_switch && face_first && status == kXyNoContact)) return;
        face_first = false;
    }
}
