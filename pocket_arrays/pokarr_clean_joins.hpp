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
