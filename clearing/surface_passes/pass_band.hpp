// The strings of one hatch segment for the band methods of the surface pass loop: laid over the
// part surfaces, recorded as a pass in the pass buffer, then clipped to the pass's Z band.
#pragma once

// The strings of A..B (3 floats each) in the caller's string block (points and normals three
// floats a point, capacity reals of points, max_strings point counts). With the restart mark
// (restart non-zero) a one-point string at A is recorded and the block is left empty; otherwise
// the strings come from linnet_touch_point (tolerance tol, stock and check_stock its two values)
// and after recording are clipped by UPDTPS to lower..upper_z, or to the lower Z alone with the
// band flag set. The pass is recorded with pass_type (an empty pass of one string when there are
// no strings; an open last string opens a new empty one) and the pass count goes up by one on
// success. Status: negative from the line-net, the pass buffer or UPDTPS, else UPDTPS's outcome
// (0 with the restart mark). total: the points left in the block.
void segment_pass_band(int context, int restart, int band_flag, float upper_z, float lower, const float* a,
                       const float* b, float tol, float stock, float check_stock, int capacity, int max_strings,
                       int pass_type, float* points, float* normals, int& string_count, int* point_counts, int& total,
                       int& status);
