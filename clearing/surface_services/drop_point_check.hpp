// The test whether the cutter dropped at a point of a surface pass stays inside the machining
// regions: the point where the cutter meets the surfaces is tested against the region set.
#pragma once

struct reg_region;

// Drops the cutter of linnet_params at the XY of point (LINNET) and tests its reference point,
// where it meets the surfaces, with point_in_region_set against region (the current region when
// null): inside 1 or 0. A drop that found no surface gives its mode word as the flag. On a corner
// contact of a cutter with a corner radius (axis not tilted) a point one step further from the
// contact towards the axis must be inside too, the step the surface pass's tolerance held to 0.01
// .. 0.1. A ball cutter's point comes back with z 0. Status: a negative drop status; otherwise as
// the caller set it. Reads linnet_params and surface_pass.tolerance.
void drop_point_check(float* point, int& inside, reg_region* region, int& status);
