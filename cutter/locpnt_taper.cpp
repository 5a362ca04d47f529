// The tapered cutter-location front end (see the header). The candidates are the
// triangles of the quadtree whose boxes lie within the cutter's largest radius of the point: a
// triangle farther out lies wholly outside the cutter and cannot be nearer than one under it
// that enters it.
#include "cutter/locpnt_taper.hpp"

#include "cutter/kernels/cone_contact.hpp"
#include "cutter/taper_depth_bound.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "surfaces/qt_geometry.hpp"
#include "surfaces/tri_store_least.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr int kFound = 0;
constexpr int kNothingNearer = 1;
constexpr int kFailed = -1;
constexpr int kTaperedBall = 0, kOtherCutter = 1;
constexpr float kStartDistance = 1000.0f;
// A triangle is handed over only when its highest corner lies this far above the offset tip.
constexpr double kAboveTip = 1.0e-6;
// The scan stops once the distance is below this multiple of minus the tolerance.
constexpr float kStopFactor = 10.0f;
// A triangle is skipped as wholly below the cutter when its top lies this far below the cutter's
// lowest point over the nearest point of its box, taken this much nearer the axis (the box is
// in micrometres, the point rounded to them).
constexpr double kBelowCutter = 1.0e-6;
constexpr float kGapRounding = 2.0e-3f;
// Allowance for rounding in the bound on how deep a triangle can enter the cutter.
constexpr double kDepthSlack = 1.0e-6;
// Allowance for rounding in a triangle's plan distance from the axis (computed in double from
// corners in single precision, so its error is far smaller).
constexpr double kPlanSlack = 1.0e-9;
// Candidates gathered before they are sorted and handed over.
constexpr int kPending = 256;
constexpr double kMicrometresPerMillimetre = 1000.0;

int to_micrometres(double value)
{
    const double um = std::nearbyint(value * kMicrometresPerMillimetre);
    return static_cast<int>(std::clamp(um, static_cast<double>(INT_MIN / 2), static_cast<double>(INT_MAX / 2)));
}

bool cutter_possible(const double* c)
{
    for (int k = 0; k < 5; ++k)
        if (!std::isfinite(c[k])) return false;
    return c[0] > 0.0 && c[1] >= 0.0 && c[2] >= 0.0 && c[3] >= 0.0 && c[3] < std::numbers::pi / 2 &&
           c[0] / 2 + c[4] > 0.0 && c[1] + c[4] >= 0.0;
}

bool box_in_reach(const int* box, const int* at, float reach, float& gap)
{
    int beyond = 0;
    qt_box_near_dist(box[0], box[1], box[2], box[3], at[0], at[1], reach, gap, beyond);
    return beyond == 0;
}

// The height of the grown cutter's lowest point at plan distance rho from its axis, never above
// the true one: the flat bottom, the corner arc, then the flank's line (the corner and the rim
// lie above it, the cutter being convex); infinite beyond the cylinder. A cutter whose cut ends
// inside its corner arc is only bounded by its bottom.
double lowest_height(const cone_cutter_model& m, double rho)
{
    if (rho > m.cylinder_radius) return std::numeric_limits<double>::infinity();
    const double out = rho - m.c18, arc_end = m.rc * m.cos_a, tangent_height = m.rc * (1 - m.sin_a);
    const bool cut_inside_arc = m.cutter_class == kConeTapered && m.top < tangent_height;
    if (out <= 0.0 || cut_inside_arc) return 0.0;
    if (out <= arc_end) return m.rc - std::sqrt(std::max(0.0, m.rc * m.rc - out * out));
    return m.tan_a > 0.0 ? tangent_height + (out - arc_end) / m.tan_a : 0.0;
}

// Whether the bound keeps a triangle from lying deeper than `depth` (minus the distance found)
// when its points lie at least `near` from the axis in plan: never when the depth is within the
// bound's floor.
bool ruled_out(const taper_depth_bound& bound, double top, double near, double depth)
{
    return depth > bound.floor() + kDepthSlack && bound.at(top, std::max(0.0, near)) + kDepthSlack <= depth;
}

// A triangle in reach: its highest corner and the plan distance of its box from the axis.
struct taper_candidate {
    double top;
    float gap;
    int entry;
};

// The scan's smallest distance and its points. A triangle lying wholly below the cutter's lowest
// points cannot enter it and gives a positive distance: those are handed over only when no
// other triangle entered the cutter. The others go highest first, and no point of a triangle
// lies deeper in the cutter than its highest corner lies above the cutter's lowest point, so once
// the distance is below minus that height no later triangle can be nearer; a triangle that
// the depth bound keeps from entering deeper than the distance found, at its box's plan distance
// from the axis or else at its own, is skipped.
struct taper_scan {
    taper_scan(const double* cutter_values, const float* point, float tolerance)
        : cutter(cutter_values), tip_z(point[2]), position{point[0], point[1], point[2] - cutter_values[4]},
          stop_below(-kStopFactor * tolerance), depth(cone_state_block.model)
    {}

    const double* cutter;
    double tip_z;        // the given point's height
    double position[3];  // the point with its height lowered by the offset
    float stop_below;
    taper_depth_bound depth;  // the cutter's model is loaded before the scan starts
    float best = kStartDistance;
    double points[6] = {};
    taper_candidate pending[kPending] = {};
    int pending_count = 0;

    bool done() const { return best < stop_below; }

    void add(const float* nodes, const qt_entry* entries, int entry, float gap)
    {
        const qt_entry& e = entries[entry];
        const double top = std::max({nodes[3 * e.nodes[0] - 1], nodes[3 * e.nodes[1] - 1], nodes[3 * e.nodes[2] - 1]});
        if (top + cutter[4] < tip_z + kAboveTip) return;
        if (pending_count == kPending) flush(nodes, entries);
        pending[pending_count++] = {top, gap, entry};
    }

    void flush(const float* nodes, const qt_entry* entries)
    {
        const cone_cutter_model& model = cone_state_block.model;
        taper_candidate* const end = pending + pending_count;
        taper_candidate* const below = std::partition(pending, end, [&](const taper_candidate& c) {
            return !(c.top + kBelowCutter < position[2] + lowest_height(model, c.gap - kGapRounding));
        });
        auto highest_first = [](const taper_candidate& a, const taper_candidate& b) { return a.top > b.top; };
        std::sort(pending, below, highest_first);
        hand_over_range(nodes, entries, pending, below);
        if (best > 0.0f) {
            std::sort(below, end, highest_first);
            hand_over_range(nodes, entries, below, end);
        }
        pending_count = 0;
    }

    void hand_over_range(const float* nodes, const qt_entry* entries, const taper_candidate* from,
                         const taper_candidate* to)
    {
        for (const taper_candidate* c = from; c != to && !done(); ++c) {
            if (position[2] - c->top - kDepthSlack >= best) return;
            const double top = c->top - position[2], deepest = -static_cast<double>(best);
            if (ruled_out(depth, top, static_cast<double>(c->gap) - kGapRounding, deepest)) continue;
            const qt_entry& entry = entries[c->entry];
            double triangle[9];
            for (int n = 0; n < 3; ++n)
                for (int i = 0; i < 3; ++i) triangle[3 * n + i] = nodes[3 * (entry.nodes[n] - 1) + i];
            // The box lies nearer the axis than the triangle, often around it beside the axis. Its
            // own distance is measured only when the bound at its nearest corner's would skip it.
            if (ruled_out(depth, top, nearest_corner(triangle), deepest) &&
                ruled_out(depth, top, plan_distance_to_triangle(triangle, position[0], position[1]) - kPlanSlack,
                          deepest))
                continue;
            hand_over(triangle);
        }
    }

    // The plan distance of the triangle's nearest corner from the axis: the triangle's nearest
    // point lies no farther, and the bound grows as the distance shrinks.
    double nearest_corner(const double* triangle) const
    {
        double squared = std::numeric_limits<double>::infinity();
        for (int n = 0; n < 3; ++n) {
            const double dx = triangle[3 * n] - position[0], dy = triangle[3 * n + 1] - position[1];
            squared = std::min(squared, dx * dx + dy * dy);
        }
        return std::sqrt(squared);
    }

    void hand_over(const double* triangle)
    {
        const int surface_kind = 0;
        double distance = 0.0, pair[6];
        cone_tri_distance(surface_kind, cutter, position, triangle, distance, pair);
        if (!(static_cast<float>(distance) < best)) return;
        best = static_cast<float>(distance);
        std::copy(pair, pair + 6, points);
    }
};

// The kernel's model of the cutter: set up again only when the kernel holds other values.
void load_cutter(const double* cutter)
{
    const cone_state& s = cone_state_block;
    if (s.loaded != 0 && std::equal(cutter, cutter + 5, s.cutter)) return;
    cone_contact_setup(cutter);
}

}  // namespace

int cone_contact_setup(const double* cutter)
{
    cone_state& s = cone_state_block;
    std::copy(cutter, cutter + 5, s.cutter);
    cone_engine_setup();
    return s.model.cutter_class == kConeTapered && s.model.taper_class == kTaperBallLow ? kTaperedBall : kOtherCutter;
}

void locpnt_taper(const float* point, const float& tolerance, float& distance, float* cutter_point,
                  float* triangle_point, float* direction, int& status)
{
    const linnet_params& lp = linnet_params_block;
    const double cutter[5] = {lp.diameter, lp.corner_radius, lp.cut_length, lp.taper, lp.surface_offsets[0]};
    if (!cutter_possible(cutter) || !std::isfinite(point[0]) || !std::isfinite(point[1]) || !std::isfinite(point[2])) {
        eroutc("locpnt_taper, WRONG CUTTER", 0);
        status = kFailed;
        return;
    }
    tri_model_arrays model;
    if (!tri_model_arrays_get("locpnt_taper", model)) {
        status = kFailed;
        return;
    }
    const float* nodes = model.nodes;
    const qt_entry* entries = model.entries;
    const int* list = model.list;

    load_cutter(cutter);
    taper_scan scan(cutter, point, tolerance);
    const float reach = static_cast<float>(cutter[0] / 2 + cutter[2] * std::tan(cutter[3]) + cutter[4]);
    const int at[2] = {to_micrometres(point[0]), to_micrometres(point[1])};
    qt_walk(
        [&](const qt_node& node) {
            float gap = 0.0f;
            return box_in_reach(node.box, at, reach, gap);
        },
        [&](const qt_node& node) {
            for (int k = 0; k < node.count; ++k) {
                const int entry = list[node.first + k];
                float gap = 0.0f;
                if (box_in_reach(entries[entry].box, at, reach, gap)) scan.add(nodes, entries, entry, gap);
            }
            return !scan.done();
        });
    scan.flush(nodes, entries);

    distance = scan.best;
    if (!(scan.best < kStartDistance)) {
        status = kNothingNearer;
        return;
    }
    const double* p = scan.points;
    double along[3] = {p[0] - p[3], p[1] - p[4], p[2] - p[5]};
    const double norm = std::sqrt(along[0] * along[0] + along[1] * along[1] + along[2] * along[2]);
    for (int k = 0; k < 3; ++k) {
        cutter_point[k] = static_cast<float>(p[k]);
        triangle_point[k] = static_cast<float>(p[3 + k]);
        direction[k] = norm > 0.0 ? static_cast<float>(along[k] / norm) : (k == 2 ? 1.0f : 0.0f);
    }
    status = kFound;
}
