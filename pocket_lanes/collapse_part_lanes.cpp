// Lanes where a collapse leaves material farther than half a step from every lane: the half-step
// lane of each collapse lane whose middle stands farther than that and the tolerance from its
// outline, and the spots too small for a lane that the half-step offset leaves; and the search for
// a point deeper than a depth that finds that middle (the collapse lanes' test of a wide part's
// material asks it too). The lane loop calls collapse_part_lanes after recording the collapse
// lanes of a branch offset; the half-step lane calls collapse_half_step_spots after its offset.
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

// A square cell of the search: its centre, half its side, the measure at its centre and the most
// it may reach in the cell.
struct depth_cell {
    double x, y, half, depth, most;
};

depth_cell depth_cell_at(const point_measure& measure, double x, double y, double half)
{
    const double d = measure(x, y);
    return {x, y, half, d, d + half * std::numbers::sqrt2};
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
        double x = 0.0, y = 0.0;
        if (!collapse_part_deep_point(part.a, reach + kDepthShare * w.tolerance, x, y)) continue;
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

outline_distance::outline_distance(const pokarr& loop) : loop_(loop) { pokarr_nearest_index(loop, index_); }

bool outline_distance::box(double* out) const
{
    if (index_.box.empty()) return false;
    // The blocks' boxes hold the loop (an arc by its circle).
    out[0] = index_.box[0], out[1] = index_.box[1], out[2] = index_.box[2], out[3] = index_.box[3];
    for (std::size_t b = 4; b + 3 < index_.box.size(); b += 4) {
        out[0] = std::min(out[0], index_.box[b]), out[1] = std::min(out[1], index_.box[b + 1]);
        out[2] = std::max(out[2], index_.box[b + 2]), out[3] = std::max(out[3], index_.box[b + 3]);
    }
    return true;
}

double outline_distance::operator()(double x, double y) const
{
    const double point[2] = {x, y};
    double nearest[3] = {0.0, 0.0, 0.0}, t = 0.0, d = 0.0;
    int k = 0;
    pokarr_nearest_pnt_indexed(kPlanar, point, loop_, index_, k, t, nearest, d);
    return horn_tail_point_side_in_loop(loop_, x, y) == ray_side::outside ? -d : d;
}

bool collapse_deep_point(const double* box, double depth, double cell, const point_measure& measure, double& x,
                         double& y)
{
    const auto shallower = [](const depth_cell& a, const depth_cell& b) { return a.most < b.most; };
    std::priority_queue<depth_cell, std::vector<depth_cell>, decltype(shallower)> cells(shallower);
    const double side = std::max(box[2] - box[0], box[3] - box[1]);
    cells.push(depth_cell_at(measure, 0.5 * (box[0] + box[2]), 0.5 * (box[1] + box[3]), 0.5 * side));
    for (int split = 0; !cells.empty(); ++split) {
        const depth_cell c = cells.top();
        cells.pop();
        x = c.x, y = c.y;
        if (c.depth > depth) return true;
        if (!(c.most > depth) || c.half < 0.5 * cell) continue;
        if (split >= kMostCells) return true;
        const double h = 0.5 * c.half;
        for (const double dx : {-h, h})
            for (const double dy : {-h, h}) cells.push(depth_cell_at(measure, c.x + dx, c.y + dy, h));
    }
    return false;
}

double collapse_depth_cell() { return kCellShare * pocket_work_block.tolerance; }

bool collapse_part_deep_point(const pokarr& part, double depth, double& x, double& y)
{
    double area = 0.0;
    int direction = 0;
    pokarr copy = part;  // the area is cached in the header
    pokarr_area_dir(copy, area, direction);
    // A disc of that radius needs that much room, and a part that fits between two lines twice
    // the depth apart (a thin horn, most collapse parts) holds none. Where three walls meet about a
    // point a little farther than the depth from each, the search finds that point.
    if (!(area > std::numbers::pi * depth * depth) || loop_hull_width(part, kWidthChordShare * depth) <= 2.0 * depth)
        return false;
    const outline_distance outline(part);
    double box[4];
    return outline.box(box) && collapse_deep_point(box, depth, collapse_depth_cell(), outline, x, y);
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
