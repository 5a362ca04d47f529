// xy_triangle_contact: the height at which a cutter lowered along +z at one XY point first
// touches one triangle. The face is tried first, at the cutter's lowest point towards the
// triangle's plane; when that point falls outside the triangle, every edge within reach goes to
// the edge kernel of the cutter kind and the highest contact wins (the nearer edge gives the
// contact on a tie). The work is done in double on the corners taken relative to the axis, with
// the plane formed again from them, and the height is rounded up to single precision: a height
// is never below the touch, and no triangle that lies beyond the cutter is met.
// Reads cutter_block for tapered cutters and calls the tapered edge kernel through the seams.
#include "cutter/kernels/xy_contact.hpp"

#include "cutter/kernels/cutter_block_least.hpp"
#include "cutter/kernels/cutter_seams_least.hpp"
#include "host/vantu_compare.hpp"
#include "surfaces/qt_geometry.hpp"

#include <algorithm>
#include <cmath>

namespace {

// With the tolerance switch, the face test takes a lowest point this near an edge line as on
// the side of the next edge.
constexpr double kWideFaceTolerance = 0.004;
constexpr double kNoBest = -100000.0;
// Edges whose height bound lies this far below the best are not handed to their kernel: beyond
// the tie tolerance of eqval (1e-4) with room for rounding.
constexpr double kTieMargin = 2.0e-4;
constexpr int kFaceFirstSource = 2;
// Statuses of the tapered edge kernel that hand the edge to the untapered kernels.
constexpr int kTopRimMeetsEdge = 10;
constexpr int kLowerPartMeetsEdge = -10;

// The cutter as the face and the edges see it.
struct cutter_shape {
    int type;
    double radius;  // R'
    double corner;  // r'
};

// One run of the test for one triangle, relative to the tool axis.
struct triangle_job {
    double px, py;     // the tool axis
    double rel[3][3];  // corners relative to the axis in x, y (z as given)
    xy_edge_d edges[3];
    const int* edge_status;
    double normal[3];  // unit, z not negative
    bool degenerate = false;
    bool vertical = false;
    bool inside = false;  // the tool axis lies in the triangle
};

struct face_result {
    bool met = false;
    double contact[3] = {0.0, 0.0, 0.0};  // relative to the axis in x, y
    double height = 0.0;
};

double signed_distance(const xy_edge_d& e, double constant, double x, double y)
{
    return e.u[1] * x - e.u[0] * y + constant;
}

// Whether the lowest point (cx, cy) lies in the triangle (on an edge line counts). With the
// tolerance switch, a distance from an edge line within 0.004 takes the sign of the distance from
// the next edge's line, and a zero counts as negative.
bool face_holds(const triangle_job& job, double cx, double cy, bool wide)
{
    if (!wide) return point_in_edges_d(job.edges, cx, cy);
    bool positive = false, negative = false;
    for (int k = 0; k < 3; ++k) {
        const xy_edge_d& e = job.edges[k];
        double s = signed_distance(e, e.d, cx, cy);
        if (std::fabs(s) <= kWideFaceTolerance)
            s = std::copysign(std::fabs(s), signed_distance(e, job.edges[(k + 1) % 3].d, cx, cy));
        if (s > 0.0)
            positive = true;
        else
            negative = true;
    }
    return !(positive && negative);
}

// The face at the cutter's lowest point C towards the plane, when C lies in the triangle: the
// plane's height there, less the corner's rise over the tip.
face_result face_contact(const triangle_job& job, const cutter_shape& cutter, bool wide)
{
    face_result result;
    double c[2];
    lowest_point_d(cutter.type, cutter.radius, cutter.corner, job.normal, c);
    if (!face_holds(job, c[0], c[1], wide)) return result;
    const double* n = job.normal;
    const double* origin = job.rel[0];
    result.met = true;
    result.contact[0] = c[0];
    result.contact[1] = c[1];
    result.contact[2] = origin[2] - (n[0] * (c[0] - origin[0]) + n[1] * (c[1] - origin[1])) / n[2];
    result.height = result.contact[2] - (1.0 - n[2]) * cutter.corner;
    return result;
}

// After a face contact with the axis outside the triangle: the distance from the axis to the
// nearest edge in reach, and the edge's height there.
void boundary_after_face(const triangle_job& job, double radius, float& boundary, float& value, int& status)
{
    if (job.inside) {
        boundary = 0.0f;
        status = kXyFaceInside;
        return;
    }
    for (int k = 0; k < 3; ++k) {
        if (job.edge_status[k] != 0 || !(std::fabs(job.edges[k].d) < radius)) continue;
        edge_touch_d near;
        edge_nearest_d(job.edges[k], radius, near);
        if (near.status < 0 || (boundary >= 0.0f && !(near.nearest < boundary))) continue;
        boundary = static_cast<float>(near.nearest);
        value = static_cast<float>(near.z_near);
    }
    if (boundary > 0.0f) status = kXyFaceInside;
}

// Whether an untapered kernel's height on this edge cannot reach the floor: the edge's highest
// corner lowered by the cutter's lift at the edge's nearest distance bounds it. The hit then
// carries the nearest approach the kernel would have reported, and no height.
bool below_floor(const xy_edge_d& e, const cutter_shape& lower, double floor, edge_touch_d& hit)
{
    edge_nearest_d(e, lower.radius, hit);
    if (hit.status < 0 || !(hit.nearest < lower.radius)) {
        hit.status = kXyNoContact;
        return false;
    }
    const double flat = lower.type == kCutterBall ? 0.0 : lower.radius - lower.corner;
    const double bound = vertex_drop_height_d(hit.nearest, 0.0, std::max(e.a[2], e.b[2]), lower.radius, flat);
    if (!(bound < floor)) {
        hit.status = kXyNoContact;
        return false;
    }
    hit.height = kNoHeight;
    hit.status = kXyNoContactAtRadius;
    return true;
}

// The tapered edge kernel of the seams, which takes the edge in single precision.
void tapered_seam(const xy_edge_d& e, int type, edge_touch_d& hit)
{
    const float a[3] = {static_cast<float>(e.a[0]), static_cast<float>(e.a[1]), static_cast<float>(e.a[2])};
    const float b[3] = {static_cast<float>(e.b[0]), static_cast<float>(e.b[1]), static_cast<float>(e.b[2])};
    const float u[2] = {static_cast<float>(e.u[0]), static_cast<float>(e.u[1])};
    float d = static_cast<float>(e.d), contact[3] = {0.0f, 0.0f, 0.0f}, height = 0.0f;
    cutter_seam_table().taper_edge_contact(a, b, u, d, contact, type, height, hit.status);
    hit.height = height;
    hit.nearest = d;
    hit.z_near = contact[2];
    std::copy(contact, contact + 3, hit.contact);
}

// One edge through the kernels of the cutter: a tapered cutter asks the tapered kernel first,
// which may hand the edge to the flat end at the top rim or to the lower part's kernel. An
// untapered edge that cannot reach the floor is not given to its kernel.
edge_touch_d edge_contact(const triangle_job& job, int k, int type, const cutter_shape& lower, bool tapered,
                          const cutter_block& block, double floor)
{
    edge_touch_d hit;
    const xy_edge_d& e = job.edges[k];
    if (!tapered) {
        if (!below_floor(e, lower, floor, hit)) edge_contact_d(type, e, lower.radius, lower.corner, hit);
        return hit;
    }
    tapered_seam(e, type, hit);
    if (hit.status == kTopRimMeetsEdge) {
        edge_contact_d(kCutterFlat, e, block.top_radius, 0.0, hit);
        hit.height -= block.cut_length;
    } else if (hit.status == kLowerPartMeetsEdge) {
        edge_contact_d(type, e, lower.radius, lower.corner, hit);
    }
    return hit;
}

// The job of one triangle: corners relative to the axis, edges with their constants (written
// back into the caller's edges too), the plane formed from the corners.
void prepare_job(const float* point, const float* corners, xy_edge* edges, const int* edge_status, triangle_job& job)
{
    job.px = point[0];
    job.py = point[1];
    job.edge_status = edge_status;
    for (int k = 0; k < 3; ++k) {
        job.rel[k][0] = static_cast<double>(corners[3 * k]) - job.px;
        job.rel[k][1] = static_cast<double>(corners[3 * k + 1]) - job.py;
        job.rel[k][2] = corners[3 * k + 2];
    }
    for (int k = 0; k < 3; ++k) {
        job.edges[k] = edge_between_d(job.rel[k], job.rel[(k + 1) % 3]);
        edges[k].c = static_cast<float>(job.edges[k].d);
        if (edge_status[k] != 0) job.degenerate = true;
    }
    job.vertical = !upward_normal_d(job.rel[0], job.rel[1], job.rel[2], job.normal) || !(job.normal[2] > 0.0);
}

}  // namespace

bool upward_normal_d(const double* c0, const double* c1, const double* c2, double* normal)
{
    const double u[3] = {c1[0] - c0[0], c1[1] - c0[1], c1[2] - c0[2]};
    const double v[3] = {c2[0] - c0[0], c2[1] - c0[1], c2[2] - c0[2]};
    double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0)) {
        normal[0] = normal[1] = normal[2] = 0.0;
        return false;
    }
    const double scale = (n[2] < 0.0 ? -1.0 : 1.0) / length;
    for (int k = 0; k < 3; ++k) normal[k] = n[k] * scale;
    return true;
}

void lowest_point_d(int type, double radius, double corner, const double* normal, double* point)
{
    point[0] = -corner * normal[0];
    point[1] = -corner * normal[1];
    const double across = std::hypot(normal[0], normal[1]);
    if (type == kCutterBall || !(across > 0.0)) return;
    const double flat = radius - corner;
    point[0] -= flat * normal[0] / across;
    point[1] -= flat * normal[1] / across;
}

void xy_triangle_contact(const signed char& normal_source, float* point, const float* radii, const int& type_code,
                         const int& tolerance_switch, const float* corners, xy_edge* edges, const int* edge_status,
                         const float* plane, const float& unused, float* contact, const int& reach_switch,
                         float& boundary_distance, float& value, const float& top_z, int& status)
{
    (void)plane;
    (void)unused;
    (void)top_z;
    bool face_first = normal_source == kFaceFirstSource || normal_source == -kFaceFirstSource;
    const bool tapered = type_code >= kCutterTapered;
    const int base_type = tapered ? type_code - kCutterTapered : type_code;
    const cutter_block& block = cutter_block_get();

    triangle_job job;
    prepare_job(point, corners, edges, edge_status, job);

    // The cutter's lower part; a face steeper than a tapered flank meets the top rim instead.
    cutter_shape lower{base_type, radii[0], radii[1]};
    if (tapered) {
        float flat = block.flat_radius;
        if (eqval0(flat)) flat = 0.0f;
        lower.radius = static_cast<double>(flat) + radii[1];
    }
    const bool top_rim = tapered && job.normal[2] < block.flank[2];
    const cutter_shape face_cutter = top_rim ? cutter_shape{kCutterFlat, block.top_radius, 0.0} : lower;

    for (int attempt = 0; attempt < 2; ++attempt) {
        double c[2];
        lowest_point_d(face_cutter.type, face_cutter.radius, face_cutter.corner, job.normal, c);
        contact[0] = static_cast<float>(job.px + c[0]);
        contact[1] = static_cast<float>(job.py + c[1]);
        contact[2] = 0.0f;
        boundary_distance = -1.0f;
        job.inside = false;
        if (!job.degenerate && !job.vertical) {
            const float axis[2] = {0.0f, 0.0f};
            int outside = 1;
            point_in_triangle_xy(tolerance_switch, axis, edges, outside);
            job.inside = outside == 0;
            if (!face_first) {
                const face_result face = face_contact(job, face_cutter, tolerance_switch != 0);
                if (face.met) {
                    status = kXyFace;
                    contact[0] = static_cast<float>(job.px + face.contact[0]);
                    contact[1] = static_cast<float>(job.py + face.contact[1]);
                    contact[2] = static_cast<float>(face.contact[2]);
                    boundary_after_face(job, face_cutter.radius, boundary_distance, value, status);
                    point[2] = rounded_up(top_rim ? face.height - block.cut_length : face.height);
                    return;
                }
            }
        }

        // The edge pass, with the lower part's values (a steep face's top rim is put back). The
        // height is the highest met; of contacts equal within the host's tolerance, the nearer
        // edge's is reported.
        status = kXyNoContact;
        double best = kNoBest, best_near = 0.0, contact_height = kNoBest;
        const double reach = tapered ? block.top_radius : lower.radius;
        bool last_reach_at_radius = false;
        for (int k = 0; k < 3; ++k) {
            if (edge_status[k] != 0) continue;
            const double distance = std::fabs(job.edges[k].d);
            last_reach_at_radius = distance == lower.radius;
            if (!(distance <= reach)) continue;
            // A height more than the tie tolerance below the best can change nothing.
            const edge_touch_d hit = edge_contact(job, k, base_type, lower, tapered, block, best - kTieMargin);
            if (hit.status < 0) continue;
            const bool tie = eqval(static_cast<float>(hit.height), static_cast<float>(contact_height)) != 0;
            if ((tie && hit.nearest < best_near) || (!tie && hit.height > contact_height)) {
                contact_height = hit.height;
                best_near = hit.nearest;
                status = kXyEdge;
                contact[0] = static_cast<float>(job.px + hit.contact[0]);
                contact[1] = static_cast<float>(job.py + hit.contact[1]);
                contact[2] = static_cast<float>(hit.contact[2]);
                if (job.vertical) boundary_distance = static_cast<float>(hit.nearest);
            }
            best = std::max(best, hit.height);
            if (hit.status == kXyNoContactAtRadius && !job.vertical &&
                (boundary_distance < 0.0f || hit.nearest < boundary_distance)) {
                boundary_distance = static_cast<float>(hit.nearest);
                value = static_cast<float>(hit.z_near);
            }
        }
        if (job.inside) boundary_distance = 0.0f;
        if (status == kXyNoContact && last_reach_at_radius) {
            status = kXyNoContactAtRadius;
            point[2] = kNoHeight;
        } else if (status != kXyNoContact) {
            point[2] = rounded_up(best);
        }
        if (!(reach_switch && face_first && status == kXyNoContact)) return;
        face_first = false;
    }
}
