// The order of the passes of the clearing point list: the linkers build the list pass by pass as
// their walk goes round the contour rings, and clr_order_passes then cuts the passes nearest first
// (pocket_lanes/chain_order.hpp), so that the rises between passes do not cross the region back
// and forth. clr_link_walk calls it once the walk is done.
#pragma once

#include "clearing/hatch/clear_block.hpp"

#include <cstddef>
#include <vector>

// One pass of the list: its pass start and its last point.
struct clearing_pass {
    clearing_point* head;
    clearing_point* tail;
};

// The passes of the list from `head` on, in list order; every pass start (kPassStart or
// kLaterLevelStart) opens one. At most `most` points are read: a longer list gives no passes.
std::vector<clearing_pass> passes_of(clearing_point* head, std::size_t most);

// For every pass, the earlier pass that first cuts through the point it comes down on, or -1: the
// walk starts a pass on a used end, ground an earlier pass has cut, and the order keeps it so.
std::vector<int> pass_predecessors(const std::vector<clearing_pass>& passes);

// Reorders the passes of clear_block's point list: the first pass (which starts where the walk
// starts, near the previous level's end) stays first, then always the nearest pass, from the end
// of the last one to the next one's start, among those whose predecessor is cut. The points and
// the passes themselves stay as the walk made them. Under the surface clearing, which hands
// every pass to its own engine as it ends, the list is left as it is. 0; -1 when the list cannot
// be read (longer than the records its array holds).
int clr_order_passes();
