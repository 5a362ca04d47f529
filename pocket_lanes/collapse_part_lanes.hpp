// Lanes where a collapse leaves material farther than half a step from every lane. A collapse
// part is cut along its outline only, which leaves nothing where the part is narrower than a step
// and the tolerance. Where three walls meet about a point standing about a step from each, the
// part the loop removal cuts out of the offset is as wide as the step, and its middle stands
// farther than half a step from its outline: such a part gets the lane at half a step inside it,
// as a branch lane whose offset gave nothing does. And where the walls meet about a point
// standing a little more than half a step from each, the half-step offset leaves there a loop too
// small for a lane: it is kept all the same. The lane loop asks here after the collapse lanes of
// each branch offset, the half-step lane after its offset.
#pragma once

#include "pocket_lanes/collapse_lanes.hpp"
#include "pocket_lanes/one_offset.hpp"

// The lanes at half the engine's step plus the pocket's tolerance inside every collapse lane from
// lane `first` to lane `last` that leaves room for them, each on a branch of its own
// (`branch`.branch_count raised), with the branch's source lane as parent and the branch
// offset's pass. Answers 0, or the first result of an offset other than "nothing made" (1 and
// 13), which the caller judges as it judges the branch offset's; 11 when a lane cannot be read.
int collapse_part_lanes(const oneoff_request& branch, int first, int last);

// After the half-step offset `half` of `source` (the lanes it made from lane `first_new` on,
// `result` its result), the pieces of the wanted direction that an offset of `source` by
// `half`.distance cut out as too small for a lane (`pieces`, collapse_lanes.hpp) that are no
// crumbs (lane_measures.hpp) and lie inside the source at that distance from it (less the
// tolerance) are recorded as lanes as the offset records its own (contour type kContourCollapse).
// Answers 0 when the offset or this step made a lane, `result` otherwise, or the code of lane_add.
int collapse_half_step_spots(const oneoff_request& half, const collapse_pieces& pieces, const pokarr& source,
                             int first_new, int result);
