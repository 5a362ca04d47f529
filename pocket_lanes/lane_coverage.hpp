// Whether the lanes of a pocket on the surface grid leave surface uncut: the lane loop asks it
// when its passes end, so that offsets that failed or were refused while material remains are
// told to the user rather than passed over as a full pocket.
#pragma once

// Whether a point of the surface grid inside the outer contour (the lane table's first row) and
// outside every island contour, beyond the band beside each contour that its first lane leaves
// (the contour's offset and the extra offset), stands farther than reach, in space, from every
// live lane after the contours laid on the grid. Points are sampled at the centres of the grid's
// cells split into squares no wider than a quarter of the reach; a pocket without a grid, or whose
// contours cannot be read or hold arc records, answers false.
// Reads surface_grid_block and lane_table_block.
bool pocket_leaves_uncovered(double reach);
