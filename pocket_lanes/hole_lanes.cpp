// Holes of merged island lanes cut back to the branch lanes. Where island lanes merge in a ring,
// the hole the ring leaves becomes a branch lane of its own, bounded by the island lanes alone.
// A ring of islands standing by the wall closes beyond the outer contour's lane, so that the hole
// reaches past it toward the wall: only its parts inside the branch lane it crosses are material
// the pass may cut.
#include "pocket_lanes/lane_merge.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/common_loops.hpp"
#include "pocket_lanes/engine_codes.hpp"

#include <memory>

namespace {

constexpr int kCounterClockwise = 1;
constexpr int kPlanar = 2;

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

// Boxes apart: no crossing.
bool boxes_apart(int lane_a, const pokarr& a, int lane_b, const pokarr& b, int& status)
{
    double box_a[4], box_b[4];
    lane_box(lane_a, -1, a, box_a, status);
    if (status == 0) lane_box(lane_b, -1, b, box_b, status);
    return status == 0 && (box_a[0] > box_b[2] || box_a[2] < box_b[0] || box_a[1] > box_b[3] || box_a[3] < box_b[1]);
}

// The parts of hole lane h inside the branch lanes before lane `first_new` that it crosses;
// `crossed` false when it crosses none (the hole stays as it is).
void hole_parts(int h, pokarr& hole, int first_new, loop_buffer& parts, int& link, bool& crossed, int& status)
{
    crossed = false;
    pokarr_work branch;
    for (int n = 1; n < first_new && status == 0; ++n) {
        if (n == h || !live_branch_lane(n)) continue;
        const bool inside = region_inside(n, branch.a, status);
        if (status != 0 || !inside || boxes_apart(h, hole, n, branch.a, status)) continue;
        int crossings = 0;
        if (!comlup_inside_loops(hole, branch.a, parts, crossings)) status = kEngineArrayFailed;
        if (crossings > 0) {
            crossed = true;
            link = n;
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

}  // namespace

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
        bool crossed = false;
        hole_parts(h, hole.a, first_new, *parts, link, crossed, status);
        if (status == 0 && crossed) replace_hole(h, link, *parts, branch_count, status);
        loop_buffer_clear(*parts);
    }
}
