// The step tests of the open-contour check (see the header).
#include "pocket_lanes/moves/open_contour_tests.hpp"

#include "cutter/prj_manager_least.hpp"
#include "cutter/tool_probe.hpp"
#include "host/vantu.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/moves/surface_grid_seams.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/narrowed_mill.hpp"
#include "tools/symbol_geometry.hpp"
#include "tools/tool_accessors.hpp"

#include <array>
#include <cmath>

int open_contour_show_steps = 0;

namespace {

constexpr int kToleranceReach = 3;
constexpr double kStepReachTolerances = 10.0, kContactReachTolerances = 5.0;
constexpr float kDiameterClearances = 10.0f, kCornerClearances = 5.0f;
constexpr double kProbeShareOfRadius = 1.0 / 6.0, kProbeTolerances = 1.1, kLeastProbe = 0.01;
constexpr double kReachSlack = 0.0001;
constexpr int kProbesPerSeries = 6;
constexpr double kLightWeight = 0.1;
constexpr int kContactStepsWithoutRadius = 10;
constexpr double kContactStepsPerRadius = 4.0;
constexpr int kSurfaceTypes[3][2] = {{1, 7}, {2, 2}, {4, 4}};
constexpr int kMaskBits[3] = {1, 2, 4};
constexpr int kPrjItemFirst = 3, kPrjItemOthers = 4;
constexpr int kReadKind = 1, kWriteKind = 2;

int current_tool() { return PRM9().words[machine_params::kToolId]; }

// Shrinks the current tool by the clearance for the test (ten clearances off the diameter, five
// off the corner radius, neither below 0).
void shrink_for_test(narrowed_mill& tool, float clearance)
{
    tool.narrow(std::fmax(tool.diameter() - kDiameterClearances * clearance, 0.0f),
                std::fmax(tool.corner() - kCornerClearances * clearance, 0.0f));
}

struct tool_values {
    double radius = 0.0, taper = 0.0, cut_length = 0.0;
};

tool_values tool_now()
{
    float d = 0.0f, cut = 0.0f, taper = 0.0f;
    tool_get_mill_diameter(current_tool(), d);
    tool_get_cut_length(current_tool(), cut);
    tool_get_taper_angle(current_tool(), taper);
    return {0.5 * std::fmax(d, 0.0f), std::fmax(taper, 0.0f), std::fmax(cut, 0.0f)};
}

// The tool's reach: the taper's spread over the cut length plus the radius, or multiples of the
// working tolerance in reach mode 3.
double tool_reach(double tolerances)
{
    if (proc_geometry().curve_approx.reach_mode == kToleranceReach) return tolerances * pocket_work_block.tolerance;
    const tool_values t = tool_now();
    return std::tan(radd(t.taper)) * t.cut_length + t.radius;
}

bool unit2(double* v)
{
    double length = 0.0;
    int status = 0;
    v2untd(v, length, status);
    return status >= 0;
}

// The element that ends where `element` starts (none for the first; the last on a closed lane).
int previous_element(const pokarr& lane, int element, bool closed)
{
    if (element > 1) return element >= 5 && pk_is_marker(lane.x[element - 4]) ? element - 4 : element - 1;
    if (!closed || lane.count < 2) return 0;
    return lane.count >= 5 && pk_is_marker(lane.x[lane.count - 4]) ? lane.count - 4 : lane.count - 1;
}

// The unit direction at the end of the element in the lane's direction (-1 reversed): a line's
// own, an arc's tangent at its end point.
bool end_direction(const pokarr& lane, int lane_direction, int element, double* d)
{
    const chain_element e = chain_element_at(lane.x, lane.y, lane.count, element);
    if (!e.valid) return false;
    if (e.arc) {
        const double r[2] = {lane.x[e.end] - e.cx, lane.y[e.end] - e.cy};
        d[0] = -e.dir * r[1];
        d[1] = e.dir * r[0];
    } else {
        d[0] = lane.x[e.end] - lane.x[e.start];
        d[1] = lane.y[e.end] - lane.y[e.start];
    }
    if (lane_direction == -1) {
        d[0] = -d[0];
        d[1] = -d[1];
    }
    return unit2(d);
}

// The lane's directions before and after the point; answers how many exist (0 to 2).
int directions_at(const pokarr& lane, int lane_direction, const lane_point_index& index, double* d1, double* d2)
{
    int closed = 0, status = 0;
    const chain_element e = chain_element_at(lane.x, lane.y, lane.count, index.element);
    if (!e.valid) return 0;
    const bool at_start = eqvl0d(index.t) != 0, at_end = eqvald(index.t, 1.0) != 0;
    int count = 0;
    lane_dir_at_point(lane.x, lane.y, lane.count, lane_direction, index.element, at_start ? 0.0 : index.t, d2, closed,
                      status);
    const bool lane_closed = closed != 0;
    bool have_after = status == 0 && !(at_end && !lane_closed && e.next >= lane.count);
    bool have_before = false;
    if (at_start) {
        const int p = previous_element(lane, index.element, lane_closed);
        have_before = p > 0 && end_direction(lane, lane_direction, p, d1);
    } else if (at_end) {
        have_before = end_direction(lane, lane_direction, index.element, d1);
    } else {
        lane_dir_at_point(lane.x, lane.y, lane.count, lane_direction, index.element, index.t, d1, closed, status);
        have_before = status == 0;
    }
    if (have_before)
        ++count;
    else
        d1[0] = d1[1] = 0.0;
    if (have_after)
        ++count;
    else
        d2[0] = d2[1] = 0.0;
    return count;
}

bool convex(const double* d1, const double* d2)
{
    const double cross = v2crsd(d1, d2), dot = v2dotd(d1, d2);
    return cross > 0.0 || (cross > kConvexCross && dot > 0.0);
}

// The normalised mean of the two directions and the reach stretched by 1 / cos of half their
// angle; false when the mean has no length.
bool mean_direction(const double* d1, const double* d2, double reach, double* mean, double& stretched)
{
    mean[0] = d1[0] + d2[0];
    mean[1] = d1[1] + d2[1];
    if (!unit2(mean)) return false;
    const double half = 0.5 * calvan(d1, d2);
    stretched = reach / std::cos(half);
    return true;
}

// Whether the tool probing from p along dir meets the part within the reach: grid first, then
// the contact routine. Status negative when the contact routine fails (that blocks).
int probe_blocked(const double* p, double z, const double* dir, double reach)
{
    const double to[2] = {p[0] + reach * dir[0], p[1] + reach * dir[1]};
    int grid = 1;
    surface_grid_seam_table().grid_segment_test(p, to, z, grid);
    if (grid == 0) return 0;
    const double from3[3] = {p[0], p[1], z}, to3[3] = {to[0], to[1], z};
    double contact[3] = {0.0, 0.0, 0.0}, normal[3] = {0.0, 0.0, 1.0};
    int status = 0;
    tool_probe_table().tool_contact_point_dbl(from3, to3, z, contact, normal, status);
    if (status < 0) return 1;
    if (status != 0) return 0;
    const double v[2] = {contact[0] - p[0], contact[1] - p[1]};
    if (v2dotd(v, dir) < 0.0) return 1;
    return std::hypot(v[0], v[1]) < reach + kReachSlack ? 1 : 0;
}

// The probe of one direction: without a taper from the point itself when the tool stands free
// there; with a taper from the first free point of the two probe series. blocked as the Part's
// flag; status kStepOnPart when the tool cannot stand free, negative when a test fails.
void probe_direction(const double* p, double z, const double* dir, double reach, double a, double b, bool tapered,
                     int& blocked, int& status)
{
    status = 0;
    blocked = 0;
    if (!tapered) {
        const double at[3] = {p[0], p[1], z};
        int touch = 0;
        tool_probe_table().tool_point_touch_test_dbl(at, touch, status);
        if (status < 0) return;
        if (status == 0) {
            blocked = probe_blocked(p, z, dir, reach);
            return;
        }
        blocked = touch == 0 ? 1 : 0;
        if (touch != 0)
            status = kStepOnPart;
        else
            status = 0;
        return;
    }
    for (const double first : {-a, b}) {
        double offset = first;
        for (int k = 0; k < kProbesPerSeries; ++k, offset *= 0.5) {
            const double at[3] = {p[0] + offset * dir[0], p[1] + offset * dir[1], z};
            int touch = 0;
            tool_probe_table().tool_point_touch_test_dbl(at, touch, status);
            if (status != 0) continue;
            blocked = probe_blocked(at, z, dir, reach);
            return;
        }
    }
    status = kStepOnPart;
}

}  // namespace

void open_contour_step_test(const pokarr& lane, int lane_direction, double x, double y, double z,
                            const lane_point_index& index, int& corner_kind, double* before, double* after,
                            int& blocked, int& status)
{
    status = 0;
    blocked = 0;
    const double p[2] = {x, y};
    if (open_contour_show_steps != 0) {
        int id = -1, shown = 0;
        const float at[3] = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
        GCPT0(id, at, shown);
        if (shown == 0) edisp(id, 1, shown);
    }
    before[0] = before[1] = after[0] = after[1] = 0.0;
    narrowed_mill shrunk;
    shrink_for_test(shrunk, proc_geometry().curve_approx.clearance);
    const tool_values tool = tool_now();
    const double tolerance_probe = kProbeTolerances * pocket_work_block.tolerance;
    double a = std::fmin(tool.radius * kProbeShareOfRadius, tolerance_probe);
    const double b = std::fmax(tool.radius * kProbeShareOfRadius, tolerance_probe);
    if (a <= kLeastProbe) a = kLeastProbe;
    double reach = tool_reach(kStepReachTolerances);
    double d1[2] = {0.0, 0.0}, d2[2] = {0.0, 0.0};
    const int count = directions_at(lane, lane_direction, index, d1, d2);
    double dir[2] = {d2[0], d2[1]};
    if (count < 1) return;
    if (count < 2) {
        if (d2[0] == 0.0 && d2[1] == 0.0) {
            dir[0] = d1[0];
            dir[1] = d1[1];
        }
        corner_kind = kCornerDone;
    }
    bool convex_corner = false;
    int chosen = -1;
    if (count == 2) {
        if (convex(d1, d2)) {
            corner_kind = kCornerMean;
            convex_corner = true;
        }
        chosen = corner_kind;
        if (corner_kind == kCornerAfter) {
            corner_kind = kCornerMean;
        } else if (corner_kind == kCornerMean) {
            double stretched = reach;
            if (mean_direction(d1, d2, reach, dir, stretched)) {
                reach = stretched;
                corner_kind = kCornerBefore;
            } else {
                dir[0] = d2[0];
                dir[1] = d2[1];
                corner_kind = kCornerDone;
            }
        } else if (corner_kind == kCornerBefore) {
            dir[0] = d1[0];
            dir[1] = d1[1];
            corner_kind = kCornerDone;
        } else {
            ++corner_kind;
        }
        if ((corner_kind == kCornerMean || corner_kind == kCornerDone) && eqvl0d(v2dotd(d1, d2)) != 0 &&
            (chosen == kCornerAfter || chosen == kCornerBefore)) {
            const double w2 = chosen == kCornerAfter ? kLightWeight : 1.0;
            const double w1 = chosen == kCornerAfter ? 1.0 : kLightWeight;
            dir[0] = w2 * d2[0] + w1 * d1[0];
            dir[1] = w2 * d2[1] + w1 * d1[1];
            unit2(dir);
        }
    }
    const bool tapered = tool.taper > 0.0f;
    probe_direction(p, z, dir, reach, a, b, tapered, blocked, status);
    if (status == 0 && blocked == 0 && count == 2) {
        double mean[2], stretched = reach;
        probe_direction(p, z, d2, reach, a, b, tapered, blocked, status);
        if (status == 0 && blocked == 0 && mean_direction(d1, d2, reach, mean, stretched))
            probe_direction(p, z, mean, stretched, a, b, tapered, blocked, status);
    }
    if (count == 2) {
        before[0] = d1[0];
        before[1] = d1[1];
        after[0] = d2[0];
        after[1] = d2[1];
        double mean[2], stretched = 0.0;
        if (corner_kind == kCornerMean) {
            before[0] = d2[0];
            before[1] = d2[1];
        } else if (corner_kind == kCornerBefore) {
            if (mean_direction(d1, d2, reach, mean, stretched)) {
                before[0] = mean[0];
                before[1] = mean[1];
            } else {
                before[0] = d2[0];
                before[1] = d2[1];
            }
        }
    } else {
        before[0] = d1[0];
        before[1] = d1[1];
        after[0] = d2[0];
        after[1] = d2[1];
    }
    if (convex_corner) corner_kind = kCornerDone;
}

void open_contour_contact(const double* a, const double* b, const double* direction, double height, double* found,
                          int& status)
{
    status = 0;
    found[0] = b[0];
    found[1] = b[1];
    double best = (a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]);
    if (best == 0.0) return;
    const double reach = tool_reach(kContactReachTolerances);
    const double radius = tool_now().radius;
    const int steps =
        radius > 0.0 ? static_cast<int>(kContactStepsPerRadius * reach / radius) : kContactStepsWithoutRadius;
    const double step = reach / 3.0;
    double from[3] = {a[0], a[1], height}, to[3] = {b[0], b[1], height};
    double travelled = 0.0;
    for (int k = 0; k < steps; ++k) {
        double contact[3] = {0.0, 0.0, 0.0}, normal[3] = {0.0, 0.0, 1.0};
        int result = 0;
        tool_probe_table().tool_contact_point_dbl(from, to, height, contact, normal, result);
        if (result == 0) {
            const double d2 = (contact[0] - a[0]) * (contact[0] - a[0]) + (contact[1] - a[1]) * (contact[1] - a[1]);
            // The contact moved back by the offset travelled, against the probe's own end.
            double back[2] = {b[0] - (contact[0] - travelled * direction[0]),
                              b[1] - (contact[1] - travelled * direction[1])};
            const bool ahead = !unit2(back) || v2dotd(back, direction) >= 0.0;
            if (d2 < best && ahead) {
                best = d2;
                found[0] = contact[0];
                found[1] = contact[1];
            }
        }
        for (double* p : {from, to}) {
            p[0] += step * direction[0];
            p[1] += step * direction[1];
        }
        travelled += step;
    }
}

void pick_list_of_type(const int* surfaces, int type, int& result)
{
    result = -1;
    for (int k = 0; k < 3; ++k) {
        if (type != kSurfaceTypes[k][0] && type != kSurfaceTypes[k][1]) continue;
        if (surfaces[k] < 1) return;
        int value = -1;
        if (srf_state_access(kReadKind, surfaces[k], value, 0) < 0) return;
        result = value;
        return;
    }
}

void set_lists_attribute(const int* surfaces, int mask, int value)
{
    for (int k = 0; k < 3; ++k) {
        if ((mask & kMaskBits[k]) == 0 || surfaces[k] <= 0) continue;
        int kind = value;
        srf_state_access(kWriteKind, surfaces[k], kind, 0);
        if (prj_manager_active() != 0) prj_turn_on_off(k == 0 ? kPrjItemFirst : kPrjItemOthers, value);
    }
}
