// The lane loop: per pass the branches of the outer contour are offset, then (once, in the first
// pass that reaches them) the islands, with the merges between them; after the last pass every
// branch still live is closed, islands that no branch took in are settled, islands whose parent
// was merged away are given a live parent, and in the one-offset mode the islands are hung under
// the first offset of the outer contour.
#include "pocket_lanes/lane_loop.hpp"

#include "host/vantu.hpp"
#include "nc_services/prog_line.hpp"
#include "nc_services/user_lines.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/delups.hpp"
#include "pocket_arrays/lane_offset.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_arrays/value_scope.hpp"
#include "pocket_lanes/collapse_lanes.hpp"
#include "pocket_lanes/collapse_part_lanes.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/lane_coverage.hpp"
#include "pocket_lanes/lane_measures.hpp"
#include "pocket_lanes/lane_merge.hpp"
#include "pocket_lanes/level_lanes.hpp"
#include "pocket_lanes/one_offset.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kOneOffset = 1;
constexpr int kPlanar = 2;
// Progress texts of the offsets: the first shown, the next ones, and the close.
constexpr int kProgressOffsetsStart = 3, kProgressOffsetsNext = 4, kProgressClose = 2;
// A planar pocket shows the progress at every tenth pass only.
constexpr int kProgressEvery = 10;
// The second island offset: a fifth of the step, at most half the clearance to the branches'
// lanes, and at least this much (or the tolerance).
constexpr double kSecondIslandShare = 0.2;
constexpr double kClearanceShare = 0.5;
constexpr double kSecondIslandFloor = 0.013;
// Retries of a branch offset that gave nothing.
constexpr double kRetryShare = 0.6;
constexpr double kRetryFirstShare = 0.98;
constexpr int kMostRetries = 2;
constexpr int kStageOne = 1, kStageTwo = 2;
constexpr const char* kUncoveredText = "[offset_lanes] OFFSET HAS FAILED. PART OF THE POCKET WILL NOT BE MACHINED";

// Results of an offset that end a pass.
bool ends_pass(int result)
{
    return result < 0 || result == kEngineEndPoint || result == kEngineTableFull || result == kEngineArrayFailed ||
           result == kEngineWorkTables || result == kEngineNoGrid;
}
constexpr int kOffsetNoLoop = 13;

bool status_ends_loop(int status) { return status > 1 || status < 0; }

// The area a branch lane must exceed to be offset by the step after the first pass: the smaller
// squared reach, which holds the tolerance (an area of a length's scale) where the step's square
// is smaller. At a step that fine the tolerance would pass over lanes that still hold a disc of
// the step's radius, so that the gate is at most that disc's area: a lane as small as that holds
// no point farther than a step from its walls, and its offset would give nothing.
double offset_area_gate(double step)
{
    return std::min(pocket_work_block.reach_squared[0], std::numbers::pi * step * step);
}

// The islands' progress line: the first text starts it, later ones update the count.
struct offsets_progress {
    bool on = false;
    bool shown = false;
    void pass(int p)
    {
        if (!on) return;
        if (pocket_state_block.pocket_dimension == kPlanar && p % kProgressEvery != 0) return;
        prog_loops_text(shown ? kProgressOffsetsNext : kProgressOffsetsStart, 0, p);
        shown = true;
    }
    void close()
    {
        if (on && shown) prog_loops_text(kProgressClose, 0, 0);
    }
};

oneoff_request offset_request(int direction_sign, double first_offset, double distance, int lane, int pass, int level,
                              int island_mark, int& branch_count)
{
    oneoff_request r;
    r.island_mark = island_mark;
    r.direction_sign = direction_sign;
    r.direction_word = 1;
    r.side = kSideLeft;
    r.first_offset = first_offset;
    r.distance = distance;
    r.source_lane = lane;
    r.pass = pass;
    r.level = level;
    r.branch_count = &branch_count;
    return r;
}

// The distance of retry `attempt` (1 or 2); 0 when no further retry is made.
double retry_distance(int attempt, double distance, double source_offset, double first_offset)
{
    if (distance < first_offset) return attempt == 1 ? kRetryShare * distance : 0.0;
    if (attempt == 1) return std::max(kRetryShare * std::min(distance, source_offset), kRetryFirstShare * first_offset);
    return kRetryFirstShare * first_offset;
}

// The offset of a lane on the surface grid made again with the loop removal meeting the raw
// offset's crossings in plan (see delups_3d.cpp): where the raw offset crosses itself between
// chords that pass each other in space, the removal walked past the crossing and the one piece it
// gave came back across the source, so that the offset gave nothing while the lane still held
// surface beyond a step from it. Asked only after the search in space gave nothing, so that an
// offset it makes stands as it was.
int offset_crossing_in_plan(const oneoff_request& request, pokarr& loop)
{
    int result = kEngineNoOffset;
    if (pocket_state_block.pocket_dimension == kPlanar || request.pass < 2) return result;
    collapse_pieces_clear();
    const value_scope<int> in_plan(delups_block.crossings_in_plan, 1);
    oneoff_pokarr(request, loop, result);
    return result;
}

// Offsets the branch lane; retries smaller while it gives nothing. Answers the last result. The
// pieces noted for collapse lanes are those of the last offset made.
int offset_branch(const oneoff_request& first_try, int retry_switch, double first_offset, pokarr& loop)
{
    int result = 0;
    collapse_pieces_clear();
    oneoff_pokarr(first_try, loop, result);
    if (result == kEngineNoOffset) result = offset_crossing_in_plan(first_try, loop);
    if (result != kEngineNoOffset || retry_switch == 0 || first_try.pass < 2) return result;
    for (int attempt = 1; attempt <= kMostRetries && result == kEngineNoOffset; ++attempt) {
        const double d = retry_distance(attempt, first_try.distance, first_try.source_offset, first_offset);
        if (d <= 0.0) break;
        oneoff_request retry = first_try;
        retry.distance = d;
        retry.retry = 0;
        retry.inward = 0;
        collapse_pieces_clear();
        oneoff_pokarr(retry, loop, result);
    }
    return result;
}

// The closing lane of every branch still live after the last pass.
void close_branches(int branch_count, int& status)
{
    const lane_table& lt = lane_table_block;
    pokarr_work work(lane_array_dimension());
    for (int b = 1; b <= branch_count && status == 0; ++b) {
        int lane = 0;
        lane_find(0, 0, b, 0, lane, work.a, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return;
        }
        if (lane > 0 && lt.status[lane] > 0) lane_add_empty(lt.status[lane] + 1, b, lane, status);
    }
}

// An island whose parent was merged away (status 0, not a contour) hangs on under the next live
// lane of the parent's branch.
void reparent_islands()
{
    lane_table& lt = lane_table_block;
    for (int level = kLevelIsland + 1; level <= kLevelIsland + pocket_box_block.island_count; ++level) {
        for (int n = 1; n <= lt.count; ++n) {
            if (lt.level[n] != level || lt.status[n] != 1) continue;
            const int parent = lt.parent[n];
            if (parent < 1 || parent > lt.count || lt.status[parent] != 0 || contour_lane(parent)) continue;
            for (int next = parent + 1; next <= lt.count; ++next) {
                if (lt.level[next] == lt.level[parent] && lt.status[next] > 0) {
                    lt.parent[n] = next;
                    break;
                }
            }
            break;
        }
    }
}

// One offset per contour: every island's first offset hangs under the outer contour's first
// offset and is closed; second island offsets are left.
void hang_islands(int& status)
{
    lane_table& lt = lane_table_block;
    int outer = 0;
    for (int n = 1; n <= lt.count && outer == 0; ++n)
        if (lt.level[n] == kOuterLevel && lt.status[n] == 1) outer = n;
    const int count = lt.count;
    for (int n = 1; n <= count && status == 0; ++n) {
        if (lt.level[n] <= kLevelIsland) continue;
        if (lt.status[n] == kStageTwo) {
            lt.status[n] = -kStageTwo;
        } else if (lt.status[n] == 1) {
            if (outer > 0) lt.parent[n] = outer;
            lane_add_empty(kStageTwo, lt.level[n], n, status);
        }
    }
}

// The distance of the second island offset.
double second_island_distance(double step, int pass, int branch_count)
{
    double d = kSecondIslandShare * step;
    if (pocket_state_block.pocket_dimension == kPlanar) {
        double clearance = kNoClearance;
        lanes_island_clearance(pass, 1, branch_count, lane_table_block.island_count, kSecondIslandShare * step,
                               clearance);
        d = std::min(d, kClearanceShare * clearance);
    }
    if (d < kSecondIslandFloor) d = std::max(kSecondIslandFloor, pocket_work_block.tolerance);
    return d;
}

// The switches of the merges and the touch switch of lancom.
struct merge_switches {
    int ilscom_on = 1, lancom_on = 1, touch = 0;
};

// The merges after an island offset. Without clear_each a status that ends the loop stops them;
// with it (the second island offset) each merge's status is cleared after it.
void merge_islands(const merge_switches& m, int pass, int& branch_count, int& islands, bool clear_each, int& status)
{
    const int stage = pocket_work_block.island_stage;
    if (islands >= 2 && m.ilscom_on != 0 && (clear_each || !status_ends_loop(status))) {
        const int first_new = lane_table_block.count + 1;
        ilscom(branch_count, pass, stage, islands, status);
        if (status == 0) clip_holes_to_branches(first_new, branch_count, status);
        if (clear_each && status >= 0) status = 0;
    }
    if (m.lancom_on != 0 && (clear_each || !status_ends_loop(status))) {
        lancom(pass, stage, branch_count, islands, m.touch, status);
        if (clear_each && status >= 0) status = 0;
    }
}

// Whether an offset of an island recorded a lane on the island's own level after lane `before`.
bool island_lane_made(int level, int before)
{
    const lane_table& lt = lane_table_block;
    for (int n = before + 1; n <= lt.count; ++n)
        if (lt.level[n] == level) return true;
    return false;
}

// Whether an island offset by the distance leaves no area to protect: grown by the distance less
// the pocket's tolerance it holds nothing, for it is nowhere wider than twice what the tolerance
// leaves over the distance (a speck). Reads pocket_work.tolerance.
bool island_vanishes(int lane, double distance, int& status)
{
    // The flattening of the width measure: a tenth of what the width is held against.
    constexpr double kWidthChordShare = 0.1;
    const double room = pocket_work_block.tolerance - distance;
    if (!(room > 0.0)) return false;
    pokarr_work island(lane_array_dimension());
    lane_to_pokarr(lane, island.a, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return false;
    }
    return loop_hull_width(island.a, kWidthChordShare * room) <= 2.0 * room;
}

// An island whose outward offset gave no lane round it (nothing, or only pieces of the other
// direction) keeps the loop it was offset from (its contour, or its first offset) as its lane of
// this stage: the lanes of the outer contour are then merged with it and none runs across the
// island. The error channel says so.
void keep_island_source(int lane, int stage, int level, int& status)
{
    pokarr_work source(lane_array_dimension());
    lane_to_pokarr(lane, source.a, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return;
    }
    lane_add(stage, level, lane, lane, 0, 0.0, 0, source.a, status);
    if (status == 0) eroutc("[lanile] ISLAND OFFSET HAS FAILED. THE ISLAND KEEPS ITS CONTOUR AS ITS LANE", 0);
}

// A pocket on the surface run until full whose lanes leave surface farther than the step from
// every lane (an offset failed or was refused while material remained) is not full: the user is
// told, on the error channel as every failure of the 3-D offset is, keeps the lanes made, and the
// status says so (kEngineUncovered).
void tell_uncovered(double side_step, int& status)
{
    const pocket_work& w = pocket_work_block;
    if (w.full_pocket == 0 || pocket_state_block.pocket_dimension == kPlanar) return;
    if (!pocket_leaves_uncovered(side_step + w.tolerance)) return;
    eroutc(kUncoveredText, 0);
    status = kEngineUncovered;
}

}  // namespace

void lanpok(int direction_sign, double first_offset, double distance, int pass, int& branch_count, int retry_switch,
            int& end_flag, int& status)
{
    status = 0;
    const lane_table& lt = lane_table_block;
    const pocket_work& w = pocket_work_block;
    int inward = 0;
    if (pass == 1 && distance < 0.0) {
        inward = 1;
        distance = -distance;
    }
    const double reach = pass == 1 ? distance * distance : offset_area_gate(distance);
    end_flag = 1;
    pokarr_work loop(lane_array_dimension());
    // Only the branches that stand at the start of the pass are offset: a branch that an offset
    // opens in this pass already has its lane of this pass. On pass 1 the lane search (wanted
    // status 0) would take that new lane for the branch's source and offset it a second time.
    const int branches = branch_count;
    // The pass appends lanes (on the branch it offsets or on new ones) and changes no lane's level
    // or status: the branches' lanes of the last pass are found in one scan of the table.
    current_level_lanes last_lanes(pass - 1, 1, branches);
    last_lanes.know_all();
    for (int b = 1; b <= branches; ++b) {
        const int lane = last_lanes.lane(b);
        if (lane == 0) continue;
        lane_to_pokarr(lane, loop.a, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return;
        }
        oneoff_request r = offset_request(direction_sign, first_offset, distance, lane, pass, b, 0, branch_count);
        r.source_offset = pass == 1 ? distance : lt.offset[lane];
        r.combine = w.combine_flag == 1 && pass >= 2 ? 1 : 0;
        r.inward = inward;
        r.retry = retry_switch != 0 ? 1 : 0;
        int result = kEngineNoOffset;
        collapse_pieces_clear();
        pokarr_area(loop.a);
        // A collapse lane leaves nothing to offset: its branch closes.
        const bool collapsed = lt.contour_type[lane] == kContourCollapse;
        if (!collapsed && (loop.a.area > reach || inward != 0)) {
            const int first_new = lt.count + 1;
            result = offset_branch(r, retry_switch, first_offset, loop.a);
            if (ends_pass(result)) {
                status = result;
                return;
            }
            if (result == kOffsetNoLoop) result = kEngineNoOffset;
            // Where the offset lost a part of the region narrower than two steps beside its lanes
            // (a horn, a leg, a neck), the lanes where that part closes.
            if (result != kEngineNoOffset)
                collapse_lanes_record(loop.a, lane, first_new, pass, b, branch_count, status);
            if (status != 0) return;
            // A collapse part as wide as the step holds material in its middle.
            const int inner = result != kEngineNoOffset ? collapse_part_lanes(r, first_new, lt.count) : 0;
            if (ends_pass(inner)) {
                status = inner;
                return;
            }
        }
        // A branch lane whose offset gave nothing holds no point farther than a step from its
        // walls but in spots too small for a lane, and may hold points farther than half a step:
        // the lane at half a step inside it and those spots leave none.
        if (!collapsed && result == kEngineNoOffset && pass > 1) {
            const collapse_pieces step_pieces = collapse_pieces_block;
            result = collapse_half_step(r, loop.a, &step_pieces);
            if (ends_pass(result)) {
                status = result;
                return;
            }
        }
        if (result != kEngineNoOffset && result != kOffsetNoLoop) {
            end_flag = 0;
            continue;
        }
        lane_add_empty(pass, b, lane, status);
        if (status > 1) return;
        status = 0;
    }
}

void lanile(int direction_sign, double first_offset, double distance, const double* offsets, int pass, int island_stage,
            int& branch_count, int& status)
{
    static_cast<void>(pass);
    status = 0;
    lane_table& lt = lane_table_block;
    pokarr_work loop(lane_array_dimension());
    for (int level = kLevelIsland + 1; level <= kLevelIsland + pocket_box_block.island_count; ++level) {
        int lane = 0;
        lane_find(0, 0, level, island_stage - 1, lane, loop.a, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return;
        }
        if (lane == 0) continue;
        double d = distance;
        int inward = 0;
        if (island_stage == kStageOne) {
            // An island that the lane loop found beyond the end of the offsets table has no
            // offset of its own.
            if (level <= kOffsetSlots) d += offsets[level];
            if (d < 0.0) inward = 1;
            d = std::fabs(d);
        }
        lt.offset[lane] = d;
        oneoff_request r =
            offset_request(direction_sign, first_offset, d, lane, island_stage, level, island_stage, branch_count);
        r.source_offset = d;
        r.inward = inward;
        const int before = lt.count;
        oneoff_pokarr(r, loop.a, status);
        // An outward offset always surrounds its island: one that recorded no lane round it has
        // failed (an island offset inwards may vanish; a second offset giving nothing stops below).
        const bool outward =
            inward == 0 && (status == kEngineDone || (status == kEngineNoOffset && island_stage == kStageOne));
        if (outward && !island_lane_made(level, before)) {
            // A speck at its first offset is ignored as an island offset inwards that vanishes is.
            status = 0;
            if (island_stage == kStageOne && island_vanishes(lane, d, status))
                status = kEngineNoOffset;
            else if (status == 0)
                keep_island_source(lane, island_stage, level, status);
        }
        if (status == kEngineNoOffset && island_stage == kStageOne) {
            int mode = 0;
            get_pocket_mode(mode);
            if (mode == 0)
                userrc_lines("ATTENTION : ONE ISLAND WAS IGNORED PROBABLY BECAUSE IT IS TOO SMALL | TO THE CURRENT "
                             "OFFSET AND TOOL DIAMETER.");
            // The island's level is closed, so that no island test of the lanes meets its contour.
            lane_add_empty(kStageOne, level, lane, status);
        } else if (status == kEngineNoOffset) {
            eroutc("[lanile] SECOND ISLAND OFFSET HAS FAILED. THIS ISLAND WILL BE GOUGED", 0);
            status = kEngineArrayFailed;
        }
        if (status != 0) return;
    }
}

void offset_lanes(double first_offset, double extra_offset, double* offsets, double side_step, int offsets_mode,
                  int direction_sign, int ilscom_switch, int lancom_switch, int second_stage, int& status)
{
    status = 0;
    pocket_work& w = pocket_work_block;
    offsets_progress progress;
    progress.on = offsets_mode != kOneOffset;
    int islands = pocket_box_block.island_count;
    const int contour_islands = islands;
    merge_switches m{ilscom_switch, lancom_switch, 0};
    if (second_stage != 0 && first_offset != 0.0 && side_step <= 2.0 * first_offset)
        m.touch = w.end_value + side_step > first_offset ? 1 : 0;
    const double step = first_offset > 0.0 ? std::min(side_step, first_offset) : side_step;
    int branch_count = 1;
    w.island_stage = 0;
    bool ended = false;
    // "Until full" runs until the region is empty: every pass that goes on has appended a lane, so
    // the lane table, whose full state ends the loop with its status, is the only bound.
    const int last_pass = offsets_mode == kOneOffset ? 1 : kLaneMax;
    for (int pass = 1; pass <= last_pass; ++pass) {
        progress.pass(pass);
        const double distance = pass == 1 ? extra_offset + offsets[kOuterLevel] : side_step;
        int end_flag = 0;
        lanpok(direction_sign, first_offset, distance, pass, branch_count, m.touch, end_flag, status);
        if (status_ends_loop(status)) break;
        if (end_flag != 0) {
            ended = true;
            break;
        }
        if (pass == 1)
            for (int k = contour_islands + 1; k <= pocket_box_block.island_count && kLevelIsland + k <= kOffsetSlots;
                 ++k)
                offsets[kLevelIsland + k] = -distance;
        if (islands <= 0) continue;
        if (pass >= 2 && m.lancom_on != 0) lancom(pass, w.island_stage, branch_count, islands, m.touch, status);
        if (status_ends_loop(status)) break;
        ++w.island_stage;
        if (w.island_stage == kStageOne || w.island_stage == kStageTwo) {
            lanile(direction_sign, first_offset, extra_offset, offsets, pass, w.island_stage, branch_count, status);
            if (!status_ends_loop(status)) merge_islands(m, pass, branch_count, islands, false, status);
            if (!status_ends_loop(status) && w.full_pocket != 0) {
                w.island_stage = kStageTwo;
                const double d = second_island_distance(step, pass, branch_count);
                lanile(direction_sign, first_offset, d, offsets, pass, w.island_stage, branch_count, status);
                if (status >= 0) status = 0;
                merge_islands(m, pass, branch_count, islands, true, status);
            }
        }
        if (w.island_stage > kStageTwo) w.island_stage = kStageTwo;
        if (status_ends_loop(status)) break;
    }
    // A status of 1 (nothing made by the last offset) does not end the computation.
    if (status == 1) status = 0;
    if (status == 0 && !ended && offsets_mode != kOneOffset) status = kEngineTableFull;
    if (status == 0 && !ended) close_branches(branch_count, status);
    if (status == 0 && offsets_mode != kOneOffset) close_apart_islands(w.island_stage, status);
    if (status == 0) reparent_islands();
    if (status == 0 && offsets_mode == kOneOffset) hang_islands(status);
    if (status == 0) tell_uncovered(side_step, status);
    progress.close();
}
