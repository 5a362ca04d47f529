// The strings of one hatch segment over the part surfaces for the touch method
// of the surface pass loop: laid always in the hatch direction, so that
// neighbouring passes are computed alike, handed back in the segment's own
// direction and, when the procedure stores its passes, stored.
#pragma once

// The strings from A to B (3 floats each) into the caller's string block:
// points and normals three floats a point (capacity reals of points), values
// one float a point (may be null), point_counts at most max_strings. tol, stock
// and check_stock go to linnet_touch_point. A segment running against the hatch
// direction of hatch_angle is laid from B to A and its strings are reversed
// (string order, point order, normals and values). With store_word 1 and a pass
// number of 0 or more the strings are stored as passes with storps (grid_only
// its link flag). Status: the line-net's (0, 1 for an open last string) or the
// first negative one.
void segment_touch_strings(int context, int store_word, const float* a, const float* b, float tol, float stock,
                           float check_stock, int capacity, int max_strings, int pass_number, float hatch_angle,
                           int grid_only, float* points, float* normals, float* values, int& string_count,
                           int* point_counts, int& total_out, int& status);
