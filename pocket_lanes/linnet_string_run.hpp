// The line-net runs of the point-string support: the line-net parameters set from the caller's
// values and the two line-net values of curve_approx_common, then the tool height over the
// surfaces found for a string of points (linnet_string_run) or one point (linnet_string_run2).
// The offset search on surfaces and the surface entry moves call them.
#pragma once

// Drops the tool onto the surfaces at each of the n points (x, y, z floats; z not read) with the
// tolerance: located receives three floats per point (z kNoSurfaceHeight where nothing lies
// under the tool). Status 0 when every point was located, 1 when one was not (the rest are still
// tried), negative on a failure of the height routine.
void linnet_string_run(int n, const float* points, float tolerance, float* located, int& status);

// The same for one point.
void linnet_string_run2(const float* point, float tolerance, float* located, int& status);
