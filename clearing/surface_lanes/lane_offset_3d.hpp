// The offset of a closed lane lying on the part surface (a pocket array of dimension 3 or 4) by a
// distance to one side, kept on the surface grid: the raw offset that lane_offset_2d3d hands
// such lanes to (through pocket_arrays/surface_offset_seams.hpp). Each segment of the loop is
// offset on its own over the grid (lane_seg_offset_3d.hpp), the pieces are joined where they
// cross or touch (lane_pieces_3d.hpp; a crossing that closes a loop of the input's sense whose
// points all keep the offset is left to the loop removal), the gaps at convex corners are filled
// by walks with a turning direction, and the joined loop is cleaned and laid onto the grid once
// more; stretches that walk back across the input are cut out of it (lane_excursion_cut.hpp).
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Statuses of lane_offset_3d besides 0 (done) and the grid walk's -3 (a start too steep across
// the tangent, passed on so that the caller can project the loop and retry without the check).
inline constexpr int kOffset3dNone = 1;     // no usable offset: the output is empty
inline constexpr int kOffset3dFailed = 11;  // input refused, or a pocket array failed
inline constexpr int kOffset3dStopped = -3;
inline constexpr int kOffset3dNotLaid = -1;  // the offset cannot be laid on the surface (said)

// Offsets the closed input loop by the distance to the right of its direction of travel (side
// 0 or more) or to its left (side negative) over the surface grid, into the output (emptied
// first; its own dimension kept). Status 0 done (an output of fewer than 3 points is left so);
// -3 from a steep walk start, output empty; 11, output empty, for an empty-kind input, a static
// input of more than 7000 points or one without heights, or a pocket array that failed; -1,
// output empty, for a grid routine that failed ("[lane_offset_3d] THE OFFSET CANNOT BE LAID ON
// THE SURFACE" on the error channel: the lanes would stop short of the pocket's middle). A piece
// or a corner's fill that cannot be laid on the grid is left out, its neighbours' joins bridging
// it; so is a fill between two vertices that comes within half the offset of the loop between
// them. Reads surface_grid_block (cells, shift, settings) and pocket_work (tolerance, working
// tolerance).
void lane_offset_3d(int side, double distance, const pokarr& input, pokarr& output, int& status);
