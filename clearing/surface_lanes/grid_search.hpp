// The two questions every walker over the surface grid asks: where a point meets the surface
// (grid_find_cell) and where a walk from a point in one triangle leaves it (grid_cell_exit).
// Both work on the cell records of grid_cell.hpp.
#pragma once

#include "clearing/surface_lanes/grid_cell.hpp"

// Modes of grid_find_cell.
inline constexpr int kFindNearest = 1;       // nearest surface point, own cell and ring 1
inline constexpr int kFindVertical = 2;      // straight down or up onto the triangle under the point
inline constexpr int kFindNearestFar = 3;    // nearest surface point, up to ten rings
inline constexpr int kFindNearestEdges = 5;  // as 1, over the triangles' edges

// Modes of grid_cell_exit: 0 plain; 1 to break a run of answers without progress (a start
// within reach of a cell corner passes through that corner); 2 is taken as 0.
inline constexpr int kExitPlain = 0;
inline constexpr int kExitThroughCorner = 1;

// The entry code of the next cell after a step (dcol, drow), each -1, 0 or 1: a step to the left
// enters through the right edge, and so on; a diagonal step (and no step) gives kEntryNone.
int grid_entry_after_step(int dcol, int drow);

// Brings the point (three doubles, in and out) onto the grid surface: mode 2 vertically onto the
// triangle under it, modes 1, 3 and 5 onto the nearest point of its cell, else of the rings of
// cells around it (one ring, ten in mode 3) while nothing is found. col, row: the cell holding
// the surface point; distance: from the given point to it. Status 0; -1 for a point off the
// grid (with get_grid_index's message), no surface found (no message, point unchanged) or a
// vertical triangle in mode 2. Uses the first working cell for the point's own cell and the
// second for the rings. Reads surface_grid_block.
void grid_find_cell(int mode, double* point, int& col, int& row, double& distance, int& status);

// Where the walk from the point (world, in triangle 0 or 3 of the cell) along the direction (x, y
// read) leaves the triangle: exit (world, its height on the triangle's edge), and the step
// (dcol, drow) to the cell beyond the border crossed; no step when the walk leaves through the
// diagonal (the caller goes on in the other triangle). Status 1 when the exit differs from the
// point, 0 when the walk cannot leave the point (the step then names where it would go); a
// direction without XY length gives v2untd's status and leaves the outputs as they were.
void grid_cell_exit(int mode, const grid_cell& cell, const double* point, const double* direction, int triangle,
                    double* exit, int& dcol, int& drow, int& status);
