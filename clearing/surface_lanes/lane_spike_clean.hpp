// The last clean-up of the 3-D lane offset's joined loop (lane_offset_3d.hpp): repeated points and
// spikes left where pieces were joined.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Cleans the closed lane (dimension 3, last point repeating the first) while it has 7 points or
// more, stopping as soon as it has shrunk to 6; the scan wraps round the loop and steps back
// after every change. A point less than the tolerance from its predecessor in every coordinate
// is removed. At a turn back sharper than about 148 degrees (cosine below -0.85) whose shorter
// arm times the sine reaches the length bound, or at a short S-bend (the corners at the point
// and its successor turning opposite ways, the arm between them below the short length), the
// point and its successor become their midpoint brought onto the grid surface (grid_find_cell
// nearest, with the grid's shift); a narrower turn back loses its point, and so does a turn back
// whose successor lies more than `reach` behind the point before it along the way out (the way
// back runs on past the spike's start). Status 0, or the failure of grid_find_cell (the lane then
// keeps what was cleaned so far). Reads surface_grid_block.
void lane_spike_clean(pokarr& lane, double tolerance, double length, double short_length, double reach, int& status);
