// Removal of redundant points from offset loops: doubled points and points on nearly straight
// runs, with a check that the removed points stay near the chord that replaces them. Arc
// records stay whole; a last and a first arc on one circle are joined across the closing point.
// The lane engine runs it on every new offset loop.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Thins the array in place. closed 0: the closing point is not examined (nor is it after the
// last and first arcs were joined). z_flag not 0: vectors include z when the array has
// it. Ends with pokarr_merge_arcs. Reads pocket_state.pocket_dimension (a planar pocket has
// tighter limits) and pocket_work.side_step and extra_offset (the longest run it may replace).
void pokarr_drop_redundant(int& closed, int z_flag, pokarr& array);
// The same with z flag 0 on caller x, y arrays of count points; count is updated.
void xy_drop_redundant(int& closed, double* x, double* y, int& count);
