// The tapered cutter-location front end, least version (see the header). The candidates are the
// triangles of the quadtree whose boxes lie within the cutter's largest radius of the point: a
// triangle farther out lies wholly outside the cutter and cannot be nearer than one under it.
#include "cutter/locpnt_taper_least.hpp"

#include "cutter/kernels/cone_contact.hpp"
#include "cutter/linnet_params_least.hpp"
#include "host/vantu_messages.hpp"
#include "surfaces/qt_geometry_least.hpp"
#include "surfaces/tri_store_least.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
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
// Quadtree walk: depth-first, at most three children left waiting per level.
constexpr int kWalkStack = 4 * kQtLevels + 1;
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

bool box_in_reach(const int* box, const int* at, float reach)
{
    float gap = 0.0f;
    int beyond = 0;
    qt_box_near_dist(box[0], box[1], box[2], box[3], at[0], at[1], reach, gap, beyond);
    return beyond == 0;
}

// The scan's smallest distance and its points.
struct taper_scan {
    const double* cutter;
    double tip_z;        // the given point's height
    double position[3];  // the point with its height lowered by the offset
    float stop_below;
    float best = kStartDistance;
    double points[6] = {};

    bool done() const { return best < stop_below; }

    void hand_over(const float* nodes, const qt_entry& entry)
    {
        double triangle[9];
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) triangle[3 * c + k] = nodes[3 * (entry.nodes[c] - 1) + k];
        const double top = std::max({triangle[2], triangle[5], triangle[8]});
        if (top + cutter[4] < tip_z + kAboveTip) return;
        const int surface_kind = 0;
        double distance = 0.0, pair[6];
        cone_tri_distance(surface_kind, cutter, position, triangle, distance, pair);
        if (!(static_cast<float>(distance) < best)) return;
        best = static_cast<float>(distance);
        std::copy(pair, pair + 6, points);
    }
};

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
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    const int* list = tri_model_list();
    if (nodes == nullptr || entries == nullptr || list == nullptr) {
        eroutc("locpnt_taper, NO TRIANGLE MODEL", 0);
        status = kFailed;
        return;
    }

    taper_scan scan{cutter, point[2], {point[0], point[1], point[2] - cutter[4]}, -kStopFactor * tolerance};
    const float reach = static_cast<float>(cutter[0] / 2 + cutter[2] * std::tan(cutter[3]) + cutter[4]);
    const int at[2] = {to_micrometres(point[0]), to_micrometres(point[1])};
    int stack[kWalkStack];
    int depth = 0;
    if (qt_nodes.nodes[0].subtree > 0) stack[depth++] = 0;
    while (depth > 0 && !scan.done()) {
        const int index = stack[--depth];
        const qt_node& node = qt_nodes.nodes[index];
        if (!box_in_reach(node.box, at, reach)) continue;
        for (int k = 0; k < node.count && !scan.done(); ++k) {
            const qt_entry& entry = entries[list[node.first + k]];
            if (box_in_reach(entry.box, at, reach)) scan.hand_over(nodes, entry);
        }
        for (int c = 4 * index + 1; c <= 4 * index + 4 && c < kQtNodes && depth < kWalkStack; ++c)
            if (qt_nodes.nodes[c].subtree > 0) stack[depth++] = c;
    }

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
