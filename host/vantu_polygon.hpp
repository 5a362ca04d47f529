// Point-in-polygon tests, the planar point-to-segment distance and the polygon services of the
// host (area, orientation, box, nesting, visiting order). Points are interleaved x, y lists of
// doubles, or of floats where a call says so.
#pragma once

#include <cstdint>

// Results of inpold.
inline constexpr int kInpolInside = 1;
inline constexpr int kInpolOnBoundary = 2;
inline constexpr int kInpolOutside = 3;

// Where a point lies against a polygon, or a set of polygons, given as count points (x, y
// interleaved). A polygon ends where a later point repeats its first point (within
// kDoubleTolerance); the points after it form the next polygon, and a last polygon without that
// closing point is closed implicitly. Result 2 when the point lies within `tolerance` of any
// edge; otherwise 1 when it lies inside an odd number of the polygons (inside the outline and
// not inside an island), 3 when not. Fewer than one point, or a null list: 3.
void inpold(double tolerance, const double* points, int count, const double* point, int& result);

// inpold for single-precision x, y pairs, within the host's single-precision tolerance
// (kRealTolerance): 1 inside, 2 on an edge, 3 outside. The module passes mode 1 (one polygon);
// the list is read as inpold reads it. Fewer than one point or a null list: 3.
void inpol(const float* points, int count, int mode, const float* point, int& result);

// Whether the point touches the polygon (count x, y pairs of doubles) within the tolerance:
// touch 1 when its distance from an edge (dsdlpt2 on the segment) is at most the tolerance,
// else 0. Mode 2 closes the polygon (its last point joins its first), mode 1 reads an open
// polyline; a single point is its own edge. Fewer than one point or a null list: 0.
void tchptpol(int mode, double tolerance, const double* point, int count, const double* points, int& touch);

// Signed area of a polygon of count single-precision points: positive counter-clockwise. Mode 0
// reads x, y pairs. Status 0; -1 for another mode or a null list (area 0). Fewer than three
// points have area 0.
void plarea(int count, const float* points, int mode, float& area, int& status);

// Orientation of a polygon of count x, y pairs: 1 counter-clockwise, 0 clockwise, -1 undecided
// (fewer than three points, or an area within the host's single-precision tolerance).
void polccw(int count, const float* points, int& direction);

// Box of count points of `dimension` (2 or 3) floats each: minimum coordinates, then maximum
// coordinates (2 * dimension values). Mode 1 starts a new box, any other mode widens the box
// given. Fewer than one point, a null list or another dimension leave the box as it was.
void polbxr(int mode, int dimension, const float* points, int count, float* box);

// Nesting of count polygons whose point counts are given and whose x, y pairs lie one polygon
// after another: row i of sons ((count + 1) words a row) holds the number of polygons inside
// polygon i, at any depth, then their indexes (0-based) in ascending order; unused words are
// 0. A polygon lies inside another when its box lies inside the other's, none of its points
// lies outside the other (inpold within kRealTolerance) and one of its points or edge middles
// lies strictly inside, or, when all lie on the other's boundary, its absolute area is smaller. Polygons of fewer than
// three points contain nothing. work answers the deepest nesting (0 when no polygon lies inside another). Status 0; -1
// for a count below 1, a negative point count or a null list (nothing written).
void polson(int count, const int* point_counts, const float* points, int* sons, int& work, int& status);

// Order in which to visit count points of `dimension` (2 or 3) floats each, 1-based indexes
// into order. Mode 1: a short open path, found by starting at the lowest-left point (smallest
// x + y), walking to the nearest unvisited point and then reversing stretches of the path
// while that shortens it (2-opt); mode 2: the same for a closed tour that comes back to its
// first point. Status 0; -1 for another mode or dimension, a count below 0 or above
// kRpathMaxPoints, or a null list (order left as it was).
inline constexpr int kRpathMaxPoints = 2000;
void rpath(const float* points, int dimension, int count, int mode, std::int16_t* order, int& status);

// dsdlpt2 in single precision (the pocket's loops and lanes are single-precision runs).
void dislp2(int mode, const float* point, const float* start, const float* end, float* nearest, float& parameter,
            float& distance, int& status);

// Distance of a 2-D point from the segment start..end, with the nearest point and the parameter
// of the foot of the perpendicular on the line (0 at start, 1 at end; it may lie outside 0..1 and
// the caller clamps it). Mode 1: nearest point and distance on the whole line; mode 2: on the
// segment (the nearer end when the foot falls outside it). A segment without length gives the
// start and parameter 0. Status 0; -1 for another mode (nothing written).
void dsdlpt2(int mode, const double* point, const double* start, const double* end, double* nearest, double& parameter,
             double& distance, int& status);

// Results of int2l.
inline constexpr int kInt2lCrossing = 0;
inline constexpr int kInt2lApart = 1;     // the lines cross beyond an end of a segment
inline constexpr int kInt2lParallel = 2;  // parallel, overlapping or a segment without length

// The crossing of the planar segments p1-p2 and q1-q2 (x, y of each; floats): crossing receives
// the point where their lines meet (not written when parallel). Ends within kRealTolerance of
// the other segment count as crossing.
void int2l(const float* p1, const float* p2, const float* q1, const float* q2, float* crossing, int& status);
