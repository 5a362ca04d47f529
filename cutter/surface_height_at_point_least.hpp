// surface_height_at_point: the height of the tool over the triangulated surfaces at the x and y
// of a point, for the sampling of the surface link. Least version until the cutter location is
// built: no height is found, unless a test installs a height function through the seam below.
#pragma once

// The height search starts below everything.
inline constexpr float kNoSurfaceHeight = -1.0e10f;

// Mode 0: located receives the point at the tool height (its z kNoSurfaceHeight when none);
// status 0 when a height was found (never here: 1).
void surface_height_at_point(int mode, const float* point, float tolerance, float offset1, float offset2,
                             float* located, int& status);

// A height of the part surfaces at (x, y); null (the default) for none.
using surface_height_function = float (*)(float x, float y);
// The seam: with a function installed, mode 0 answers the located point at its height, status 0.
surface_height_function& surface_height_seam();
