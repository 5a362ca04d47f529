// The ring round a hole lane, found through the lane table's links, and whether the hole is clear
// of every island. Every merge records the two lanes it was made from as the new lanes' links, so
// the lanes a merged island lane was made from are its ancestors along both links; a hole lane's
// first link leads to the lane it was cut from.
#include "pocket_lanes/hole_ring.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/chord_loop.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/engine_codes.hpp"

#include <algorithm>
#include <vector>

namespace {

// The chords that stand for a loop's arcs keep within this share of the pocket's tolerance of
// them: a distance between two sampled loops is then true within a quarter of the tolerance.
constexpr double kChordShare = 0.125;

// The island lane hole L was cut from: back along first links past the holes (lanes with a group)
// that later merges cut L from. 0 when the links lead nowhere.
int hole_source(int lane_l)
{
    const lane_table& lt = lane_table_block;
    int n = lane_l;
    // Links lead to older lanes: a link that does not is a damaged table, and the walk stops.
    while (lane_valid(n) && lt.group[n] != 0) {
        const int from = lt.link1[n];
        if (!lane_valid(from) || from >= n) return 0;
        n = from;
    }
    return lane_valid(n) ? n : 0;
}

// What the lane table says of the islands (contour rows 2 .. last), found in one pass over the
// table when a hole first comes near an island, for every island the hole is held against.
struct island_states {
    bool made = false;
    // Whether the island was ignored (its first offset vanished): its level was closed by an
    // empty lane hung from the contour. By contour row.
    std::vector<char> ignored;
    // The newest live lane of each of the contours' levels, by level less first_level.
    int first_level = 0;
    std::vector<int> newest;
    // The ancestors of the ring lane last asked about: the islands merged into one ring share it.
    ring_ancestors ring;
};

void island_states_make(int last, island_states& states)
{
    const lane_table& lt = lane_table_block;
    states.made = true;
    states.ignored.assign(static_cast<std::size_t>(last) + 1, 0);
    int low = 0, high = -1;
    for (int n = 2; n <= last; ++n) {
        low = n == 2 ? lt.level[n] : std::min(low, lt.level[n]);
        high = n == 2 ? lt.level[n] : std::max(high, lt.level[n]);
    }
    states.first_level = low;
    states.newest.assign(static_cast<std::size_t>(std::max(0, high - low + 1)), 0);
    for (int k = 1; k <= lt.count; ++k) {
        const int row = lt.parent[k];
        if (lt.status[k] < 0 && row >= 2 && row <= last && row < k && lt.level[k] == lt.level[row] &&
            states.ignored[static_cast<std::size_t>(row)] == 0) {
            int points = 0;
            lane_npnts(k, points);
            if (points == 0) states.ignored[static_cast<std::size_t>(row)] = 1;
        }
        if (lane_live(k) && lt.level[k] >= low && lt.level[k] <= high)
            states.newest[static_cast<std::size_t>(lt.level[k] - low)] = k;
    }
}

// The lane that island lanes merged from lane `from` became: the last of the island lanes that
// name it, or a lane that came of it, as a link (0 when none does).
int merged_into(int from)
{
    const lane_table& lt = lane_table_block;
    int last = 0;
    for (int k = from + 1, current = from; k <= lt.count; ++k) {
        if (lt.level[k] <= kLevelIsland || (lt.link1[k] != current && lt.link2[k] != current)) continue;
        current = last = k;
    }
    return last;
}

// An island whose first offset was merged into the lane of an island of another level (a speck's
// offset taken in by its neighbour's) stands where that lane stands.
bool merged_apart_from_ring(int n, int lane_l)
{
    const int merged = merged_into(n);
    return merged != 0 && lane_live(merged) && !lane_is_ring_of_hole(merged, lane_l);
}

// island_apart_from_ring through the states: the newest live lane of the island's level, when
// newer than its contour, is the island's current lane.
// An island merged into another's lane is asked of that lane's ring through the same kept
// ancestors: the specks taken in by one neighbour share its lane.
bool island_apart_from_ring_known(int n, int lane_l, island_states& states)
{
    int k = states.newest[static_cast<std::size_t>(lane_table_block.level[n] - states.first_level)];
    if (k <= n) {
        k = merged_into(n);
        if (k == 0 || !lane_live(k)) return false;
    }
    if (states.ring.lane != k) ring_ancestors_find(k, states.ring);
    return !ring_ancestors_hold_hole(states.ring, lane_l);
}

}  // namespace

void ring_ancestors_find(int lane_j, ring_ancestors& ancestors)
{
    const lane_table& lt = lane_table_block;
    ancestors.lane = lane_valid(lane_j) ? lane_j : 0;
    ancestors.seen.assign(static_cast<std::size_t>(ancestors.lane) + 1, 0);
    if (ancestors.lane == 0) return;
    // Links lead to older lanes; each lane is visited once.
    std::vector<int> open{lane_j};
    ancestors.seen[static_cast<std::size_t>(lane_j)] = 1;
    while (!open.empty()) {
        const int n = open.back();
        open.pop_back();
        for (const int from : {lt.link1[n], lt.link2[n]}) {
            if (from < 1 || from >= n || ancestors.seen[static_cast<std::size_t>(from)] != 0) continue;
            ancestors.seen[static_cast<std::size_t>(from)] = 1;
            open.push_back(from);
        }
    }
}

bool ring_ancestors_hold_hole(const ring_ancestors& ancestors, int lane_l)
{
    const int source = hole_source(lane_l);
    if (source == 0 || ancestors.lane == 0 || source > ancestors.lane) return false;
    return ancestors.seen[static_cast<std::size_t>(source)] != 0;
}

bool lane_is_ring_of_hole(int lane_j, int lane_l)
{
    ring_ancestors ancestors;
    ring_ancestors_find(lane_j, ancestors);
    return ring_ancestors_hold_hole(ancestors, lane_l);
}

bool island_apart_from_ring(int n, int lane_l)
{
    const lane_table& lt = lane_table_block;
    // The level's newest live lane is the island's current lane.
    for (int k = lt.count; k > n; --k)
        if (lt.level[k] == lt.level[n] && lane_live(k)) return !lane_is_ring_of_hole(k, lane_l);
    return merged_apart_from_ring(n, lane_l);
}

bool hole_meets_island(int lane_l, int& status)
{
    status = 0;
    const lane_table& lt = lane_table_block;
    pokarr_work hole(lane_array_dimension()), island(lane_array_dimension());
    lane_to_pokarr(lane_l, hole.a, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return false;
    }
    const double tolerance = pocket_work_block.tolerance;
    const double sagitta = kChordShare * tolerance;
    chord_loop hole_line, island_line;
    chord_loop_make(hole.a, sagitta, hole_line);
    inside_loop inside;
    inside_loop_make(hole.a, inside);
    // The contours are the table's first rows: the outer contour, then one per island.
    const int last = std::min(lt.count, lt.island_count + 1);
    island_states states;
    for (int n = 2; n <= last; ++n) {
        // The island's first offset less the tolerance, with the flattening's error on both loops
        // taken off: a hole that the bounding islands' offsets make keeps its distance.
        const double limit = lt.offset[n] - tolerance + 2.0 * sagitta;
        const double margin = std::max(limit, 0.0);
        double box[4];
        // A contour's box is cached after its first read: most islands stand apart from the hole.
        const bool cached = lt.box_handle != -1 && lt.box_index[n] != -1;
        if (cached) {
            lane_box(n, -1, island.a, box, status);
            if (status != 0) return false;
            if (chord_boxes_apart(hole_line.box, box, margin)) continue;
        }
        lane_to_pokarr(n, island.a, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return false;
        }
        if (island.a.count < 1) continue;
        if (!cached) {
            lane_box(n, -1, island.a, box, status);
            if (status != 0) return false;
            if (chord_boxes_apart(hole_line.box, box, margin)) continue;
        }
        if (!states.made) island_states_make(last, states);
        if (states.ignored[static_cast<std::size_t>(n)] != 0 || island_apart_from_ring_known(n, lane_l, states))
            continue;
        int where = 0;
        pnt_in_inside_loop(island.a.x[0], island.a.y[0], inside, where, status);
        if (status != 0) return false;
        if (where == kLoopInside) return true;
        if (!(limit > 0.0)) continue;
        chord_loop_make(island.a, sagitta, island_line);
        if (chord_loop_distance(limit, hole_line, island_line) < limit) return true;
    }
    return false;
}
