// Holes of merged island lanes cut back to the branch lanes and to the islands. Where island
// lanes merge in a ring, the hole the ring leaves becomes a branch lane of its own, bounded by the
// island lanes alone. A ring of islands standing by the wall closes beyond the outer contour's
// lane, so that the hole reaches past it toward the wall: only its parts inside the branch lane it
// crosses are material the pass may cut. An island merged into the ring after the hole was cut
// reaches into the hole: the part of the hole outside the island's first offset is what is left.
#include "pocket_lanes/lane_merge.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/common_loops.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/hole_ring.hpp"

#include <algorithm>
#include <memory>

namespace {

constexpr int kCounterClockwise = 1;
constexpr int kPlanar = 2;
constexpr int kStageOne = 1;

// The lane's loop; answers whether it runs counter-clockwise (its region inside).
bool region_inside(int lane, pokarr& loop, int& status)
{
    lane_to_pokarr(lane, loop, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return false;
    }
    double area = 0.0;
    int direction = 0;
    pokarr_area_dir(loop, area, direction);
    return direction == kCounterClockwise;
}

// The parts of hole lane h inside the branch lanes before lane `first_new` that it crosses;
// `crossed` false when it crosses none (the hole stays as it is); `held` whether it lies inside
// one of them without crossing it.
void hole_parts(int h, pokarr& hole, int first_new, loop_buffer& parts, int& link, bool& crossed, bool& held,
                int& status)
{
    crossed = held = false;
    pokarr_work branch;
    for (int n = 1; n < first_new && status == 0; ++n) {
        if (n == h || !live_branch_lane(n)) continue;
        const bool inside = region_inside(n, branch.a, status);
        if (status != 0 || !inside || lane_boxes_apart(h, hole, n, branch.a, status)) continue;
        int crossings = 0;
        if (!comlup_inside_loops(hole, branch.a, parts, crossings)) status = kEngineArrayFailed;
        if (crossings > 0) {
            crossed = true;
            link = n;
        } else if (status == 0 && !held) {
            held = points_against_loop(hole, branch.a, status) != kLoopOutside;
        }
    }
}

// Hole h replaced by its parts: the first keeps its level, each other one opens a new branch.
void replace_hole(int h, int link, const loop_buffer& parts, int& branch_count, int& status)
{
    lane_table& lt = lane_table_block;
    const int stage = lt.status[h];
    lt.status[h] = 0;
    pokarr_work part;
    for (int k = 1, first = 0; k <= parts.loops && status == 0; first += parts.counts[k++]) {
        pokarr_replace(parts.counts[k], parts.points, first, part.a, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return;
        }
        const int level = k == 1 ? lt.level[h] : ++branch_count;
        lane_add(stage, level, lt.parent[h], h, link, lt.offset[h], lt.contour_type[h], part.a, status);
        if (status == 0) lt.group[lt.count] = lt.group[h];
    }
}

// The first offset of the island of contour row n: the lane offset from the contour itself.
// 0 when the island has none.
int island_first_lane(int n)
{
    const lane_table& lt = lane_table_block;
    for (int k = lt.island_count + 2; k <= lt.count; ++k)
        if (lt.link1[k] == n && lt.link2[k] == 0 && lt.parent[k] == n && lt.level[k] == lt.level[n]) return k;
    return 0;
}

// The island's first offset (turned counter-clockwise) cut out of `hole`: answers false when the
// cut cannot be made or is not one loop (the hole may then be left as it was), true otherwise,
// with `cut` set when the loops crossed and `hole` was replaced.
bool cut_by_island(pokarr& hole, pokarr& island, bool& cut)
{
    cut = false;
    double area = 0.0;
    int direction = 0;
    pokarr_area_dir(island, area, direction);
    if (direction != kCounterClockwise) pokarr_reverse(island);
    auto parts = std::make_unique<loop_buffer>();
    int crossings = 0;
    bool one = comlup_outside_loops(hole, island, *parts, crossings);
    if (one && crossings > 0) {
        one = parts->loops == 1;
        int status = 0;
        if (one) pokarr_replace(parts->counts[1], parts->points, 0, hole, status);
        one = one && status == 0;
        cut = one;
    }
    loop_buffer_clear(*parts);
    return one;
}

}  // namespace

bool cut_hole_back(int lane_l, int& status)
{
    status = 0;
    lane_table& lt = lane_table_block;
    // A hole already cut back (no second link) is not cut again: the cut left it clear of every
    // island's first offset, and a crossing found again lies within the crossing search's own
    // tolerance.
    if (pocket_state_block.pocket_dimension != kPlanar || lt.link2[lane_l] == 0) return false;
    pokarr_work hole, island;
    if (!region_inside(lane_l, hole.a, status)) return false;
    bool changed = false;
    const int last = std::min(lt.count, lt.island_count + 1);
    for (int n = 2; n <= last; ++n) {
        // An island whose first offset is still a lane of its own, or was merged into a lane
        // that stands apart from the ring, meets the hole in the merges themselves; only those
        // merged into the ring are cut out here.
        const int first = island_first_lane(n);
        if (first == 0 || lane_live(first)) continue;
        lane_to_pokarr(first, island.a, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return false;
        }
        const bool apart = island.a.count < 1 || lane_boxes_apart(lane_l, hole.a, first, island.a, status);
        if (status != 0) return false;
        if (apart || island_apart_from_ring(n, lane_l)) continue;
        // A first offset that only touches the hole (one bounding the ring) gives no cut.
        bool cut = false;
        if (cut_by_island(hole.a, island.a, cut)) changed = changed || cut;
    }
    if (!changed) return false;
    const int stage = lt.status[lane_l];
    lane_add(stage, lt.level[lane_l], lt.parent[lane_l], lane_l, 0, lt.offset[lane_l], lt.contour_type[lane_l], hole.a,
             status);
    if (status != 0) return false;
    const int left = lt.count;
    lt.group[left] = lt.group[lane_l];
    // What the cut leaves must be clear of every island; otherwise the hole stays as it was (and
    // ends), the part left closed.
    const bool meets = hole_meets_island(left, status);
    if (status != 0 || meets) {
        lt.status[left] = 0;
        return false;
    }
    lt.status[lane_l] = 0;
    return true;
}

bool hole_crosses_branch_lane(pokarr& hole, int& status)
{
    status = 0;
    if (pocket_state_block.pocket_dimension != kPlanar || hole.count < 2) return false;
    const lane_table& lt = lane_table_block;
    double box[4];
    pokarr_box(hole, box);
    pokarr_work branch;
    for (int n = 1; n <= lt.count; ++n) {
        if (lt.group[n] != 0 || !live_branch_lane(n) || lane_box_known_apart(box, n)) continue;
        const bool inside = region_inside(n, branch.a, status);
        if (status != 0) return false;
        if (!inside) continue;
        const int crossings = comlup_crossings(hole, branch.a);
        if (crossings < 0) status = kEngineArrayFailed;
        if (crossings != 0) return crossings > 0;
    }
    return false;
}

void clip_holes_to_branches(int first_new, int& branch_count, int& status)
{
    status = 0;
    if (pocket_state_block.pocket_dimension != kPlanar) return;
    const int last = lane_table_block.count;
    pokarr_work hole;
    for (int h = first_new; h <= last && status == 0; ++h) {
        if (lane_table_block.group[h] == 0 || !live_branch_lane(h)) continue;
        const bool inside = region_inside(h, hole.a, status);
        if (status != 0 || !inside) continue;
        auto parts = std::make_unique<loop_buffer>();
        int link = 0;
        bool crossed = false, held = false;
        hole_parts(h, hole.a, first_new, *parts, link, crossed, held, status);
        if (status == 0 && crossed) replace_hole(h, link, *parts, branch_count, status);
        // The first offsets' merges run while the lanes of the first pass are the branch lanes: a
        // hole that a ring of islands by the wall closes wholly outside them lies between the
        // outer contour's first lane and the wall, where the tool may not go.
        if (status == 0 && !crossed && !held && pocket_work_block.island_stage == kStageOne)
            lane_table_block.status[h] = 0;
        loop_buffer_clear(*parts);
    }
}
