// The direction of a segment against the hatch direction, which the grid heights and the touch
// strings ask before they sample a segment: one that runs against the hatch is sampled from its
// other end.
#pragma once

// Whether the segment a..b (x, y) runs exactly against the hatch direction at hatch_angle
// (radians), within the single-precision tolerance; false for a segment without length.
bool against_hatch(const float* a, const float* b, float hatch_angle);
