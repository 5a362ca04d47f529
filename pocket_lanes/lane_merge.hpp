// The merges of the lane loop: branch lanes of this pass against the islands' current lanes
// (lancom), and island lanes against each other (ilscom). Where two lanes cross, the common
// loops (comlup_pokarr) replace them with new lanes; where one holds the other, the one inside
// ends. The lane loop calls them after each pass's offsets.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Island counts above this make ilscom compare the two lanes' boxes before it combines them.
inline constexpr int kIlscomBoxTestIslands = 20;

// Merges each branch's lane of the pass with the islands' lanes of the stage. island_count (the
// islands still apart) falls for every island taken in. Status 0, 10, 11 or 15 from a failed step,
// or 14 when every branch ended inside an island in pass 1 (whatever the status was). Reads
// pocket_work.reversed_islands and pocket_box.island_count; uses the lane table's pair memory
// and box cache.
void lancom(int pass, int island_stage, int& branch_count, int& island_count, int touch_switch, int& status);

// Merges the islands' lanes of the stage that meet, and lets a merged lane absorb the islands it
// holds. island_count falls by one per merge and by two where the common loops leave nothing.
// Status 0, 10, 11 or 15 from the common loops, -1 for a failed crossing test, or a host array's
// status. Reads pocket_box.island_count and the lane table's island count.
void ilscom(int& branch_count, int pass, int island_stage, int& island_count, int& status);

// After ilscom: a hole between merged island lanes (a live branch lane with a group, from lane
// first_new on, running counter-clockwise) that crosses a branch lane made before it is replaced
// by its parts inside the branch lanes it crosses: the first part keeps the hole's level, each
// other one opens a new branch (branch_count raised); with no part left the hole ends, and so does
// a hole of the first island offsets inside none of them (between the first pass and the wall).
// Planar pockets only; reads pocket_work.island_stage. Status 0, 11 when a lane cannot be read or
// cut, or the code of lane_add.
void clip_holes_to_branches(int first_new, int& branch_count, int& status);
// Whether a hole's loop (planar, running counter-clockwise) crosses a live branch lane without a
// group that runs counter-clockwise: clip_holes_to_branches then keeps its parts inside. False
// outside a planar pocket. Status 0, or 11 when a lane cannot be read or the crossing search fails.
bool hole_crosses_branch_lane(pokarr& hole, int& status);
// A hole between merged island lanes (L, running counter-clockwise) that islands merged into its
// ring after it was cut reach into: L is replaced by its part outside the first offsets of the
// islands whose first offset crosses it, a lane of L's level, status, parent and group, first link
// L and no second link; L's status becomes 0. Answers whether it was; not where a cut fails or
// would leave several loops, where no first offset crosses L, for a hole already cut back, or outside a
// planar pocket. Status 0, or 11 when a lane cannot be read or cut, or the code of lane_add.
bool cut_hole_back(int lane_l, int& status);

// After branch lane L of the pass merged with lane J, an island's second offset: where L ran
// between J and the island's first lanes (those J was made from), the merge cut L away, and L's
// source and the island's lane may stand more than a step apart there. Every part of J's region
// reaching beyond L (the loops the merge dropped, common_loops.hpp), cut to what lies outside the
// first lanes, that holds a point farther than twice the tolerance from them and than a step from
// the part's corners becomes a lane of the pass on a new branch (branch_count raised): a collapse
// lane running counter-clockwise, with the parent and first link given and second link L.
// Status 0, 11 when a lane cannot be read, or the code of lane_add. Reads pocket_work
// (engine_step, tolerance).
// Where the island's lane beyond L turns (a corner of L cut away inside J, beside a corner of the
// source), the material half a step out from it that stands farther than half a step (and half the
// tolerance) from the source, the merge's lanes (first_new on) and the live lanes of other islands
// gets a lane along the middle between the island's lane and those lanes, laid out and back, as
// such a collapse lane.
void keep_island_gap_lanes(int lane_l, int lane_j, int parent, int first_new, int pass, int& branch_count, int& status);
// After branch lane L of the pass ended inside lane J, an island's second offset, that it took in:
// L ran between J and the island's first lanes all round. Where the first lanes round a corner
// that L's source turns sharply (a rounded corner of the island's lane beside a square corner of
// the source), they stand farther than a step apart beside the corner, and the merge left no lane
// there. Every part of L's region outside the first lanes that holds a point farther than twice
// the tolerance from them becomes a lane as keep_island_gap_lanes makes them; where the first
// lanes run outside L, the material left between them and the source gets a lane along the middle
// as there. Status as there.
void keep_island_corner_lanes(int lane_l, int lane_j, int parent, int pass, int& branch_count, int& status);
// What the islands' second offsets become when a branch takes them in (lancom's merges, and the
// islands no branch took in by the end of the lane loop): lane J of the second stage closes its
// island's chain, status -2, unless an earlier lane of its level already does (then 0).
int taken_second_offset_status(int lane_j);
// Whether lane n is a first offset (status 1) of island level `level` or hangs from J.
bool first_offset_under(int n, int lane_j, int level);
// Every such first offset hangs under lane `under`; the last of the level in lane order becomes
// J's parent, so that J, closing the chain, leads to it. Answers how many were hung.
int hang_first_offsets(int lane_j, int level, int under);

// After the last pass: an island lane J of the second stage still live is one that no branch took
// in; it stands apart from every chain. When one live branch lane holds all of the island's first
// offsets (J itself when it has none), the innermost one, running counter-clockwise, and no branch
// lane crosses them or lies in them, that lane takes the island in as a merge does: J closes the
// island's chain and the first offsets hang under the lane (J, without first offsets, hangs under
// it and is closed). When they and J lie outside every branch lane, meeting none, the island
// stands beyond the outer contour's first offset, outside the material: they end (status 0), and
// so do the closing lanes that led to them. Any other island is left as it is, for the cut to
// report. Status 0, 11 when a lane cannot be read, or a failed box, inside or crossing test's
// status. Reads the lane table and its box cache.
void close_apart_islands(int island_stage, int& status);
