// The stretches of a 3-D offset loop that run back across their source: where a walk over a
// fold or a steep flank overshoots, the raw offset comes back over the loop it was offset from
// and goes on. No such stretch is part of the offset; left in, it makes the whole loop cross its
// source, and the lane engine refuses the loop and leaves the rest of the pocket without lanes.
// lane_offset_3d calls lane_excursion_cut on its joined loop.
#pragma once

#include "pocket_arrays/pokarr.hpp"

#include <vector>

// Status of lane_excursion_cut when a pocket array cannot be made.
inline constexpr int kExcursionArrayFailed = 11;

// Cuts out of the closed loop (dimension 3, its last point on its first) every run of points
// nearer the source loop than `least` over the surface that crosses the source in XY (or reaches
// it within the pocket's tolerance) and comes back beside where it left (the points on either side of the run nearer
// each other than `least`; a run longer than four times `least` must also lie across the source: reach across it by
// four fifths of `least` or more, with half its length or more across). The loop is closed where its way into the run
// crosses its way out within `least` of the run, else the points on either side are joined straight. Nearness over the
// surface is judged soundly: a point counts as near only when a path over the surface to the source (the surface's
// section square in XY to a source segment, from a foot inside it: the path the offset's own walk takes) is shorter
// than `least`; a point whose path cannot be traced counts as far. A run of half the loop's points or more is left as
// it is; a run that holds the loop's first point is judged as any other, the loop then starting at the point kept
// nearest its old start. Out of a run not cut whole whose ends stand `least` or more apart in XY, each stretch on the
// source's far side in XY from the point before the run (with the points beside it on the source within the tolerance)
// is cut as such a run when it comes back beside where it left. A run is not cut where the straight join of its ends
// would cross the source. A contour's first offset keeps its distance in XY, and there nearness is judged by the XY
// distance from the source. cut: the number of points removed. Status 0, or 11. Reads surface_grid_block (through
// lan_on_grid) and pocket_work (tolerance, working tolerance, contour_offset_in_plane).
void lane_excursion_cut(const pokarr& source, double least, pokarr& loop, int& cut, int& status);

// How many of the loop's points numbered in `points` lie nearer the source than `least` over the
// surface (in XY for a contour's first offset), judged as lane_excursion_cut judges them and,
// besides, by the surface's section from the nearest source vertex. Status 0, or 11.
int lane_points_near_source(const pokarr& source, double least, const pokarr& loop, const std::vector<int>& points,
                            int& status);
