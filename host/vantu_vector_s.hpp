// Single-precision vectors, 3 x 3 matrices, the rotation of a plane onto the XY plane and angles.
// Points and vectors are plain arrays of floats (2 or 3 per point as the name says); matrices are
// 9 floats row by row. Outputs may be the same arrays as inputs.
#pragma once

// difference = a - b on x, y.
void v2sub(const float* a, const float* b, float* difference);
void v3sub(const float* a, const float* b, float* difference);
// result = point + factor * vector (as v2addd, v3addd).
void v2add(const float* point, const float* vector, float factor, float* result);
void v3add(const float* point, const float* vector, float factor, float* result);
// result = factor * vector.
void v2scal(const float* vector, float factor, float* result);
void v3scal(const float* vector, float factor, float* result);
// The point at fraction t between a and b: (1 - t) a + t b, exact at t = 0 and t = 1.
void v3btp(const float* a, const float* b, float t, float* result);
// The direction at fraction t between two directions: v3btp of them made a unit vector. Status 0;
// -1 when the blend has no length (opposite directions at t = 1/2), result then the blend as it is.
void v3btpn(const float* a, const float* b, float t, float* result, int& status);

// Dot products, and the z component of the cross product of two 2-D vectors (ax by - ay bx),
// formed in double and rounded once.
float v2dot(const float* a, const float* b);
float v3dot(const float* a, const float* b);
float v2cros(const float* a, const float* b);
// cross = a x b.
void v3cros(const float* a, const float* b, float* cross);
// Length of a 3-D vector.
float v3size(const float* vector);
// Distance of two points in space.
float dist3(const float* p, const float* q);
// Square root of a value that rounding may have pushed below zero: a value not above the
// tolerance (a negative one included) gives 0, so a nearly vanishing root is taken as none.
float sqrt1(float value, float tolerance);

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

// Reverses in place the order of count records of dimension floats each (points of 3, values of
// 1), each record kept whole; revi the order of count words. A count below 2 or a dimension below
// 1 changes nothing.
void revdim(float* values, int dimension, int count);
void revi(int* values, int count);

// Degrees to radians.
float radian(float degrees);
