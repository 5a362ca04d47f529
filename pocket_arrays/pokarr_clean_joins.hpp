// Clean-up of the joins of a raw offset loop: tiny lines are removed, and small backward
// zig-zags where an offset element folds back over a corner are cut out by joining the elements
// on either side. The lane engine runs it before loop removal and on the loops that come out of
// it; the common-loop code on its results.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Modes A: 0 short lines removed and corner limit -0.01; 1 short lines removed and limit
// -0.85 (only sharper folds are cut); 2 no short-line pass, limit -0.01.
inline constexpr int kJoinsStrict = 0;
inline constexpr int kJoinsSharpOnly = 1;
inline constexpr int kJoinsNoShortPass = 2;

// Cleans the closed loop in place at working tolerance w. mode_b not 0 protects the joins at
// entry 0 and at entry (count - 1) / 2. The loop stays closed; it ends with pokarr_drop_short.
// Reads pocket_state.pocket_dimension (the reach of a planar pocket scales with w) and, through
// pokarr_drop_short, pocket_work.working_tolerance.
void pokarr_clean_joins(int mode_a, int mode_b, double& w, pokarr& array);
// pokarr_clean_joins, answering whether it found nothing to do anywhere in the loop: the loop
// came through as it was, without a turn below the corner limit (the join passes were passed
// over). pokarr_clean_joins_idle_between then holds over every run of its elements.
bool pokarr_clean_joins_untouched(int mode_a, int mode_b, double& w, pokarr& array);
// Whether pokarr_clean_joins (modes A as given) finds nothing to do among the elements from entry
// `from` to entry `to` (both points that start or end an element) and the turns between them:
// no flat arc, no short line, both directions of every element and no turn below the corner
// limit, nothing for pokarr_drop_short. The turns into the first and out of the last are not
// looked at. False when the range does not fit the array.
bool pokarr_clean_joins_idle_between(int mode_a, double w, const pokarr& array, int from, int to);
