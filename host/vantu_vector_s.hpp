// Single-precision vectors, 3 x 3 matrices, the rotation of a plane onto the XY plane and angles.
// Points and vectors are plain arrays of floats (2 or 3 per point as the name says); matrices are
// 9 floats row by row. Outputs may be the same arrays as inputs.
#pragma once

// difference = a - b on x, y.
void v2sub(const float* a, const float* b, float* difference);
// cross = a x b.
void v3cros(const float* a, const float* b, float* cross);

// Normalise in place and give the former length. A vector not longer than kRealNoLength
// (host/tolerance.hpp) is left as it was with status -1 (its length still given); status 0
// otherwise.
void v2unit(float* vector, float& length, int& status);
void v3unit(float* vector, float& length, int& status);

// Distance of two points in the plane (x, y; z is not read).
float dist2(const float* p, const float* q);

// result = matrix * vector.
void m3vec(const float* matrix, const float* vector, float* result);
// inverse = matrix^-1, computed in double. Status 0; -1 when the determinant is not above
// kRealSingularDeterminant in magnitude, or the status of an armed fault (inverse not written).
void m3inv(const float* matrix, float* inverse, int& status);

// The rotation that takes the normal of a plane (a, b, c, d with a x + b y + c z + d = 0) to +z:
// matrix * (a, b, c) / |(a, b, c)| = (0, 0, 1). The rotation turns about the axis normal x z (the
// identity for a normal along +z; a half turn about x for a normal along -z) and does not depend
// on d. Status 0; -1 for a normal without length (matrix not written).
void plrot(const float* plane, float* matrix, int& status);

// Degrees to radians.
float radian(float degrees);
