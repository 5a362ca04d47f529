// The moves of a pass link (see the header).
#include "clearing/surface_passes/link_moves.hpp"

#include "clearing/surface_passes/link_arrays.hpp"
#include "cutter/drop_front.hpp"
#include "cutter/tool_probe.hpp"
#include "cutter/tool_push.hpp"
#include "nc_services/linnet_params_least.hpp"
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

namespace {

constexpr double kQuarterTurn = 0.5 * std::numbers::pi;
// The highest drop along a line is bounded to within this (mm).
constexpr double kDropTolerance = 0.01;
// The ends of the checked line are pushed outwards by this many tolerances plus twice the radius:
// the arcs of modes 1 and 2 and the loop reach 2R beyond their ends.
constexpr double kEndPushTolerances = 5.0;
// The most pushes of the tool along one line: the rise doubles from kDropTolerance, so 60 reach
// far past any part, and the halving of the gap after them takes fewer still.
constexpr int kMostPushes = 200;

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

// The higher of `floor` and the tip of the tool dropped onto the part at `along` from `from` on
// the line of direction u (the drop skips every part of the model lower than the floor).
double drop_above(const point3& from, const plane_dir& u, double along, double floor)
{
    const point3 p = at(from, u, along, from[2]);
    float tip[3], normal[3];
    int status = 0;
    tool_drop_z_above(p.data(), static_cast<float>(floor), tip, normal, status);
    return status == 0 ? std::max(floor, static_cast<double>(tip[2])) : floor;
}

}  // namespace

double highest_drop(const point3& from, const point3& to)
{
    if (!tri_model_held()) return kNoDrop;
    const double length = plane_distance(from, to);
    const plane_dir u = plane_direction(from, to);
    // Drops a tool's diameter apart at most, both ends included: the highest of them lies near the
    // highest drop, and the pushes start there.
    const double spacing = std::max(static_cast<double>(linnet_params_block.diameter), kDropTolerance);
    const int n = 1 + static_cast<int>(std::min(length / spacing, 1.0e6));
    double highest = kNoDrop;
    for (int i = 0; i <= n; ++i) highest = drop_above(from, u, length * i / n, highest);
    // The tool pushed level along the line: where it touches the part, the drop there (at least the
    // push's height) raises the highest found, and the next push goes on from that point, since
    // the way behind it lies lower. The pushes climb by a rise that doubles until one reaches the
    // line's end untouched (`free`: no drop on the way is that high), then halve the gap between
    // the highest found and the lowest free height until it is no more than kDropTolerance.
    double free = HUGE_VAL, rise = kDropTolerance, along = 0.0;
    for (int pushes = 0; pushes < kMostPushes && free > static_cast<float>(highest + kDropTolerance); ++pushes) {
        const float height = static_cast<float>(free == HUGE_VAL ? highest + rise : 0.5 * (highest + free));
        const point3 start = at(from, u, along, height);
        push_stop stop{};
        int status = 0;
        tool_push_level("highest_drop", start.data(), to.data(), height, stop, status);
        if (status == kPushContact) {
            along += stop.travel;
            highest = drop_above(from, u, along, std::max(highest, static_cast<double>(height)));
            rise *= 2.0;
        } else if (status == kPushFree || status == kPushNoMove) {
            free = height;
        } else {
            break;
        }
    }
    return free == HUGE_VAL || highest == kNoDrop ? highest : free;
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
    const double highest = highest_drop(from, to);
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
