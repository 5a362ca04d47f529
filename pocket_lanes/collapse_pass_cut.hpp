// A collapse pass cut once. Where a part of the region is exactly two offsets wide, the walls'
// offsets meet along its centre line and the innermost lane there (a lane or a collapse lane) is
// that line laid out and back: a loop of no width, perhaps round a patch where two legs meet. Cut
// as a loop from its entry, the tool would run the line there and back. The first lane of a chain
// is entered from above and may begin anywhere: its cut begins at the turning point from which
// the rest of the loop runs over the stretch left out, so that the line is cut once up to the
// entry, where the link to the parent starts. Stage 1 puts the entry of such a lane on the turning
// point from which that cut is shortest.
#pragma once

#include "pocket_arrays/pokarr.hpp"

#include <vector>

// How near the two sides of a collapse pass run to be cut as one line: half the pocket's
// tolerance. The lanes leave nothing farther than half a step and half the tolerance from them,
// so what a side left out would clear stays within half a step and the tolerance of the cut.
// Reads pocket_work.tolerance.
double collapse_pass_near();

// The entries of the vertices where the loop turns back on itself (the way out runs against the
// way in) from which its cut (collapse_pass_cut_once) is shorter than the loop, the one that
// saves most first. None for a loop of more than kMostPassElements elements or that turns back
// more than a few times.
void collapse_pass_turns(const pokarr& loop, double near, std::vector<int>& turns);

// Makes the cut path (a closed loop from its entry back to it) begin at the turn from which it is
// shortest: the stretch before the turn is left out where the rest of the path runs within `near`
// of it; a stretch of it that the rest does not run over, but that begins and ends on the rest's
// vertices, is gone along from there, and the cut comes back by the shorter way (along the rest,
// or along the stretch itself) to run on. The cut still ends at the entry. Answers the length saved (0: the path is
// left as it is). Status 0, or 11 when the new path cannot be made.
double collapse_pass_cut_once(pokarr& path, double near, int& status);

inline constexpr int kMostPassElements = 128;
// The cut itself (collapse_pass_cut_once) takes longer paths: a lane with the detours put into it.
inline constexpr int kMostCutElements = 512;
