// The trimming contour's polygon (see the header).
#include "edit/trim/trim_contour.hpp"

#include "edit/trim/trim_state.hpp"
#include "host/vantu_contour_define.hpp"
#include "host/vantu_contours.hpp"
#include "host/vantu_curve_frames.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_masters.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/vantu_polyline.hpp"
#include "host/vantu_transforms.hpp"
#include "nc_services/model_values.hpp"
#include "nc_services/unwind_guard.hpp"
#include "pocket/contour_selection.hpp"
#include "pocket/polbuf.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr int kFailed = -1;
constexpr int kMostCurves = 4500;
constexpr int kPolygonWords = 9000;
constexpr int kOpenBuffers = 2;
constexpr int kSelectionAnyPlane = 2;
constexpr int kTemporaryEntity = 1;
constexpr int kClosedOnly = 1;
// Below this net offset (part units) the contour itself is the polygon: an offset so small
// changes no crossing the walk could tell apart from its own point tolerance.
constexpr double kNoOffset = 0.001;
constexpr char kCannotOffset[] = "WARNING: CANNOT CALCULATE OFFSET FOR THE SELECTED CONTOUR.";

// The user's contour into trim_contour(): its record and entity. Only a closed chain is taken: a
// contour left open would be closed by a straight side nobody drew, so it is refused with the
// message of a contour that gives no polygon. A negative status when the user left the
// definition or the contour was refused.
void define_contour(int& status)
{
    trim_contour_words& c = trim_contour();
    double tolerance = kDefaultCgp1;
    gs_cgp1(1, tolerance);
    slclr();
    dfdini(tolerance, status);
    dfd1cg(kClosedOnly);
    int most = kMostCurves;
    gscntv(2, most);
    c.record.assign(static_cast<std::size_t>(kChainEntryWords * (kMostCurves + 1)), 0);
    int length = 0;
    dfdc(kMostCurves, c.record.data(), length, status);
    if (status == kDefinitionOpen) usmsgc(kCannotOffset);
    if (status < 0 || length < 1) {
        c.record.clear();
        if (status >= 0) status = kFailed;
        return;
    }
    c.temporary = status == kTemporaryEntity ? 1 : 0;
    dfdgid(c.record.data(), c.entity, status);
}

// The polygon of a chain record into polygon 1 of the buffers and out as doubles.
std::vector<double> record_polygon(const int* record, float tolerance, int& status)
{
    std::vector<double> out;
    polbuf_from_curve(1, record, tolerance, status);
    int count = 0;
    if (status >= 0) polbuf_get_np(1, count, status);
    for (int i = 1; status >= 0 && i <= count; ++i) {
        float x = 0.0f, y = 0.0f;
        polbuf_get_point(1, i, x, y, status);
        out.push_back(x);
        out.push_back(y);
    }
    if (status < 0) out.clear();
    return out;
}

// The contour offset by distance, as a polygon; empty on any failure.
std::vector<double> offset_polygon(double distance, float tolerance)
{
    const std::vector<int>& record = trim_contour().record;
    int status = 0;
    polbuf_open_all(kOpenBuffers, kPolygonWords, status);
    std::vector<double> polygon;
    if (status >= 0 && std::abs(distance) <= kNoOffset) {
        polygon = record_polygon(record.data(), tolerance, status);
    } else if (status >= 0) {
        std::vector<int> offset(static_cast<std::size_t>(kChainEntryWords * (kMostCurves + 1)), 0);
        int length = 0;
        dfcof2(record.data(), distance, kMostCurves, offset.data(), length, status);
        if (status >= 0 && length > 0) {
            polygon = record_polygon(offset.data(), tolerance, status);
            int released = 0;
            dfcgnr(offset.data(), released);
        }
    }
    int released = 0;
    polbuf_release_all(kPolbufClose, released);
    return polygon;
}

// The plane of the current view for BY CONTOUR:ANY PLANE, in which the contour is offset: a UCS
// whose axes are the view's (the host's contour services see the contour in it while it is the
// work plane; none for the top view, whose plane is world XY), the transformation that maps
// points into it (trim_state.plane_transform, which the walk uses) and the one that maps them
// back. False when the view's rotation is none or no UCS can be made of it.
struct contour_plane {
    int ucs = 0;
    double back[kTransformDoubles] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
};

bool view_plane(trim_state& w, contour_plane& plane)
{
    double rotation[kRotationDoubles] = {};
    gtvrot(rotation);
    int kind = kRotationBad;
    trchkd(rotation, kind);
    if (kind == kRotationBad) return false;
    int status = 0;
    if (kind != kRotationIdentity) {
        const float origin[3] = {0.0f, 0.0f, 0.0f};
        float x_point[3], plane_point[3];
        for (int i = 0; i < 3; ++i) {
            x_point[i] = static_cast<float>(rotation[i]);
            plane_point[i] = static_cast<float>(rotation[3 + i]);
        }
        xsys4(origin, x_point, plane_point, plane.ucs, status);
        if (status < 0) return false;
    }
    double transform[kTransformDoubles] = {};
    trgetd(plane.ucs, transform, status);
    // The UCS's origin is world's, so the way back is the transposed rotation.
    const double transposed[kRotationDoubles] = {transform[0], transform[3], transform[6], transform[1], transform[4],
                                                 transform[7], transform[2], transform[5], transform[8]};
    const double origin[3] = {0.0, 0.0, 0.0};
    if (status >= 0) m3crtd(transposed, origin, plane.back, status);
    if (status < 0) return false;
    std::copy(transform, transform + kTransformDoubles, w.plane_transform);
    return true;
}

// The height of the contour's plane in the plane's coordinates: that of its first curve's start.
double contour_depth(const trim_state& w)
{
    int first = 0, status = 0;
    dfdgid(trim_contour().record.data(), first, status);
    double start = 0.0, end = 0.0, world[3] = {}, local[3] = {};
    if (status >= 0) curve_limits(first, start, end, status);
    if (status >= 0) evcrvd(first, start, world, nullptr, status);
    m3vc2d(w.plane_transform, world, local);
    return status >= 0 ? local[2] : 0.0;
}

// Shows the polygon as a polyline: in XY at height 0, or in the contour's plane (mapped back by
// back, at the contour's height) for BY CONTOUR:ANY PLANE.
void show_polygon(const std::vector<double>& polygon, const double* back, double depth)
{
    std::vector<double> points;
    for (std::size_t i = 0; i + 1 < polygon.size(); i += 2) {
        double p[3] = {polygon[i], polygon[i + 1], depth};
        if (back) m3vc2d(back, p, p);
        points.insert(points.end(), {p[0], p[1], p[2]});
    }
    int id = 0, status = 0;
    crcmpl(static_cast<int>(points.size() / 3), points.data(), id, status);
    trim_contour().shown_curve = status >= 0 ? id : -1;
}

void delete_entity(int& id)
{
    int status = 0;
    if (id > 0) edelet(id, status);
    id = -1;
}

// The contour's offset polygon, seen in the work plane set for it (BY CONTOUR:ANY PLANE), or in
// XY. Empty on any failure.
std::vector<double> contour_polygon(float offset, int side)
{
    const trim_state& w = trim_words();
    int sense = 1, oriented = 0;
    cont_to_reg(trim_contour().record.data(), sense, oriented);
    if (oriented < 0) return {};
    float diameter = 0.0f;
    tool_get_mill_diameter(PRM9().words[machine_params::kToolId], diameter);
    const double radius = diameter > 0.0f ? diameter / 2.0 : 0.0;
    const double distance = (side == 1 ? 1.0 : -1.0) * (radius + offset) * sense;
    return offset_polygon(distance, w.contour_tol);
}

}  // namespace

trim_contour_words& trim_contour()
{
    static trim_contour_words words;
    return words;
}

double segment_length(const double* v, int k)
{
    const double* p = v + 2 * (k - 1);
    return std::hypot(p[2] - p[0], p[3] - p[1]);
}

double poly_arc_length(const double* vertices, int n, int a, int b, double ta, double tb)
{
    if (a < 1 || a > n || b < 1 || b > n) return -1.0;
    if (a == b && tb > ta) return (tb - ta) * segment_length(vertices, a);
    const int segments = n - 1;
    int k = a == n ? 1 : a;
    double length = (1.0 - ta) * segment_length(vertices, k);
    if (a == b) return length;
    // At most one round: segment b is met within n - 1 steps.
    for (int step = 0; step < segments; ++step) {
        k = k == segments ? 1 : k + 1;
        if (k == b) return length + tb * segment_length(vertices, k);
        length += segment_length(vertices, k);
    }
    return length;
}

double* trim_contour_offset(float offset, int side, int pick, int& vertex_count, double& perimeter, int& status)
{
    vertex_count = 0;
    perimeter = 0.0;
    status = 0;
    trim_state& w = trim_words();
    const bool any_plane = w.selection_method == kSelectionAnyPlane;
    int saved_words[2] = {0, 0};
    if (any_plane) gswpld(1, saved_words);
    contour_plane plane;
    // The work plane as it was and the view's UCS gone on every way out.
    const give_back restore([&] {
        if (any_plane) gswpld(2, saved_words);
        delete_entity(plane.ucs);
    });
    if (pick == 1) define_contour(status);
    const bool defined = status >= 0 && !trim_contour().record.empty();
    if (!defined || (any_plane && !view_plane(w, plane))) {
        if (status >= 0 || !trim_contour().record.empty()) {
            usmsgc(kCannotOffset);
            status = kFailed;
        }
        return nullptr;
    }
    if (plane.ucs > 0) {
        int in_plane[2] = {plane.ucs, kWorkPlaneOfUcs};
        gswpld(2, in_plane);
    }
    const std::vector<double> polygon = contour_polygon(offset, side);
    if (polygon.size() < 2) {
        usmsgc(kCannotOffset);
        status = kFailed;
        return nullptr;
    }
    show_polygon(polygon, any_plane ? plane.back : nullptr, any_plane ? contour_depth(w) : 0.0);
    auto* out = static_cast<double*>(DM_ALLOC(polygon.size() * sizeof(double)));
    if (!out) {
        usmsgc(kCannotOffset);
        status = kFailed;
        return nullptr;
    }
    std::copy(polygon.begin(), polygon.end(), out);
    vertex_count = static_cast<int>(polygon.size() / 2);
    perimeter = poly_arc_length(out, vertex_count, 1, vertex_count - 1, 0.0, 1.0);
    return out;
}

void trim_contour_release()
{
    trim_contour_words& c = trim_contour();
    delete_entity(c.shown_curve);
    if (c.temporary == 1) delete_entity(c.entity);
    c.temporary = 0;
}
