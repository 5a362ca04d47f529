// Thinning of closed offset loops: removal of elements whose ends lie within a small tolerance
// of each other (the previous element is extended to the end of the removed one), and merging
// of consecutive arcs on one circle. The lane engine runs them before and after every offset;
// the join clean-up and the redundant-point removal end with them.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// The tolerance of pokarr_drop_short: in a planar pocket max(min(0.5 W, 0.001), 0.0001) with W
// the working tolerance, otherwise 1e-6. Reads pocket_state.pocket_dimension and
// pocket_work.working_tolerance, as do the routines below that use it.
double drop_short_tolerance();

// Removes short elements in place; a run of short lines in a 2-D array goes only while the sum
// of their squared lengths stays below the tolerance squared. Arcs before a removed element are
// re-fitted to its end; a short first element of a closed loop takes the closing point along.
// Ends with pokarr_merge_arcs. Fewer than 2 entries: unchanged.
void pokarr_drop_short(pokarr& array);
// The same on caller x, y arrays of count points; count is updated.
void xy_drop_short(double* x, double* y, int& count);
// Whether pokarr_drop_short finds nothing to do among the elements from entry `from` to entry
// `to` (both points that start or end an element): none of them is short (measured alone) and
// no two neighbouring arcs among them merge. False when the range does not fit the array.
bool pokarr_drop_short_idle_between(const pokarr& array, int from, int to);
// Joins consecutive arcs of one circle, radius and direction into one record while the joined
// arc turns by less than a half circle (2-D arrays only).
void pokarr_merge_arcs(pokarr& array);
