// Small loops of a lane laid on the part surfaces (lane_on_srf.hpp): where the lane crosses a
// fold, the tool touches one flank and then the other, and its successive places may step back
// along the lane by up to its radius, so that the string crosses itself in XY.
#pragma once

#include "clearing/surface_lanes/lane_points.hpp"

// Cuts out of the string (`count` points, their normals beside them when `normals` is given)
// every loop whose XY path is at most `reach` long and whose first and last segments cross in
// XY: the points between are removed, the move from the loop's first point to the point after
// it then taking their place (the chord check that follows keeps it out of the surfaces). A
// closed string (its last point on its first) is searched across its seam too: a loop over the
// seam takes the seam with it, and the string then starts and ends at the point after the loop.
// Otherwise the first and last points are kept, so a closed string stays closed; count follows.
void lane_loops_cut(lane_pnt* points, lane_pnt* normals, int& count, float reach);
