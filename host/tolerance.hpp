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

// Double-precision line intersection (intvvd, intvvd3): two unit directions whose cross product
// is below this are parallel. A sine of 1e-10 moves a crossing 1e-7 along a line of 1000 units,
// far below machining resolution, while real crossings at small angles are still found.
inline constexpr double kDoubleParallelSine = 1.0e-10;

// ---- fixed tolerances of the pocket engine (pocket_arrays/, pocket_lanes/) --------------------
// The engine compares with these constants, independent of the part's unit; every test is strict
// (a value equal to the tolerance is not within it).

// Two points are equal when their squared distance is below this (a distance of 1e-6).
inline constexpr double kPocketPointSquared = 1.0e-12;
// Two values are equal, a value is zero, when they differ from it by less than this.
inline constexpr double kPocketValueTolerance = 1.0e-6;
// Slack of range tests and end snapping of the element intersections, in lengths.
inline constexpr double kPocketRangeSlack = 1.0e-6;
// Sine of the angle below which two segments count as near-parallel in the intersections.
inline constexpr double kPocketParallelSine = 8.0e-5;
// Two circles touch when the squared half chord lies between -1e-8 and the zero tolerance:
// rounding of the squared radii can push a true tangent slightly below zero.
inline constexpr double kPocketTangentFloor = -1.0e-8;
// An arc whose sagitta r * (1 - cos sweep) is below this is flat enough to become a line.
inline constexpr double kPocketFlatArcSagitta = 0.0009;

}  // namespace vantu
