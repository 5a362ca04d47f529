// Small services of the clearing block for the rest of the pocket machinery: a height stamped
// into the clearing height grid (the surface clearing passes) and the grid's bound value (the
// lane code that fills the grid).
#pragma once

// Stamps z into the cell of the clearing height grid nearest to (x, y) (the cell whose centre is
// within half a cell; halfway goes to the higher index): mode 1 raises the cell's second value to
// the larger of its first value and z; any other mode m writes the float at 2 x cell + m (0 the
// cell's first value, 2 the next cell's first). Status 0; -1 when the point or the float lies
// outside the grid, nothing written. Reads clear_block's grid.
void grid_stamp_z(int mode, const float* point, int& status);

// The grid's bound value as a float.
void clr_reduce_tol_get(float& value);
