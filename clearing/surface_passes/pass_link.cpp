// The link of one pass of surface points to the next (see the header).
#include "clearing/surface_passes/pass_link.hpp"

#include "clearing/surface_passes/deferred_strings.hpp"
#include "clearing/surface_passes/link_arrays.hpp"
#include "clearing/surface_passes/link_moves.hpp"
#include "cutter/drop_front.hpp"
#include "host/vantu.hpp"
#include "nc_services/coord_in_display_units.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/updown_buffers.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr int kEntryMode = 1, kLinkMode = 2;
constexpr int kFittedSplines = 1;
// The arcs and the move are built within this many tolerances; the fit of the written move within
// twice that.
constexpr double kArcTolerances = 5.0, kFitTolerances = 10.0;
// Message 392 of group 60: the arc at a string end was reduced to the end point.
constexpr int kArcMessageGroup = 60, kArcMessage = 392;
// The motion codes of every written link string: start marker, end marker, bracket.
constexpr std::array<int, 3> kLinkMotionCodes{15, 16, 8};
// Points asked for when an arc is replaced by its end point.
constexpr int kEndPointRoom = 50;
constexpr int kLeastArcSteps = 4, kArcRoomExtra = 10;

bool wire_function()
{
    const int code = nu_sgcd_get_code();
    return code == 34 || code == 38;
}

using vec3 = std::array<double, 3>;

vec3 unit(const vec3& v)
{
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {v[0] / length, v[1] / length, v[2] / length};
}

// The frame of an arc at a string end: the unit direction d of the end, the upward perpendicular w
// in the vertical plane through d, and the angle phi between d and the vertical. False at a
// vertical end (or an end of no length), where there is no such plane.
struct end_frame {
    vec3 d{}, w{};
    double phi = 0.0;
};

bool end_frame_of(const point3& p_far, const point3& p_end, end_frame& f)
{
    const vec3 step = {static_cast<double>(p_end[0]) - p_far[0], static_cast<double>(p_end[1]) - p_far[1],
                       static_cast<double>(p_end[2]) - p_far[2]};
    if (step[0] == 0.0 && step[1] == 0.0) return false;
    f.d = unit(step);
    const double h = std::hypot(f.d[0], f.d[1]);
    if (h == 0.0) return false;
    f.w = unit({-f.d[2] * f.d[0] / h, -f.d[2] * f.d[1] / h, h});
    f.phi = std::acos(std::clamp(f.d[2], -1.0, 1.0));
    return true;
}

// The arc on the radius into the array of the mode: steps + 1 points.
void build_arc(int mode, const end_frame& f, const point3& p_end, double radius, double tolerance, point3*& points,
               int& count, int& status)
{
    const int steps = link_arc_steps(2.0 * f.phi, radius, tolerance, kLeastArcSteps);
    link_array_get(mode, steps + kArcRoomExtra, points, status);
    if (status < 0) return;
    for (int i = 0; i <= steps; ++i) {
        const double t = i * f.phi / steps;
        const double a = radius * (1.0 - std::cos(t)), b = radius * std::sin(t);
        point3& p = points[mode == kLeavingArc ? i : steps - i];
        for (std::size_t k = 0; k < 3; ++k) p[k] = static_cast<float>(p_end[k] + a * f.w[k] + b * f.d[k]);
    }
    count = steps + 1;
}

// Walking away from P_end, the first arc point lying more than the tolerance under the dropped
// tool: false when there is none, else true with the radius that ends the arc at the point before.
bool arc_dips(int mode, const end_frame& f, const point3& p_end, const point3* points, int count, double tolerance,
              double& radius)
{
    for (int i = 1; i < count; ++i) {
        const point3& p = points[mode == kLeavingArc ? i : count - 1 - i];
        point3 dropped{}, normal{};
        int status = 0;
        tool_drop_z_at_xy(p.data(), dropped.data(), normal.data(), status);
        if (status != 0 || p[2] >= dropped[2] - tolerance) continue;
        const point3& before = points[mode == kLeavingArc ? i - 1 : count - i];
        const double reach =
            std::hypot(static_cast<double>(before[0]) - p_end[0], static_cast<double>(before[1]) - p_end[1]);
        radius = reach / (1.0 - std::cos(f.phi));
        return true;
    }
    return false;
}

void end_point_alone(int mode, const point3& p_end, point3*& points, int& count, int& status)
{
    count = 0;
    link_array_get(mode, kEndPointRoom, points, status);
    if (status < 0) return;
    points[0] = p_end;
    count = 1;
}

void report_end_point(const point3& p_end)
{
    if (wire_function()) return;
    const double values[3] = {coord_in_display_units(0, p_end[0]), coord_in_display_units(1, p_end[1]),
                              coord_in_display_units(2, p_end[2])};
    msg_mdls(kArcMessageGroup, kArcMessage, {}, values);
}

// One string of the link to the motion output, fitted after it when the output fits splines.
void write_string(int lift_flag, const point3* points, int count, int pass_number, int& status)
{
    link_strings_out(lift_flag, points, 1, &count, pass_number, kLinkMotionCodes, status);
    if (status >= 0 && PRM9().words[machine_params::kMotionForm] == kFittedSplines) motion_bspline_fit(status);
}

// The move between the arcs into array 3: kMoveStands, kMoveLifted or kMoveRefused (no move).
void build_move(int mode, const point3& a, const point3& b, double tolerance, point3*& points, int& count, int& status)
{
    const curve_approx_words& ca = proc_geometry().curve_approx;
    const double d = std::hypot(static_cast<double>(b[0]) - a[0], static_cast<double>(b[1]) - a[1]);
    const auto tol = static_cast<float>(tolerance);
    if (d >= 2.0 * ca.link_radius || mode == kLinkMode)
        link_arc_lifted(0, a, b, tol, points, count, status);
    else if (ca.link_kind == 1 || ca.link_kind == 2)
        link_arc_lifted(ca.link_kind, a, b, tol, points, count, status);
    else
        link_loop_move(1, a, b, tol, points, count, status);
}

}  // namespace

void string_end_arc(int mode, const point3& p_far, const point3& p_end, float tolerance, point3*& points, int& count,
                    int& status)
{
    status = 0;
    count = 0;
    const projection_on projection;
    const double radius = proc_geometry().curve_approx.link_radius;
    end_frame f;
    if (radius <= 0.0 || radius < tolerance || !end_frame_of(p_far, p_end, f)) {
        end_point_alone(mode, p_end, points, count, status);
        if (status >= 0) report_end_point(p_end);
        return;
    }
    build_arc(mode, f, p_end, radius, tolerance, points, count, status);
    if (status < 0) return;
    double checked = radius;
    if (!arc_dips(mode, f, p_end, points, count, tolerance, checked)) return;
    // The shorter arc never has a larger radius; an end that is nearly vertical may round the
    // quotient up (or to infinity), so the radius is kept to the one first tried.
    checked = std::min(checked, radius);
    if (!(checked >= tolerance) || checked <= 0.0) {
        end_point_alone(mode, p_end, points, count, status);
        if (status >= 0) report_end_point(p_end);
        return;
    }
    build_arc(mode, f, p_end, checked, tolerance, points, count, status);
}

void link_pass_strings(const float* prev, const float* end, const float* next2, const float* start, int pass_number,
                       int mode, int& no_link, int& status)
{
    const point3 p_prev = {prev[0], prev[1], prev[2]}, p_end = {end[0], end[1], end[2]};
    const point3 p_next2 = {next2[0], next2[1], next2[2]}, p_start = {start[0], start[1], start[2]};
    status = 0;
    no_link = 0;
    const curve_approx_words& ca = proc_geometry().curve_approx;
    const double tolerance = kArcTolerances * ca.tolerance;
    point3 *leaving = nullptr, *arriving = nullptr, *move = nullptr;
    int n1 = 0, n2 = 0, n3 = 0;
    string_end_arc(kLeavingArc, p_prev, p_end, static_cast<float>(tolerance), leaving, n1, status);
    if (status >= 0 && n1 < 1) end_point_alone(kLeavingArc, p_end, leaving, n1, status);
    if (status >= 0)
        string_end_arc(kArrivingArc, p_next2, p_start, static_cast<float>(tolerance), arriving, n2, status);
    if (status >= 0 && n2 < 1) end_point_alone(kArrivingArc, p_start, arriving, n2, status);
    if (status < 0) return;
    const bool wire = wire_function();
    if (wire && ca.entry_point_mode == kEntryMode && (n1 < 2 || n2 < 2)) {
        no_link = 1;
        return;
    }
    const double diameter = link_tool_diameter();
    const point3 a = leaving[n1 - 1], b = arriving[0];
    const double d = std::hypot(static_cast<double>(b[0]) - a[0], static_cast<double>(b[1]) - a[1]);
    const double gap = 2.0 * diameter + (wire ? std::numbers::sqrt2 * ca.band_depth : 0.0);
    bool moved = false;
    if (d < gap) {
        int outcome = 0;
        build_move(mode, a, b, tolerance, move, n3, outcome);
        if (outcome < 0) {
            status = outcome;
            return;
        }
        if (outcome == kMoveLifted && wire) {
            no_link = 1;
            return;
        }
        moved = outcome != kMoveRefused;
    }
    updown_flush(status);
    if (status >= 0) write_string(0, leaving, n1, pass_number, status);
    if (status >= 0 && moved) {
        float kept = 0.0f, fit = static_cast<float>(kFitTolerances * ca.tolerance);
        fit_tol_getset(1, kept);
        fit_tol_getset(2, fit);
        write_string(0, move, n3, pass_number, status);
        fit_tol_getset(2, kept);
    }
    if (status >= 0) write_string(moved ? 0 : 1, arriving, n2, pass_number, status);
}
