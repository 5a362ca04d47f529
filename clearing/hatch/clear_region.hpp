// The region of the clearing point list in the part's plane: tkpolg keeps the polygons of the
// tool-centre boundary it clears, and the level writer asks whether the straight way between two
// points stays inside them, so that a pass start whose way would pass over an island or out of
// the pocket rises above the material first. clrcls forgets the region with the list.
#pragma once

#include "host/words.hpp"

// Adds one polygon of the region: a count word followed by that many x, y pairs (reals in words,
// the part's frame).
void clr_region_add(const word* polygon);
// Forgets the region.
void clr_region_forget();
// Whether the straight way from a to b (x, y) stays inside the region: every piece of it between
// two crossings of the boundary lies inside (even-odd over all polygons) or within slack of the
// boundary. False when no region is kept.
bool clr_way_in_region(const float* a, const float* b, double slack);
