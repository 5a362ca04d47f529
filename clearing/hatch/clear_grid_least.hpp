// The clearing height grid of the clearing block that the step tests of the pocket lanes read,
// and the clearing point-reduction tolerance. Least version until the hatch clearing is built:
// the grid stays empty and the tolerance 0. The hatch clearing's clear_block.hpp and
// clear_grid.hpp replace this file (same names: clear_state, clear_block, clr_reduce_tol_get).
#pragma once

// The grid fields of the clearing block: cell sizes, the centre of cell (0, 0), cells per row
// and rows, two floats per cell row after row (the first the cell's value), and the bound value
// that clr_reduce_tol_get answers.
struct clear_state {
    float cell_size[2] = {0.0f, 0.0f};
    float grid_origin[2] = {0.0f, 0.0f};
    int columns = 0;
    int rows = 0;
    float* cells = nullptr;
    double bound = 0.0;
};

extern clear_state clear_block;

// The clearing point-reduction tolerance: the grid's bound value as a float.
void clr_reduce_tol_get(float& value);
