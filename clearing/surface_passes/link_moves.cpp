// The moves of a pass link (see the header).
#include "clearing/surface_passes/link_moves.hpp"

#include "clearing/surface_passes/link_arrays.hpp"
#include "cutter/surface_height_at_point.hpp"
#include "cutter/tool_probe.hpp"
#include "nc_services/mill_services.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/srf_switches_least.hpp"
#include "pocket/lane_arc_points.hpp"
#include "surfaces/tri_store_least.hpp"
#include "toolpath/machine_table.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kQuarterTurn = 0.5 * std::numbers::pi;
// The drops along the checked line are spaced by the chord whose sagitta is this (mm) on the link
// radius: a bump narrower than that between two drops stays under the line. A radius below it
// samples as at this radius, so a link radius of 0 still samples at 0.02.
constexpr double kDropSagitta = 0.01;
// The ends of the checked line are pushed outwards by this many tolerances plus twice the radius:
// the arcs of modes 1 and 2 and the loop reach 2R beyond their ends.
constexpr double kEndPushTolerances = 5.0;
// The search for the highest drop along a line: faces steeper than kSteepestSlope (about 84
// degrees) count as that steep, stretches narrower than kNarrowestStretch are not halved again,
// and no more than kMostDrops drops are added to the spaced ones.
constexpr double kSteepestSlope = 10.0;
constexpr double kNarrowestStretch = 1e-3;
constexpr int kMostDrops = 20000;

struct plane_dir {
    double x = 0.0, y = 0.0;  // horizontal unit direction; 0 for coinciding points
};

plane_dir plane_direction(const point3& from, const point3& to)
{
    const double dx = static_cast<double>(to[0]) - from[0], dy = static_cast<double>(to[1]) - from[1];
    const double length = std::hypot(dx, dy);
    if (length == 0.0) return {};
    return {dx / length, dy / length};
}

double plane_distance(const point3& a, const point3& b)
{
    return std::hypot(static_cast<double>(b[0]) - a[0], static_cast<double>(b[1]) - a[1]);
}

point3 at(const point3& base, const plane_dir& u, double along, double z)
{
    return {static_cast<float>(base[0] + along * u.x), static_cast<float>(base[1] + along * u.y),
            static_cast<float>(z)};
}

double link_radius() { return std::max(0.0, static_cast<double>(proc_geometry().curve_approx.link_radius)); }

}  // namespace

double link_tool_diameter()
{
    float d = 0.0f;
    mill_service_table().tool_get_mill_diameter(PRM9().words[machine_params::kToolId], d);
    return std::max(0.0f, d);
}

namespace {

// Every piece of the move projected with the tool: true when none meets the part.
bool move_is_free(const point3* points, int count)
{
    for (int i = 0; i + 1 < count; ++i) {
        if (points[i] == points[i + 1]) continue;
        point3 contact{}, normal{};
        int result = 0;
        tool_probe_table().tool_project_point(points[i].data(), points[i + 1].data(), contact.data(), normal.data(),
                                              result);
        if (result != kProjectFree && result != kProjectNoMove) return false;
    }
    return true;
}

// The tip of the tool dropped onto the part at `along` from `from` on the line of direction u;
// kNoDrop where it meets nothing.
double drop_along(const point3& from, const plane_dir& u, double along)
{
    const point3 p = at(from, u, along, from[2]);
    float normal[3], touched[3], height = 0.0f;
    int entity = 0, status = 0;
    surface_height_at_point(0, p.data(), proc_geometry().curve_approx.tolerance, 0.0f, 0.0f, normal, touched, height,
                            entity, status);
    return status == kHeightFound ? static_cast<double>(height) : kNoDrop;
}

// The steepest slope (rise over run) of the triangle model's faces, capped at kSteepestSlope; 0
// when no model is held. The drop of any tool onto a surface without holes whose faces are no
// steeper than that rises no faster than that along a line: for each place under the tool, the
// height less the tool's profile there moves with the surface.
double steepest_slope()
{
    const qt_entry* entries = tri_model_entries();
    double steepest = 0.0;
    for (int k = 0; entries != nullptr && k < tri_store_block.entry_count; ++k) {
        const double up = entries[k].normal[2];
        const double across = std::hypot(entries[k].normal[0], entries[k].normal[1]);
        steepest = std::max(steepest, up * kSteepestSlope > across ? across / up : kSteepestSlope);
    }
    return steepest;
}

// A stretch of the line between two drops, and the most the drop may reach between them.
struct drop_stretch {
    double low, at_low, high, at_high;
};

double stretch_bound(const drop_stretch& s, double slope)
{
    if (s.at_low == kNoDrop || s.at_high == kNoDrop) return std::max(s.at_low, s.at_high) + slope * (s.high - s.low);
    return 0.5 * (s.at_low + s.at_high + slope * (s.high - s.low));
}

}  // namespace

double highest_drop(const point3& from, const point3& to, double spacing)
{
    const double length = plane_distance(from, to);
    const int n = 1 + static_cast<int>(length / std::max(spacing, kDropSagitta));
    const plane_dir u = plane_direction(from, to);
    std::vector<drop_stretch> open;
    double highest = drop_along(from, u, 0.0);
    for (int i = 1; i <= n; ++i) {
        const double low = length * (i - 1) / n, high = length * i / n;
        const double at_high = drop_along(from, u, high);
        open.push_back({low, i == 1 ? highest : open.back().at_high, high, at_high});
        highest = std::max(highest, at_high);
    }
    // Stretches whose drop could rise more than kDropSagitta over the highest found are halved
    // until none could, or they are kNarrowestStretch wide, or kMostDrops were taken.
    const double slope = steepest_slope();
    for (int drops = 0; !open.empty() && drops < kMostDrops;) {
        const drop_stretch s = open.back();
        open.pop_back();
        if (s.high - s.low < kNarrowestStretch || stretch_bound(s, slope) <= highest + kDropSagitta) continue;
        const double middle = 0.5 * (s.low + s.high), at_middle = drop_along(from, u, middle);
        ++drops;
        highest = std::max(highest, at_middle);
        open.push_back({s.low, s.at_low, middle, at_middle});
        open.push_back({middle, at_middle, s.high, s.at_high});
    }
    return highest;
}

projection_on::projection_on()
{
    int status = 0;
    srf_state_2_to_4(status);
}

projection_on::~projection_on()
{
    int status = 0;
    srf_state_4_to_2(status);
}

int link_arc_steps(double sweep, double radius, double tolerance, int least)
{
    int steps = 1;
    if (radius > 0.0) {
        const double half = 0.5 * arc_step_angle(tolerance, radius);
        steps = 1 + static_cast<int>(std::min(sweep / (2.0 * half), 1.0e6));
    }
    return std::max(steps, least);
}

void link_gouge_lift(point3* points, int count, const point3& a, const point3& b, int side, int kind, int& status)
{
    status = kMoveStands;
    const projection_on projection;
    if (move_is_free(points, count)) return;
    const double tolerance = proc_geometry().curve_approx.tolerance;
    const double radius = link_radius();
    const double push = kEndPushTolerances * tolerance + 2.0 * radius;
    const bool push_a = kind == 1 || kind == 2 || (kind == 3 && side == 1);
    const bool push_b = kind == 1 || kind == 2 || (kind == 3 && side != 1);
    const plane_dir u = plane_direction(a, b);
    const double height = std::max(a[2], b[2]);
    const point3 from = at(a, u, push_a ? -push : 0.0, height);
    const point3 to = at(b, u, push_b ? push : 0.0, height);
    // Drops spaced by the chord whose sagitta is kDropSagitta on the link radius.
    const double chord_radius = std::max(radius, kDropSagitta);
    const double chord = 2.0 * chord_radius * std::sin(0.5 * arc_step_angle(kDropSagitta, chord_radius));
    const double highest = highest_drop(from, to, chord);
    const double need = highest - height + 2.0 * tolerance;
    if (highest == kNoDrop || need <= 0.0) return;
    const double lift = need + 0.5 * link_tool_diameter();
    const double clearance = HEI8().real(heights_state::kClearance);
    for (int i = 0; i < count; ++i) {
        const double raised = points[i][2] + lift;
        if (std::min(raised, clearance) < points[i][2] + need) {
            status = kMoveRefused;
            return;
        }
    }
    for (int i = 0; i < count; ++i) points[i][2] = static_cast<float>(std::min(points[i][2] + lift, clearance));
    status = kMoveLifted;
}

void link_arc_lifted(int mode, const point3& a, const point3& b, float tolerance, point3*& points, int& count,
                     int& status)
{
    count = 0;
    const int turns = mode == 0 ? 1 : 3;
    const double radius = mode == 0 ? std::min(link_radius(), 0.5 * plane_distance(a, b)) : link_radius();
    const int n = link_arc_steps(turns * kQuarterTurn, radius, tolerance, 4 * turns);
    link_array_get(kLinkMove, 2 * n + 4, points, status);
    if (status < 0) return;
    const double top = std::max(a[2], b[2]) + (mode == 0 ? 0.0 : radius);
    const plane_dir u = mode == 1 ? plane_direction(b, a) : plane_direction(a, b);
    points[0] = a;
    for (int i = 0; i <= n; ++i) {
        const double t = i * turns * kQuarterTurn / n;
        points[1 + i] = at(a, u, radius - radius * std::cos(t), top + radius * std::sin(t));
    }
    for (int i = n; i >= 0; --i) {
        const double t = i * turns * kQuarterTurn / n;
        points[2 * n + 2 - i] = at(b, u, -radius + radius * std::cos(t), top + radius * std::sin(t));
    }
    points[2 * n + 3] = b;
    count = 2 * n + 4;
    link_gouge_lift(points, count, a, b, -1, mode, status);
}

void link_loop_move(int mode, const point3& a, const point3& b, float tolerance, point3*& points, int& count,
                    int& status)
{
    count = 0;
    const double radius = link_radius();
    const int n = link_arc_steps(kQuarterTurn, radius, tolerance, 4);
    const int m = link_arc_steps(2.0 * kQuarterTurn, radius, tolerance, 8);
    link_array_get(kLinkMove, 4 * n + 10, points, status);
    if (status < 0) return;
    const point3& start = mode == 2 ? b : a;
    const point3& end = mode == 2 ? a : b;
    const double z0 = std::max(a[2], b[2]);
    const plane_dir v = plane_direction(start, end);
    const double d = plane_distance(a, b);
    int k = 0;
    points[k++] = start;
    for (int i = 0; i <= n; ++i) {
        const double t = i * kQuarterTurn / n;
        points[k++] = at(start, v, -radius + radius * std::cos(t), z0 + radius * std::sin(t));
    }
    for (int i = m; i >= 0; --i) {
        const double t = kQuarterTurn + i * 2.0 * kQuarterTurn / m;
        points[k++] = at(start, v, -radius + radius * std::cos(t), z0 + 2.0 * radius + radius * std::sin(t));
    }
    points[k] = at(points[k - 1], v, d, points[k - 1][2]);
    ++k;
    for (int i = n; i >= 0; --i) {
        const double t = i * kQuarterTurn / n;
        points[k++] = at(start, v, -radius + d + radius * std::cos(t), z0 + 2.0 * radius + radius * std::sin(t));
    }
    points[k++] = end;
    count = k;
    if (mode == 2) std::reverse(points, points + count);
    link_gouge_lift(points, count, a, b, mode, 3, status);
}
