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
// pocket_work.tolerance and pocket_state.pocket_dimension).
void pokarr_nudge_elem(pokarr& loop, int i, int j, int& status);
