// Whether an island lane is the ring round a hole lane, and whether such a hole is clear of the
// islands: the merged island lanes that close a ring leave the region inside it as a hole lane (a
// branch lane with a group), and the later merges of the ring follow it through the lane table's
// links. The branch merge (lancom) asks both so as not to end a hole inside its own ring while no
// island reaches into it.
#pragma once

#include <vector>

// Whether island lane J was merged, directly or through later merges, from the island lane that
// hole lane L was cut from (the first lane without a group back along L's first links, which lead
// from a hole to the hole it was cut from by a later merge). Reads the lane table's links and groups.
bool lane_is_ring_of_hole(int lane_j, int lane_l);

// The same asked of one island lane for many hole lanes: J's ancestors along both links, found
// once (no lane's links change after it is appended), then each hole's source looked up in them.
struct ring_ancestors {
    int lane = 0;            // J (0: not a valid lane, the ring of no hole)
    std::vector<char> seen;  // 1 for J and each of its ancestors, by lane number up to J
};
void ring_ancestors_find(int lane_j, ring_ancestors& ancestors);
bool ring_ancestors_hold_hole(const ring_ancestors& ancestors, int lane_l);

// Whether the island of contour row n stands as a live lane that is not the ring round hole lane
// L: a lane of its own level (its first offset merged with other islands kept apart from the
// ring), or the live lane of another island that its first offset was merged into: such
// an island meets the hole in the merges themselves, as a lane of its own, and is neither cut out
// of the hole nor held against it here. Reads the lane table's levels, statuses and links.
bool island_apart_from_ring(int n, int lane_l);

// Whether an island reaches into hole lane L: its contour stands inside L, or comes nearer L than
// the island's first offset less the pocket's tolerance. The islands merged into the ring after
// the hole was cut, or taken in by it, are not cut out of the hole: such a hole's lanes would run
// inside their offsets. Islands whose first offset vanished (ignored), and islands apart from the
// ring (island_apart_from_ring), do not count.
// Status 0, or 11 when a lane cannot be read; a failed inside test hands its status on. Reads the
// lane table (the contours are its first rows, each with its first offset) and
// pocket_work.tolerance.
bool hole_meets_island(int lane_l, int& status);
