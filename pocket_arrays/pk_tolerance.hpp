// The fixed tolerances of the pocket engine (pocket_arrays/, pocket_lanes/), their tests and the
// overlap tests of boxes. The engine compares with these constants, independent of the part's
// unit; every test is strict (a value equal to the tolerance is not within it) and answers 1 for
// true, 0 for false.
#pragma once

#include "pocket_arrays/pokarr.hpp"

#include <cmath>

// Two points are equal when their squared distance is below this (a distance of 1e-6).
inline constexpr double kPocketPointSquared = 1.0e-12;
// Two values are equal, a value is zero, when they differ from it by less than this.
inline constexpr double kPocketValueTolerance = 1.0e-6;
// Slack of range tests and end snapping of the element intersections, in lengths.
inline constexpr double kPocketRangeSlack = 1.0e-6;
// Sine of the angle below which two segments count as near-parallel in the intersections.
inline constexpr double kPocketParallelSine = 8.0e-5;
// An arc whose sagitta r * (1 - cos sweep) is below this is flat enough to become a line.
inline constexpr double kPocketFlatArcSagitta = 0.0009;

// The three tests below run in every element loop of the engine: they are inline so that a
// test costs a comparison instead of a call.

// |v| below the zero tolerance.
inline int pk_is_zero(double v) { return std::fabs(v) < kPocketValueTolerance ? 1 : 0; }
// |a - b| below the value tolerance.
inline int pk_eq_val(double a, double b) { return std::fabs(a - b) < kPocketValueTolerance ? 1 : 0; }
// Two 2-D points (x, y) whose squared distance is below the point tolerance.
inline int pk_eq_pnt2(const double* p, const double* q)
{
    const double dx = p[0] - q[0];
    const double dy = p[1] - q[1];
    return dx * dx + dy * dy < kPocketPointSquared ? 1 : 0;
}
// Two points of three doubles: equal in x, y as pk_eq_pnt2, and in z too unless the pocket is
// planar. Reads pocket_state.pocket_dimension.
int pk_eq_pnt(const double* p, const double* q);
// The squared length of p - q (of p when q is null) below the point tolerance; 3-D.
int pk_is_zero_vec3(const double* p, const double* q);
// 1 for an empty array; otherwise whether the first and last entries are equal (pk_eq_pnt,
// z 0.0 without a z block).
int pokarr_is_closed(const pokarr& array);
// ---- named thresholds of the kernel's own decisions (lengths in the part's unit) -------------

// Two circles touch (one point) when they meet within this distance and their half chord is
// shorter: a distance, so that the test means the same for a radius of 1000 as of 0.9.
inline constexpr double kTangentHalfChord = 1.0e-6;

// A loop whose box lies farther than this from an island's neither crosses the island nor has a
// point the inside test could find in it or on its boundary: far above that test's band (at most
// 0.001 in a planar pocket) and its rounding reach, and above the crossings' tolerances of 1e-6.
inline constexpr double kApartBoxReach = 0.01;

// Whether two boxes overlap, with the host's tolerant comparisons.
int pk_box_overlap2(double a_xmin, double a_ymin, double a_xmax, double a_ymax, double b_xmin, double b_ymin,
                    double b_xmax, double b_ymax);
// Whether two n-dimensional boxes (min and max arrays of n doubles each) overlap within reach;
// 1 when n is below 1. Plain comparisons.
int pk_box_overlap_nd(int n, double reach, const double* a_min, const double* a_max, const double* b_min,
                      const double* b_max);
