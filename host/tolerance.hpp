// The host's tolerances, in one place. Every fuzzy comparison of the host stand-in (eqval,
// eqpt3, eqvald, ...) reads its threshold from here.
#pragma once

namespace vantu {

// Single-precision comparisons (eqval, eqval0, neval, gtval, eqpt2, eqpt3): lengths in the
// part's unit, typically millimetres; 1e-4 is well above float rounding at part sizes of a few
// metres (float has ~7 significant digits) and well below any machining resolution.
inline constexpr float kRealTolerance = 1.0e-4f;

// Single-precision unit vectors (v2unit, v3unit): a vector not longer than this has no direction.
// Coordinates of a few hundred millimetres carry float rounding of about 1e-5, so a shorter
// difference has no reliable direction; callers treat it as a point (a contact on the axis, a
// normal without a horizontal part).
inline constexpr float kRealNoLength = 1.0e-6f;

// A 3 x 3 single-precision matrix whose determinant is not above this in magnitude has no inverse
// (m3inv). The matrices inverted are rotations and frames with a determinant near 1.
inline constexpr double kRealSingularDeterminant = 1.0e-12;

// Double-precision comparisons (eqvald, eqvl0d, ...): the engine works in doubles; 1e-6 keeps
// geometric decisions stable while staying far below machining resolution.
inline constexpr double kDoubleTolerance = 1.0e-6;

// The model extent: no coordinate or radius of a part's curves lies further from the origin than
// this, in the part's unit. The dialogs place points within 99999, so a million units (a
// kilometre in millimetres) leaves every model room while keeping what is derived from a curve
// bounded: a length or parameter stays a finite number that the part file can hold, and a
// polyline of a full circle at the single-precision tolerance takes about 2e5 points (one of
// radius 1e15 would take 7e9). A part beyond it is refused at load.
inline constexpr double kModelExtent = 1.0e6;

// Double-precision line intersection (intvvd, intvvd3): two unit directions whose cross product
// is below this are parallel. A sine of 1e-10 moves a crossing 1e-7 along a line of 1000 units,
// far below machining resolution, while real crossings at small angles are still found.
inline constexpr double kDoubleParallelSine = 1.0e-10;

}  // namespace vantu
