// A new loop against the islands and the outer lanes of the pocket: the lane engine asks
// loop_in_islands for every offset, the common loops ask the lane and cross/inside tests. Each
// island or lane is read from the lane table into a work array, located against the loop's
// first point (pnt_in_pokarr) and, where the test asks, crossed with the loop (LUPLUP).
#include "pocket_lanes/loop_relation.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/level_lanes.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// An island or outer lane of this contour type (open) is passed over by the island tests.
constexpr int kContourOpen = 2;
constexpr int kLuplupHeights = 102;
constexpr int kLuplupHeightDifference = 4;

// A work array that gives its block back on every path.
struct work_array {
    pokarr a;
    explicit work_array(int dimension) { pokarr_init(dimension, a); }
    ~work_array() { pokarr_free(a); }
    work_array(const work_array&) = delete;
    work_array& operator=(const work_array&) = delete;
};

// Lanes are read in the pocket's dimension, without the normals of dimension 4.
int work_dimension() { return pocket_state_block.pocket_dimension >= 3 ? 3 : 2; }

// A lane that cannot be read into its work array is a memory failure of the inside tests (11):
// the callers tell it from a refusal by that code, so it must not reach them as -1.
void lane_read_failed(int& status)
{
    if (status != 0) status = kInsideFailed;
}

// Whether the island crosses the loop (1), not (0), or the search failed (negative).
int island_crosses(pokarr& island, const pokarr& loop)
{
    int status = 0;
    pokarr_intersect_test(kLuplupFirstOnly, island, loop, status);
    return status;
}

// The loop's first point against the lane; status 11 when the test cannot be made.
int first_point_in(const pokarr& loop, const pokarr& lane, int& status)
{
    int result = kLoopOutside;
    pnt_in_pokarr(loop.x[0], loop.y[0], lane, result, status);
    if (status != 0) status = kInsideFailed;
    return result;
}

// The lane's box misses the island's box (the test of the lane engine: a lane minimum not below
// the island maximum, or a lane maximum below the island minimum, in x or y).
bool boxes_miss(const double* lane, const double* island)
{
    return !(lane[0] < island[2]) || lane[2] < island[0] || !(lane[1] < island[3]) || lane[3] < island[1];
}

// Reads lane n (0: none) into the work array; a failed read is a memory failure (11).
void read_found(int n, pokarr& lane, int& status)
{
    status = 0;
    if (n == 0) return;
    lane_to_pokarr(n, lane, status);
    lane_read_failed(status);
}

// Reads island k for loop_in_islands: in modes 1 and 2 the contour lane k + 1 as first loaded,
// otherwise the live lane of its level. found 0 when there is none.
void read_island(int mode, int k, pokarr& island, int& found, int& status)
{
    status = 0;
    found = 0;
    if (mode == kIslandsPointOrBoundary || mode == kIslandsPointInside) {
        found = k + 1;
        if (found > lane_table_block.count) {
            found = 0;
            return;
        }
        lane_to_pokarr(found, island, status);
        lane_read_failed(status);
        return;
    }
    lane_find(0, 0, kLevelIsland + k, 0, found, island, status);
    lane_read_failed(status);
}

// The 3-D decision of the island tests: the crossing row with the smallest height difference.
// Within the pocket's tolerance the loop meets the island (2); otherwise the surface walk would
// decide, which this module does not carry (status -2).
int height_decision(pokarr& island, const pokarr& loop, int& status)
{
    const auto rows = loop_crossings(kLuplupHeights, island, loop, status);
    if (status < 0 || rows->count <= 0) return 0;
    double smallest = std::fabs(rows->z_a[0] - rows->z_b[0]);
    for (int i = 1; i < rows->count; ++i) smallest = std::min(smallest, std::fabs(rows->z_a[i] - rows->z_b[i]));
    if (smallest < pocket_work_block.tolerance) return kLoopOnBoundary;
    status = kRelationNoSurface;
    return 0;
}

// Whether a vertex of the loop lies on that side of the lane (kLoopInside or kLoopOutside), off
// its boundary: a loop that only touches a lane, running along it, has none on the far side.
bool vertex_on_side(const pokarr& loop, const pokarr& lane, int side, int& status)
{
    inside_loop prepared;
    inside_loop_make(lane, prepared);
    for (int k = 0; k < loop.count; k += k + 1 < loop.count && pk_is_marker(loop.x[k + 1]) ? kArcRecordEntries : 1) {
        int where = kLoopOnBoundary;
        pnt_in_inside_loop(loop.x[k], loop.y[k], prepared, where, status);
        if (status != 0) {
            status = kInsideFailed;
            return false;
        }
        if (where == side) return true;
    }
    return false;
}

// An island that crosses the loop decides the two island tests of the common loops: the loop
// meets it (2). A failed search also ends the scan, its status handed on.
bool crossing_decides(pokarr& island, const pokarr& loop, int& result, int& status)
{
    const int crossing = island_crosses(island, loop);
    if (crossing < 0) status = crossing;
    if (crossing == 0) return false;
    result = kLoopOnBoundary;
    return true;
}

// The loop's box widened by kApartBoxReach; false for a loop of one point or a box that is not
// a box of numbers.
bool reach_box(const pokarr& loop, double* box)
{
    if (loop.count < 2) return false;
    pokarr_box(loop, box);
    box[0] -= kApartBoxReach, box[1] -= kApartBoxReach, box[2] += kApartBoxReach, box[3] += kApartBoxReach;
    return box[0] <= box[2] && box[1] <= box[3] && std::isfinite(box[0]) && std::isfinite(box[1]) &&
           std::isfinite(box[2]) && std::isfinite(box[3]);
}

// Common scan of the two island tests of the common loops: every closed island not of level_a or
// level_b, until one decides. A loop in 3-D is decided by the heights of its crossings, a planar
// one by planar_test (the two tests differ only in the order of their planar questions).
template <class PlanarTest>
void scan_islands(const pokarr& loop, int level_a, int level_b, int& result, int& status, PlanarTest planar_test)
{
    const lane_table& lt = lane_table_block;
    result = 0;
    status = 0;
    if (loop.count < 1) return;
    const bool planar = loop.dimension == 2;
    work_array island(work_dimension());
    const std::vector<int> islands = found_lanes(kLevelIsland + 1, kLevelIsland + lt.island_count, 0);
    double reach[4];
    const bool boxed = reach_box(loop, reach);
    for (int k = 1; k <= lt.island_count; ++k) {
        const int level = kLevelIsland + k;
        if (level == level_a || level == level_b) continue;
        const int found = islands[static_cast<std::size_t>(k - 1)];
        // An island whose cached box lies apart from the loop's reach decides nothing: unread.
        if (boxed && found != 0 && lane_box_known_apart(reach, found)) continue;
        read_found(found, island.a, status);
        if (status != 0) return;
        if (found == 0 || lt.contour_type[found] == kContourOpen) continue;
        bool decided = false;
        if (planar) {
            decided = planar_test(island.a, result, status);
        } else {
            result = height_decision(island.a, loop, status);
            decided = result != 0;
        }
        if (decided || status != 0) return;
    }
}

}  // namespace

void loop_in_islands(int mode, int skip_level, int lane, const pokarr& loop, int& result, int& status)
{
    const lane_table& lt = lane_table_block;
    result = 0;
    status = 0;
    if (loop.count < 1) return;
    work_array island(work_dimension()), lane_points(work_dimension());
    double lane_box_xy[4] = {0.0, 0.0, 0.0, 0.0};
    const bool boxed = lane >= 1 && lane <= lt.count;
    if (boxed) {
        lane_to_pokarr(lane, lane_points.a, status);
        lane_read_failed(status);
        if (status == 0) lane_box(lane, -1, lane_points.a, lane_box_xy, status);
        if (status != 0) return;
    }
    for (int k = std::max(1, lt.stock_islands + 1); k <= lt.island_count; ++k) {
        if (kLevelIsland + k == skip_level) continue;
        int found = 0;
        read_island(mode, k, island.a, found, status);
        if (status != 0) return;
        if (found == 0 || lt.contour_type[found] == kContourOpen) continue;
        if (boxed) {
            double island_box[4];
            lane_box(found, -1, island.a, island_box, status);
            if (status != 0) return;
            if (boxes_miss(lane_box_xy, island_box)) continue;
        }
        const int inside = first_point_in(loop, island.a, status);
        if (status != 0) return;
        if (mode == kIslandsPointOrBoundary || mode == kIslandsPointInside) {
            if (mode == kIslandsPointInside ? inside == kLoopInside : inside != kLoopOutside) {
                result = inside;
                return;
            }
            continue;
        }
        // The other modes ask only whether an island meets the loop: where the first point lies
        // is not their answer, so a loop wholly inside an island gives 0.
        const int crossing = island_crosses(island.a, loop);
        if (crossing < 0) {
            status = crossing;
            return;
        }
        if (crossing > 0) {
            result = kLoopOnBoundary;
            return;
        }
    }
}

void loop_in_island_cross_first(const pokarr& loop, int level_a, int level_b, int& result, int& status)
{
    // With no island crossing the loop or holding its first point (no island at all included)
    // the answer is 0: the leftover lanes of a pocket without islands are kept like the others.
    scan_islands(loop, level_a, level_b, result, status, [&](pokarr& island, int& r, int& st) {
        if (crossing_decides(island, loop, r, st)) return true;
        if (first_point_in(loop, island, st) == kLoopInside) {
            r = kLoopInside;
            return true;
        }
        return false;
    });
}

void loop_in_island_inside_first(const pokarr& loop, int level_a, int level_b, int& result, int& status)
{
    scan_islands(loop, level_a, level_b, result, status, [&](pokarr& island, int& r, int& st) {
        const int inside = first_point_in(loop, island, st);
        if (st != 0 || inside != kLoopOutside) {
            r = inside;
            return true;
        }
        return crossing_decides(island, loop, r, st);
    });
}

bool loop_crosses_lanes(int levels, const pokarr& loop, int& status)
{
    status = 0;
    if (loop.count < 1 || loop.dimension != 2) return false;
    work_array lane(work_dimension());
    for (const int found : found_lanes(1, levels, 1)) {
        if (found == 0 || lane_table_block.level[found] >= kLevelSeparator) continue;
        read_found(found, lane.a, status);
        if (status != 0) return false;
        const int crossing = island_crosses(lane.a, loop);
        if (crossing < 0) {
            status = crossing;
            return false;
        }
        if (crossing > 0 && vertex_on_side(loop, lane.a, kLoopInside, status)) return true;
        if (status != 0) return false;
    }
    return false;
}

void loop_in_lanes(int levels, pokarr& loop, int& result, int& status)
{
    const lane_table& lt = lane_table_block;
    const int incoming = result;
    result = 0;
    status = 0;
    if (loop.count < 1) return;
    const bool planar = loop.dimension == 2;
    const bool group_option = pocket_state_block.group_option != 0;
    work_array lane(work_dimension());
    int tested = 0, last = 0;
    const std::vector<int> live = found_lanes(1, levels, 1);
    for (int level = 1; level <= levels && result == 0; ++level) {
        const int found = live[static_cast<std::size_t>(level - 1)];
        read_found(found, lane.a, status);
        if (status != 0) return;
        if (found == 0) continue;
        if (group_option) {
            const int parent = lt.parent[found];
            const bool parent_is_contour = parent >= 1 && parent <= lt.count && lt.status[parent] == 0;
            const int contour = parent_is_contour ? parent : found;
            if (lt.group[found] != 0 || lt.contour_type[contour] == kContourOpen) continue;
        }
        ++tested;
        last = found;
        int relation = 0;
        if (planar) {
            relation = first_point_in(loop, lane.a, status);
        } else {
            const int side = lt.level[found] < kLevelIsland ? 1 : -1;
            pokarr_relation(lane.a, loop, side, pocket_work_block.engine_step, relation, status);
        }
        if (status != 0) return;
        if (relation == kLoopInside) result = kLoopInside;
    }
    if (tested > 0 && lt.count >= 1 && lt.contour_type[1] == kContourOpen) {
        const auto rows = loop_crossings(kLuplupHeightDifference, loop, lane.a, status);
        if (status < 0) return;
        if (planar && rows->count > 0) result = kLoopOnBoundary;
        const double offset = lt.offset[last];
        const double step = pocket_work_block.engine_step;
        const double band = 0.5 * (offset > 0.0 ? std::min(step, offset) : step);
        for (int i = 0; !planar && i < rows->count; ++i)
            if (std::fabs(rows->z_a[i]) < band) result = kLoopInside;
    }
    if (tested == 0 && group_option && incoming == -1) result = kLoopInside;
}
