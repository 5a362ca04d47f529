// A collapse pass cut once. Where a part of the region is exactly two offsets wide, the walls'
// offsets meet along its centre line and the innermost lane there (a lane or a collapse lane) is
// that line laid out and back: a loop of no width, perhaps round a patch where two legs meet. Cut
// as a loop from its entry, the tool would run the line there and back. The first lane of a chain
// is entered from above and may begin anywhere: its cut begins at the turning point (or, for an
// entry at a pass's dead end, the pass's foot) from which the rest of the loop runs over the
// stretch left out, so that the line is cut once up to the entry, where the link to the parent
// starts. Stage 1 puts the entry of such a lane on the turning
// point (of the lane with its detours put in) from which that cut is shortest.
#pragma once

#include "pocket_arrays/pokarr.hpp"

#include <cstddef>
#include <vector>

// How near the two sides of a collapse pass run to be cut as one line: half the pocket's
// tolerance. The lanes leave nothing farther than half a step and half the tolerance from them,
// so what a side left out would clear stays within half a step and the tolerance of the cut.
// Reads pocket_work.tolerance.
double collapse_pass_near();

// How long a path and how many turns back the search for its cut takes: the search for an entry
// tries every turn as the entry and as the start of the cut, at the square of the turns, and a
// path that turns back more often is no pass along a centre line (a lane round close teeth turns
// back at each). A lane alone (searched for every chain) takes the fewest; a lane with its
// detours put in (each adds a turn or two) more where stage 1 looks for its entry (only for
// lanes with detours), and most where the chain cut cuts it once from the one entry it has.
struct pass_limits {
    std::size_t elements, turns;
};
inline constexpr pass_limits kLanePassLimits{128, 8};
inline constexpr pass_limits kDetourEntryLimits{256, 16};
inline constexpr pass_limits kDetourPassLimits{512, 32};

// The entries of the vertices where the loop turns back on itself (the way out runs against the
// way in), and of the vertices `also` names, from which its cut (collapse_pass_cut_once) is
// shorter than the loop and does not run back over its opening, the one that saves most first.
// None for a loop beyond `most`, or that does not turn back.
void collapse_pass_turns(const pokarr& loop, double near, const pass_limits& most, const std::vector<int>& also,
                         std::vector<int>& turns);

// Makes the cut path (a closed loop from its entry back to it) begin at the turn, or the foot of
// a pass (where its sides part), from which it is shortest: the stretch before it is left out
// where the rest of the path runs within `near` of it; a stretch of it that the rest does not run
// over, but that begins and ends on the rest's vertices, is gone along between them, and the cut
// comes back by the shorter way (along the rest, the stretch gone along from the first of the two
// it reaches, or along the stretch itself) to run on. The cut still ends at the entry. A path that
// does not run back over its opening keeps its place unless such a cut does not either. Answers
// the length saved (0: the path is left as it is). Status 0, or 11 when the new path cannot be
// made.
double collapse_pass_cut_once(pokarr& path, double near, int& status);

// Whether collapse_pass_cut_once would make the path shorter with a cut that does not run back
// over its opening (its first step, a quarter of it at most) further on.
bool collapse_pass_cuts_once(const pokarr& path, double near);

// Whether the path, cut as collapse_pass_cut_once leaves it, does not run back over its opening:
// as it is, or with the cut that begins at a turn.
bool collapse_pass_cut_clean(const pokarr& path, double near);
