// The lane engine's driver: the engine's switches and working values, the contour lanes, the lane
// loop, the count of usable lanes and the cutting stages; the pair memory and the box cache are
// closed and the caller's options put back on every way out.
#include "pocket_lanes/lane_engine.hpp"

#include "host/vantu.hpp"
#include "nc_services/host_helpers.hpp"
#include "nc_services/unwind_guard.hpp"
#include "pocket/lane_table.hpp"
#include "pocket/pocket_tool_radius.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/contour_lanes.hpp"
#include "pocket_lanes/cutting_stages.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/lane_loop.hpp"
#include "pocket_lanes/lane_measures.hpp"
#include "pocket_lanes/scratch_cache.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

lane_engine_state lane_engine_block;

namespace {

// Offsets modes as the caller gives them and as the engine runs them.
constexpr int kOneOffset = 1;
constexpr int kUntilFull = 9999;
constexpr int kNoIslandMerge = -1;
constexpr int kNoBranchMerge = -11;
constexpr int kReversedIslands = -2;
constexpr int kPairsOpen = 0, kPairsClose = 2;
constexpr int kPlanar = 2;
// The working tolerance: a hundredth of the step, at least this.
constexpr double kWorkingShare = 0.01;
constexpr double kWorkingFloor = 0.001;
constexpr int kLeftIslandStatus = 2;

// The current tool's corner radius; a size below 0 (a wire tool reads -1) counts as 0.
double tool_corner_radius()
{
    float r = 0.0f;
    tool_get_corner_radius(PRM9().words[machine_params::kToolId], r);
    return std::max(0.0, static_cast<double>(r));
}

// Switches from the offsets mode; the mode becomes 1 (one pass) or 9999 (until the region is
// empty).
void set_switches(int& offsets_mode)
{
    lane_engine_state& e = lane_engine_block;
    e.ilscom_enabled = e.lancom_enabled = 1;
    pocket_work_block.reversed_islands = 0;
    if (offsets_mode == kNoIslandMerge) e.ilscom_enabled = 0;
    if (offsets_mode == kNoBranchMerge) e.lancom_enabled = 0;
    if (offsets_mode == kReversedIslands) pocket_work_block.reversed_islands = 1;
    if (offsets_mode == kNoIslandMerge || offsets_mode == kNoBranchMerge || offsets_mode == kReversedIslands)
        offsets_mode = kOneOffset;
    if (offsets_mode != kOneOffset) offsets_mode = kUntilFull;
    pocket_work_block.full_pocket = offsets_mode != kOneOffset ? 1 : 0;
    if (offsets_mode == kOneOffset) pocket_state_block.multi_offset = 1;
}

// The engine's distances (pocket_work): engine step, tool radius, first offset, working tolerance,
// reach values and end value. The tool radius is read again here, through the routine the run's
// start uses, since the engine may be run without that start.
void set_distances(double extra_offset, double side_step, double tolerance, double end_value)
{
    pocket_work& w = pocket_work_block;
    set_pocket_tool_radius();
    const double flat = 2.0 * w.tool_radius - 2.0 * tool_corner_radius();
    w.engine_step = side_step;
    double first = extra_offset != 0.0 ? extra_offset : w.tool_radius;
    // A tool whose flat part is wider than the step starts at half its flat width.
    if (side_step < flat && first <= flat && first > flat / 2.0) first = flat / 2.0;
    w.first_offset = first;

    const double scale = extra_offset != 0.0 ? extra_offset : side_step;
    w.working_tolerance = std::max(std::min(tolerance, kWorkingShare * scale), kWorkingFloor);
    double smaller = side_step * side_step, larger = smaller;
    if (extra_offset != 0.0) {
        larger = 2.0 * extra_offset * extra_offset;
        smaller = std::min(smaller, larger);
    }
    smaller = std::max(smaller, tolerance);
    larger = std::max(larger, smaller);
    w.reach_squared[0] = smaller;
    w.reach_squared[1] = larger;
    w.end_value = end_value;
}

// Usable lanes: every live lane counts, except a second island offset, which counts against its
// parent while that is live (the island's lane took over) and not at all otherwise; the
// left-over mark says that some island keeps such a lane.
int usable_lanes(bool& left_over)
{
    const lane_table& lt = lane_table_block;
    int count = 0;
    for (int n = 1; n <= lt.count; ++n) {
        if (lt.status[n] <= 0) continue;
        if (lt.status[n] == kLeftIslandStatus && lt.level[n] > kLevelIsland) {
            const int parent = lt.parent[n];
            if (parent >= 1 && parent <= lt.count && lt.status[parent] > 0) --count;
            left_over = true;
            continue;
        }
        ++count;
    }
    return count;
}

// Closes the pair memory and the box cache; a failure replaces the status.
void close_engine_arrays(int& status)
{
    int closed = 0;
    lancom_pairs(kPairsClose, closed);
    if (closed != 0) status = closed;
    closed = 0;
    if (lane_table_block.box_handle != -1) lane_box_close(closed);
    if (closed != 0) status = closed;
}

// The engine's own offsets by level: islands dropped by the contour input move down, islands
// that appear in pass 1 get theirs, and the caller's table stays as it was. The table (26,667
// values) is kept from one run to the next so that a run does not allocate it again, and it is
// made without a zero fill: the engine reads no slot before writing it (take_levels), and filling
// the whole table cost as much as a small pocket's offsets.
using level_table = std::unique_ptr<double[]>;
scratch_cache<level_table>& kept_levels()
{
    static scratch_cache<level_table> levels;
    return levels;
}

// Fills the slots of the engine's table that the engine reads from the caller's table: the outer
// contour's and one per contour from the first island slot on. The engine reads no other slot
// before writing it (the slots of islands found in pass 1 are set when they appear), so the
// rest of the table, about 16,000 slots, is neither copied nor cleared on any run.
void take_levels(const double* offsets, level_table& levels)
{
    if (!levels) levels = std::make_unique_for_overwrite<double[]>(kOffsetSlots + 1);
    levels[kOuterLevel] = offsets[kOuterLevel];
    const int contours = std::clamp(pkcont_tables_block.count, 1, kContourMax);
    const int last = std::min(kOffsetSlots, kIslandLevelBase + contours);
    std::copy(offsets + kIslandLevelBase, offsets + last + 1, levels.get() + kIslandLevelBase);
}

void run_engine(double extra_offset, const double* offsets, double side_step, int offsets_mode, int direction_sign,
                int second_stage, int& status)
{
    scratch_lease<level_table> lease(kept_levels());
    level_table& levels = lease.get();
    take_levels(offsets, levels);
    arrinp(levels.get(), status);
    if (status != 0) return;
    pocket_box_block.island_count = lane_table_block.count - 1;
    engine_time_line("start pocket offsets : ");
    const lane_engine_state& e = lane_engine_block;
    const double first_offset = pocket_work_block.first_offset;
    offset_lanes(first_offset, extra_offset, levels.get(), side_step, offsets_mode, direction_sign, e.ilscom_enabled,
                 e.lancom_enabled, second_stage, status);
    // Lanes that leave part of the pocket uncut are still cut in order; the run answers that code
    // in the end, over the note of a dropped end point.
    const bool uncovered = status == kEngineUncovered;
    if (uncovered) status = 0;
    if (status != 0) return;
    bool left_over = false;
    const int usable = usable_lanes(left_over);
    if (left_over && IsNcDebug() != 0) eroutc("[rrpock] NOT ALL ISLANDS WILL BE MACHINED", 0);
    if (usable <= 0) {
        status = kEngineNoLane;
        return;
    }
    if (pocket_state_block.pocket_dimension != kPlanar) outer_extent_check();
    cut_pocket_stages(0, side_step, first_offset, direction_sign, offsets_mode, status);
    if (uncovered && (status == 0 || status == kEngineEndPointNote)) status = kEngineUncovered;
}

}  // namespace

void engine_time_line(std::string_view text)
{
    if (IsNcDebug() == 0 || pocket_state_block.pocket_dimension == kPlanar) return;
    int now[6] = {};
    get_date_time(now);
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", now[3], now[4], now[5]);
    shms1c(std::string(text) + clock);
}

void rrpock(double extra_offset, const double* offsets, double side_step, int& offsets_mode, int direction_sign,
            int second_stage, double tolerance, double end_value, int& status)
{
    status = 0;
    const int saved_multi_offset = pocket_state_block.multi_offset;
    const int saved_mode = offsets_mode;
    // A stop leaves by the stop exception: the engine's arrays are closed and the options put
    // back on that road too.
    unwind_only on_stop([&] {
        int ignored = 0;
        close_engine_arrays(ignored);
        pocket_state_block.multi_offset = saved_multi_offset;
        offsets_mode = saved_mode;
    });
    lancom_pairs(kPairsOpen, status);
    if (status == 0) {
        set_switches(offsets_mode);
        set_distances(extra_offset, side_step, tolerance, end_value);
        run_engine(extra_offset, offsets, side_step, offsets_mode, direction_sign, second_stage, status);
    }
    close_engine_arrays(status);
    pocket_state_block.multi_offset = saved_multi_offset;
    offsets_mode = saved_mode;
}
