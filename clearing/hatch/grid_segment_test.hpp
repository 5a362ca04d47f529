// The test of a segment against the hatch clearing's height grid, which the lane engine's
// open-contour step test asks first (through pocket_lanes/moves/surface_grid_seams.hpp).
#pragma once

// The clearing grid between two points (x, y doubles): result 0 when the cells beside the
// segment's crossing hold a larger value below the clearing reduction tolerance and a smaller one
// above the height; 1 otherwise, also in one cell, off the grid or without a grid.
void grid_segment_test(const double* first, const double* second, double height, int& result);
