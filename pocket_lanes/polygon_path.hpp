// The way along one polygon of a packed polygon set between two of its edges
// (polygon_boundary_path), part of the lane output's point-string support: the vertices passed
// are written as moves or collected as points. The region
// hatching calls it to go round a polygon it meets.
#pragma once

#include "host/words.hpp"
#include "pocket_lanes/moves/point_output.hpp"

// Modes: 1 writes a move to every vertex (pocket_approach at pocket_state.current_z, kind 1, or
// 2 with pocket_state.drawing_link_flag); any other collects the vertices as (x, y) doubles after
// output.used + 2 x count.
inline constexpr int kBoundaryWrite = 1;
inline constexpr int kBoundaryCollect = 2;

// Polygon `number` (1-based) of the set of `polygon_count` polygons (each a point count and its
// x, y single-precision pairs); edge k runs from point k to point k + 1 (point n to point 1).
// From the entry edge to the exit edge the path passes the vertices between them: forward
// (way 1) the vertices entry + 1 .. exit, backward (way -1) entry .. exit + 1, wrapping round.
// The other way is taken unless the given way is at least 0.1 long and 0.8 of its length is
// below the other way's. Nothing for equal edges. count is raised by the points collected.
// Each move runs from the tool's position; pocket_state.path_start (the entry's) is left alone.
// Status 0, the output's
// failure, or the motion output's; -1 for a polygon number or edge outside the set.
void polygon_boundary_path(int mode, const word* polygons, int polygon_count, int entry_edge, int exit_edge, int way,
                           int number, int& count, xy_output& output, int& status);
