// A pocket as the procedure prepares it, for the pocket benchmarks: an outer polygon and islands
// (circles or polygons) as host curves with their curve sets, the contour tables, every contour
// offset by the side step, no tool; and the pocket the last engine run left drawn at Z 0 into a
// motion sub-list, its moves measured (path_lengths.hpp).
#pragma once

#include "bench_procedure.hpp"
#include "path_lengths.hpp"

#include "clearing/hatch/hatch_clearing.hpp"
#include "pocket/polbuf.hpp"

#include "host/control.hpp"
#include "host/control/curve_sets.hpp"
#include "host/control/entities.hpp"
#include "host/control/list.hpp"
#include "nc_services/machining_type.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/pocket_computation.hpp"
#include "pocket_lanes/pocket_drawing.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/tp_sublist.hpp"

#include <cmath>
#include <vector>

namespace bench {

struct plane_point {
    double x, y;
};

// An island: a circle (radius above 0) or a closed polygon (its corners, radius 0).
struct pocket_island {
    plane_point centre{0.0, 0.0};
    double radius = 0.0;
    std::vector<plane_point> corners;
};

inline constexpr double kPocketTolerance = 0.005;

namespace detail {

// The closed polygon's sides as host lines in one curve set.
inline void define_polygon_set(int set, const std::vector<plane_point>& corners)
{
    std::vector<vantu::control::curve_in_set> sides;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const plane_point& a = corners[i];
        const plane_point& b = corners[(i + 1) % corners.size()];
        sides.push_back(
            {vantu::control::add_line({a.x, a.y, 0.0}, {b.x, b.y, 0.0}), 0.0, std::hypot(b.x - a.x, b.y - a.y), 1.0});
    }
    vantu::control::define_curve_set(set, sides);
}

}  // namespace detail

// Resets the host and the pocket blocks and prepares the pocket of `outer` (a polygon) and the
// islands, every contour offset by `step`.
inline void prepare_pocket(const std::vector<plane_point>& outer, const std::vector<pocket_island>& islands,
                           double step)
{
    constexpr double kPi = 3.14159265358979323846;
    pkdm_rel_all();
    vantu::control::reset();
    int status = 0;
    POKREL(0, status);
    pocket_state_block = pocket_state{};
    pocket_work_block = pocket_work{};
    pocket_state& s = pocket_state_block;
    pocket_work& w = pocket_work_block;
    s.pocket_dimension = 2;
    s.direction_sign = 1;
    s.offsets_mode = 99;
    s.reverse_islands = 1;
    s.drawing_mode = 1;
    w.tolerance = kPocketTolerance;
    w.side_step = step;
    w.corner_arcs = 1;
    // No tool: its sizes read -1 and count as 0.
    PRM9().words[machine_params::kToolId] = -1;

    detail::define_polygon_set(1, outer);
    const int contours = static_cast<int>(islands.size()) + 1;
    std::vector<int> types(static_cast<std::size_t>(contours) + 1, kContourPart), sets(types.size(), 0);
    std::vector<int> numbers;
    sets[1] = 1;
    for (int k = 0; k < static_cast<int>(islands.size()); ++k) {
        const int set = k + 2;
        const pocket_island& island = islands[static_cast<std::size_t>(k)];
        if (island.radius > 0.0) {
            const int circle = vantu::control::add_circle({island.centre.x, island.centre.y, 0.0}, island.radius);
            vantu::control::define_curve_set(set, {{circle, 0.0, 2.0 * kPi, 1.0}});
        } else {
            detail::define_polygon_set(set, island.corners);
        }
        sets[static_cast<std::size_t>(set)] = set;
        numbers.push_back(set);
    }
    pocket_prepare(1, static_cast<int>(numbers.size()), numbers.data(),
                   pocket_contours{types.data(), sets.data(), contours + 1}, status);
    w.offsets[kOuterSlot] = step;
    for (int k = 0; k < static_cast<int>(islands.size()); ++k) w.offsets[kIslandSlotBase + k] = step;
}

// The pocket the last engine run left, drawn at Z 0 into the sub-list of a procedure block as the
// execute callback draws one level, and the moves written there measured (with the cuts and the
// groups). Status of the drawing, or -1 when the procedure block could not be written.
inline int draw_pocket(path_lengths& lengths)
{
    // The machining type of offset lanes, and the machine's feed: a feed of its own makes the
    // writer put a feed change before the moves at the fast rate and after them, so that the
    // tool path tells them apart.
    constexpr int kLanesMachiningType = 9;
    constexpr float kFeed = 100.0f;
    // The host is not reset: the lanes' points live in its arrays.
    if (!open_motion_procedure()) return -1;
    machining_type() = kLanesMachiningType;
    PRM9().set_real(machine_params::kBaseFeed, kFeed);
    mch_slots().slots[1].status = kSlotComputed;
    mch_slots().last_feed = kFeed;
    pocket_state& s = pocket_state_block;
    s.current_z = 0.0;
    s.level_count = s.level_counter = 1;
    s.approach_height = 5.0;
    s.approach_clearance = 2.0;
    s.order_flag = 1;
    s.drawing_mode = 1;
    int status = 0;
    DRAWPK(0, 0, status);
    int closed = 0;
    tp_sublist_close(closed);
    const auto& top = vantu::control::toolpath_top();
    if (!top.empty()) lengths = measure_path(top.back().sublist, static_cast<float>(s.current_z), true);
    // The arrays the motion output keeps between calls are given back while the host still
    // holds them: the next round resets it.
    tp_mrkr_reset();
    fit_buffer_release();
    return status;
}

// The pocket of the last prepare_pocket cleared by hatch lines at Z 0 as the execution clears one
// level: the lane engine's single offset, tkpolg (the hatch angle in radians, direction 1, the
// linking mode, links along the contour) and clear_passes_out into the sub-list of a procedure
// block, the material's top a Z step of 5 above; the moves written there measured (with the cuts
// and the groups). The first failing status, or -1 when the procedure block could not be written.
inline int draw_hatch(float angle, int linking_mode, path_lengths& lengths)
{
    constexpr int kOneOffset = 1, kHatchMachiningType = 1, kPolbufReset = 2, kCloseList = 1;
    constexpr float kFeed = 100.0f;
    pocket_state& s = pocket_state_block;
    s.offsets_mode = kOneOffset;
    int status = 0;
    cmtpk_clean(0, status);
    if (status != 0) return status;
    polbuf_open_all(kPolbufReset, kPolbufStepWords, status);
    if (status != 0) return status;
    tkpolg(angle, 0.0f, 1, linking_mode, 1, status);
    if (status != 0) return status;
    if (!open_motion_procedure()) return -1;
    machining_type() = kHatchMachiningType;
    PRM9().set_real(machine_params::kBaseFeed, kFeed);
    mch_slots().slots[1].status = kSlotComputed;
    mch_slots().last_feed = kFeed;
    s.current_z = s.first_level_z = 0.0;
    s.z_step = 5.0;
    s.level_count = s.level_counter = 1;
    s.approach_height = 5.0;
    clear_passes_out(angle, 2.0f, 1, status);
    int closed = 0;
    tp_sublist_close(closed);
    clrcls(kCloseList, closed);
    const auto& top = vantu::control::toolpath_top();
    if (!top.empty()) lengths = measure_path(top.back().sublist, static_cast<float>(s.current_z), true);
    tp_mrkr_reset();
    fit_buffer_release();
    return status;
}

}  // namespace bench
