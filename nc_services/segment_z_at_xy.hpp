// segment_z_at_xy: the height of a 3-D segment at the XY of a point, for the edge kernels of the
// cutter location (the z at the foot of the perpendicular from the tool axis) and the gouge check
// of the surface approach and retract (the z of a lateral move under a located tool point).
#pragma once

// z of the segment a..b at the XY of x, interpolated on the larger of the segment's dx and dy (on
// dy when they are equal); a segment without XY extent gives the lower z and flag 1, else flag
// 0. The comparisons are the host's tolerant ones.
void segment_z_at_xy(const float* a, const float* b, const float* x, float& z, int& flag);
