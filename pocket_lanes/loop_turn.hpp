// The direction of a closed planar loop of lines and arcs read from the way it turns at its
// lowest-left point, without measuring its area. The detours of the cutting stages call it for
// every detour lane and every path that takes detours.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// 1 counter-clockwise, -1 clockwise, or 0 when the turn there does not tell: the loop's elements
// meet at that point along one line (a tangent join, a cusp), the loop has fewer than two
// elements, or an arc record is broken. A simple loop turns the way it runs at that point, so the
// answer is the sign of its area wherever it is not 0; a caller falls back to the area then.
int loop_turn_direction(const pokarr& loop);

// loop_turn_direction, or the direction of the loop's area where the turn does not tell.
int loop_direction(pokarr& loop);
