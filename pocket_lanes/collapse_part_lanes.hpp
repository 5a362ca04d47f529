// Lanes inside wide collapse parts. A collapse part is cut along its outline only, which leaves
// nothing where the part is narrower than a step and the tolerance. Where three walls meet about
// a point standing about a step from each, the part the loop removal cuts out of the offset is as
// wide as the step, and its middle stands farther than half a step from its outline: such a part
// gets the lane at half a step inside it, as a branch lane whose offset gave nothing does. The
// lane loop asks here after the collapse lanes of each branch offset.
#pragma once

#include "pocket_lanes/one_offset.hpp"

// The lanes at half the engine's step plus the pocket's tolerance inside every collapse lane from
// lane `first` to lane `last` that leaves room for them, each on a branch of its own
// (`branch`.branch_count raised), with the branch's source lane as parent and the branch
// offset's pass. Answers 0, or the first result of an offset other than "nothing made" (1 and
// 13), which the caller judges as it judges the branch offset's; 11 when a lane cannot be read.
int collapse_part_lanes(const oneoff_request& branch, int first, int last);
