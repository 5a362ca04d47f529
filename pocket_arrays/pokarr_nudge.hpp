// Sideways nudge of one straight element of a loop, to break an intersection that falls on a
// vertex or a piece two elements share. The loop intersection calls it when it searches a loop
// against itself.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Distance of the nudge, to the element's right-hand side.
inline constexpr double kNudgeDistance = 0.0005;
// Statuses besides 0 (moved) and a negative failed insertion.
inline constexpr int kNudgeBothArcs = 1;  // both elements are arcs: nothing moves
inline constexpr int kNudgeNotMoved = 2;  // a pooled loop of a dimension other than 2

// Moves the straight element at i or j (the element that ends at that entry) by 0.0005 to its
// right: the other one when one of them is an arc, otherwise the one with fewer arcs next to it
// (i on ties). A neighbouring arc is re-fitted to the moved point; the loop's first and last
// points move together; the loop then goes through the join clean-up at the working tolerance
// (reads pocket_work.working_tolerance, and through the re-fit and the clean-up
// pocket_work.tolerance and pocket_state.pocket_dimension). A copy of the last loop the clean-up
// found clean is kept: a nudge of that loop away from its ends looks only at the elements round
// what moved, with the same result.
void pokarr_nudge_elem(pokarr& loop, int i, int j, int& status);
// The move of pokarr_nudge_elem without the clean-up. Answers the entry that ends the moved
// element, or -1 when nothing moved (the status then says why).
int pokarr_nudge_move(pokarr& loop, int i, int j, int& status);
