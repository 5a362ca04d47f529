// Orientation of the prepared pocket contours. The input preparation of the pocket engine
// (contour_offsets_signed) calls it before it signs the per-contour offsets.
#pragma once

// Orientation (+1 counter-clockwise, -1 clockwise) of every prepared contour from its points in
// the contour point array; a clockwise contour's value is negated. Status -1 for a contour
// without area or without points.
void orient_contours(int count, float* values, int* orientation, int& status);
