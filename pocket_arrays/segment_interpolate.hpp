// Interpolation of a height and a vector along a segment in space, at a point given by its x and
// y. The loop removal and the element routines of the pocket arrays use the double-precision
// form, the surface variant of the point mover the single-precision one.
#pragma once

// a, b: the segment's end points (x, y, z); weight_a, weight_b: three doubles belonging to a and
// b (normals; null reads as zero); point: x, y on the segment's projection. z receives the
// segment's height at the point: interpolated along x when |dx| > |dy| and dx is not zero, else
// along y when dy is not zero, else (a vertical segment) the lower end height with flag 1. flag
// is 0 in the interpolated cases. weights (three doubles, may be null) receive
// (1 - w) * weight_a + w * weight_b with w = |z - a.z| / |b.z - a.z|, or w = 1 when the heights
// are equal.
void segment_interpolate_d(const double* a, const double* b, const double* weight_a, const double* weight_b,
                           const double* point, double& z, double* weights, int& flag);

// The same on single-precision values (zero test within the host's single tolerance).
void segment_interpolate(const float* a, const float* b, const float* weight_a, const float* weight_b,
                         const float* point, float& z, float* weights, int& flag);
