// Small loops of a lane laid on the part surfaces (lane_on_srf.hpp) or on the surface grid
// (lan_on_grid, grid_projection.hpp): where the lane crosses a fold, the tool touches one flank and
// then the other, and its successive places may step back along the lane by up to its radius; a
// walk over the grid may step back a little where it crosses a grid line. Either way the string
// crosses itself in XY. One search serves both kinds of string. The crossings of a lane laid on
// the part surfaces are cut here too, whatever their length.
#pragma once

#include "clearing/surface_lanes/lane_points.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <functional>
#include <vector>

// The reach of the loops cut out of a lane laid on the grid: two cells. A lane on the grid has no
// tool: the lane engine's offsets are the same whatever tool the projection is set up with for
// the lanes laid with it. Reads surface_grid_block.projection.
float grid_loop_reach();

// The reach of the loops cut out of a lane laid with the tool: two tool diameters, or the grid's
// reach where that is more. Reads surface_grid_block.projection.
float lane_loop_reach();

// Cuts out of the string (`count` points, their normals beside them when `normals` is given)
// every loop whose XY path is at most `reach` long and whose first and last segments cross in
// XY: the points between are removed, the move from the loop's first point to the point after
// it then taking their place (the chord check that follows keeps it out of the surfaces). A
// closed string (its last point on its first) is searched across its seam too: a loop over the
// seam takes the seam with it, and the string then starts and ends at the point after the loop.
// Otherwise the first and last points are kept, so a closed string stays closed; count follows.
void lane_loops_cut(lane_pnt* points, lane_pnt* normals, int& count, float reach);

// The same for a lane of a pocket array of dimension 3 or 4 (its normals go with its points);
// arrays of other dimensions are left alone.
void lane_loops_cut(pokarr& lane, double reach);

// Cuts every crossing out of a closed string laid on the part surfaces from a simple lane (its
// last point on its first; `count` points, their normals beside them when given): at each
// crossing the way round of the smaller area in XY goes, of any length. The lane it was laid from
// crosses nothing, so such a loop is where the tool, touching a steep flank, stood off its lane
// and back; the lane stays closed. Other strings are left alone.
void lane_crossings_cut(lane_pnt* points, lane_pnt* normals, int& count);

// The largest fold lane_folds_cut takes: its area and its path in XY; and, when given, whether
// the points of a way (numbered in the lane) lie where a fold lies. The points of the way within
// `at_crossing` of the crossing in XY stand at the crossing, which takes their place, and are
// left out of that test (beside the crossing of two offset pieces a point lies as far from the
// source as the offset, and may be judged the width of a rounding farther).
struct fold_bounds {
    double most_area = 0.0;
    double most_length = 0.0;
    std::function<bool(const std::vector<int>&)> fold_points;
    double at_crossing = 0.0;
};

// Cuts the swallowtails out of a closed lane of a pocket array of dimension 3 or 4 (its last point
// on its first): at a crossing, the way round whose signed area in XY has the other sign than the
// whole lane's runs backwards, the fold an offset makes where it overshoots a concave bend. One
// within the bounds goes, and the crossing takes its place; `cut` counts the ways cut. Ways of the
// lane's own sense (a neck the offset pinches, two lobes) and larger reversed ways (a hole the
// offset runs round, which the lane engine takes for an island; a stretch that runs back along
// the lane) stay for the lane engine. Other arrays are left alone.
void lane_folds_cut(pokarr& lane, const fold_bounds& bounds, int& cut);
