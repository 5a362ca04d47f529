// The region of the clearing point list in the part's plane: tkpolg keeps the polygons of the
// tool-centre boundary it clears in clear_block.region (pocket_arrays/way_region.hpp), and the
// level writer asks whether the straight way between two points stays inside them, so that a pass
// start whose way would pass over an island or out of the pocket rises above the material first.
// clrcls forgets the region with the list.
#pragma once

#include "host/words.hpp"

// Adds one polygon of the region: a count word followed by that many x, y pairs (reals in words,
// the part's frame).
void clr_region_add(const word* polygon);
// Forgets the region.
void clr_region_forget();
