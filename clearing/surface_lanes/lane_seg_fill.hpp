// Filling of long segments of a lane laid on the part surfaces: lane_seg_fill steps along the
// straight segment and projects each step along a direction between those recorded for its two
// ends; lane_seg_grid_fill walks the segment over the surface grid and projects the grid points,
// recording each point's direction in lane_dir_list. The refinement of projected lanes
// (lane3d_refine) calls both. Reads surface_grid_block and the lane tolerance.
#pragma once

// Fills out with n points from a to b, both included (x, y, z floats; out holds room for
// `most`): n = trunc(|ab| / D x 20 + 1), at most `most`, 2 when below 3 or when D is not
// positive. Each point of the straight segment is projected with the current tool along the
// direction interpolated between the recorded directions of the ends ((0, 0, 1) for an end
// without one), pushed from 0.1 D j ahead to 0.1 D j behind for j = 1 to 10 until one succeeds;
// the straight point stays where nothing is met or the projection lies within twice the lane
// tolerance of it.
void lane_seg_fill(const float* a, const float* b, int most, float diameter, int& count, float* out);

// Walks a..b over the surface grid with the step as spacing and writes the projected inner
// points from the start of the host array behind handle (12-byte records; opened with
// max(points - 2, 100) records when the handle is -1, grown by the shortfall, at least 100, when
// it holds fewer); each is recorded in lane_dir_list with its direction and flag 0. count: the
// points written (a point that cannot be projected is left out; nothing when the walk gives two
// points or fewer). Status 0, or the failure of the walk or the host array (count 0 then, or the
// points written so far).
void lane_seg_grid_fill(const float* a, const float* b, float step, int& handle, int& count, int& status);
