// Re-fit of an arc whose start or end point moved: when the clean-up of an offset loop deletes a
// short element next to an arc, the arc's centre moves (radius kept) so that the arc runs through
// its new end points, and the junctions with neighbouring arcs follow onto the new circle where
// the shift is small.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// The loop is a closed 2-D array; the arc whose start point is entry a has its marker at a + 1,
// radius and direction at a + 2, centre at a + 3 and end point at a + 4. Mode 0: the arc is
// re-fitted to run from entry a to entry b (b after the arc). Mode 1: from entry b (before the
// arc) to its end point; an a equal to count - 1 is read as 0. The count does not change; the
// caller deletes the entries between the old and the new end point. Degenerate input (an
// incomplete record, nearly opposite radial vectors, a gap of about two radii or more, circles
// that do not meet) changes nothing. Junctions move only within twice pocket_work.tolerance (read
// at every call).
void pokarr_join_arc(int a, int b, int mode, pokarr& array);
