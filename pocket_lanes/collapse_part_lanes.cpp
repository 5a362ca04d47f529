// Lanes where a collapse leaves material farther than half a step from every lane: the half-step
// lane of each collapse lane whose middle stands farther than that and the tolerance from its
// outline, and the spots too small for a lane that the half-step offset leaves. The lane loop
// calls collapse_part_lanes after recording the collapse lanes of a branch offset; the half-step
// lane calls collapse_half_step_spots after its offset.
#include "pocket_lanes/collapse_part_lanes.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/collapse_horn_tail.hpp"
#include "pocket_lanes/collapse_lanes.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/lane_measures.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <queue>
#include <vector>

namespace {

constexpr int kPlanar = 2;

// The flattening of the width measure of a part: a tenth of the reach it is held against.
constexpr double kWidthChordShare = 0.1;
// A part gets a lane where it holds material farther than the reach and this share of the
// tolerance from its outline: a part barely deeper than the reach gives a half-step lane or spot
// no wider than the tolerance, a pass of no width cut there and back. The search for that
// material stops at cells this share of the tolerance across.
constexpr double kDepthShare = 1.0;
constexpr double kCellShare = 0.25;
// Cells the search for the deepest point of a part splits at most.
constexpr int kMostCells = 4096;

// A square cell of the search: its centre, half its side, the centre's distance from the part's
// outline (negative outside the part) and the most any point of the cell may stand from it.
struct depth_cell {
    double x, y, half, depth, most;
};

depth_cell depth_cell_at(const pokarr& part, const pk_nearest_index& index, double x, double y, double half)
{
    const double point[2] = {x, y};
    double nearest[3] = {0.0, 0.0, 0.0}, t = 0.0, d = 0.0;
    int k = 0;
    pokarr_nearest_pnt_indexed(kPlanar, point, part, index, k, t, nearest, d);
    if (horn_tail_point_side_in_loop(part, x, y) == ray_side::outside) d = -d;
    return {x, y, half, d, d + half * std::numbers::sqrt2};
}

// Whether some point of the part stands farther than `depth` from its outline: cells of the
// part's box are split, deepest bound first, until one's centre stands that far, or every cell
// left is smaller than `cell` or cannot hold such a point. A part whose search runs out of cells
// counts as deep, so that an undecided part is offset.
bool holds_depth(const pokarr& part, double depth, double cell)
{
    pk_nearest_index index;
    pokarr_nearest_index(part, index);
    if (index.box.empty()) return false;
    // The blocks' boxes hold the part (an arc by its circle).
    double low_x = index.box[0], low_y = index.box[1], high_x = index.box[2], high_y = index.box[3];
    for (std::size_t b = 4; b + 3 < index.box.size(); b += 4) {
        low_x = std::min(low_x, index.box[b]), low_y = std::min(low_y, index.box[b + 1]);
        high_x = std::max(high_x, index.box[b + 2]), high_y = std::max(high_y, index.box[b + 3]);
    }
    const auto shallower = [](const depth_cell& a, const depth_cell& b) { return a.most < b.most; };
    std::priority_queue<depth_cell, std::vector<depth_cell>, decltype(shallower)> cells(shallower);
    const double side = std::max(high_x - low_x, high_y - low_y);
    cells.push(depth_cell_at(part, index, 0.5 * (low_x + high_x), 0.5 * (low_y + high_y), 0.5 * side));
    for (int split = 0; !cells.empty(); ++split) {
        const depth_cell c = cells.top();
        cells.pop();
        if (c.depth > depth) return true;
        if (!(c.most > depth) || c.half < 0.5 * cell) continue;
        if (split >= kMostCells) return true;
        const double h = 0.5 * c.half;
        for (const double dx : {-h, h})
            for (const double dy : {-h, h}) cells.push(depth_cell_at(part, index, c.x + dx, c.y + dy, h));
    }
    return false;
}

// Whether the spot lies inside the source and every vertex of it stands the distance less the
// tolerance or more from it: a piece of the raw offset cut out elsewhere (beyond a concave
// corner, outside the source) is no spot of the region.
bool spot_of_region(const pokarr& spot, const pokarr& source, double distance)
{
    int inside = 0, status = 0;
    pnt_in_pokarr(spot.x[0], spot.y[0], source, inside, status);
    if (status != 0 || inside != kLoopInside) return false;
    const double least = distance - pocket_work_block.tolerance;
    for (int i = 1; i < spot.count;) {
        const chain_element e = chain_element_at(spot.x, spot.y, spot.count, i);
        if (!e.valid) return false;
        i = e.next;
        const double point[2] = {spot.x[e.end], spot.y[e.end]};
        double nearest[3] = {0.0, 0.0, 0.0}, t = 0.0, d = 0.0;
        int k = 0;
        pokarr_nearest_pnt(kPlanar, point, source, k, t, nearest, d);
        if (k == 0 || d < least) return false;
    }
    return true;
}

}  // namespace

int collapse_part_lanes(const oneoff_request& branch, int first, int last)
{
    const lane_table& lt = lane_table_block;
    const pocket_work& w = pocket_work_block;
    const double reach = 0.5 * w.engine_step + w.tolerance;
    pokarr_work part;
    for (int n = first; n <= last; ++n) {
        if (lt.contour_type[n] != kContourCollapse) continue;
        int status = 0;
        lane_to_pokarr(n, part.a, status);
        if (status != 0) return kEngineArrayFailed;
        double area = 0.0;
        int direction = 0;
        pokarr_area_dir(part.a, area, direction);
        // A disc of the reach needs that much room, and a part that fits between two lines twice
        // the reach apart (a thin horn, most collapse parts) holds none. Where three walls meet
        // about a point a little farther than the reach from each, the search finds that point.
        if (!(area > std::numbers::pi * reach * reach) ||
            loop_hull_width(part.a, kWidthChordShare * reach) <= 2.0 * reach ||
            !holds_depth(part.a, reach + kDepthShare * w.tolerance, kCellShare * w.tolerance))
            continue;
        // The lanes open a branch of their own; the number goes back when none was made.
        int& branches = *branch.branch_count;
        oneoff_request inner = branch;
        inner.level = ++branches;
        const int before = lt.count;
        const int result = collapse_half_step(inner, part.a, nullptr);
        if (lt.count == before && branches == inner.level) --branches;
        if (result != 0 && result != kOneoffNoOffset && result != kEngineEndLoopSmall) return result;
    }
    return 0;
}

int collapse_half_step_spots(const oneoff_request& half, const collapse_pieces& b, const pokarr& source, int first_new,
                             int result)
{
    const lane_table& lt = lane_table_block;
    bool level_taken = false;
    for (int n = first_new; n <= lt.count && !level_taken; ++n) level_taken = lt.level[n] == half.level;
    std::vector<double> x, y;
    std::size_t first = 0;
    for (const int count : b.counts) {
        x.assign(b.x.begin() + static_cast<std::ptrdiff_t>(first),
                 b.x.begin() + static_cast<std::ptrdiff_t>(first + count));
        y.assign(b.y.begin() + static_cast<std::ptrdiff_t>(first),
                 b.y.begin() + static_cast<std::ptrdiff_t>(first + count));
        first += static_cast<std::size_t>(count);
        pokarr spot;
        pokarr_init(kPlanar, spot);
        int status = 0;
        pokarr_init_static(kPlanar, x.data(), y.data(), nullptr, nullptr, count, count, spot, status);
        double area = 0.0;
        int direction = 0;
        if (status == 0) pokarr_area_dir(spot, area, direction);
        // A larger piece of the offset's direction was judged as a lane: noted, it crossed its
        // source.
        if (status == 0 && direction == 1 && !(area > kOuterMinArea) && !loop_is_crumb(spot, area) &&
            spot_of_region(spot, source, half.distance)) {
            const int level = level_taken ? ++*half.branch_count : half.level;
            level_taken = true;
            lane_add(half.pass, level, half.source_lane, half.source_lane, 0, half.distance, kContourCollapse, spot,
                     status);
            if (status != 0) {
                pokarr_free(spot);
                return status;
            }
            result = 0;
        }
        pokarr_free(spot);
    }
    return result;
}
