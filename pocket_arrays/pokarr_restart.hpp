// Restart of a closed loop at a point of one of its elements: the loop is rebuilt so that it
// starts and ends at that point, the element split there. The lane engine starts every offset
// at the middle of the longest element or at the user's restart point; the cutting code starts
// a lane at its connection point.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Status of a restart that could not be made.
inline constexpr int kRestartFailed = 11;

// Modes of pokarr_restart_at: the split point is given (its parameter in t), or the point at
// parameter t is taken and handed back in x, y.
inline constexpr int kRestartAtPoint = 0;
inline constexpr int kRestartAtParam = 1;

// Restarts the closed loop (dimension 2 to 4) at the element `index` (the end entry of a line,
// the marker of an arc). Mode 0: (x, y) is the split point (moved onto the arc's circle for an
// arc), t its parameter. Mode 1: the point at parameter t, written to x, y. Status 0, or 11 when
// the work array cannot be had, an append or the move fails, or index names no element of the
// loop (the loop is then unchanged).
void pokarr_restart_at(pokarr& array, int index, int mode, double t, double& x, double& y, int& status);
