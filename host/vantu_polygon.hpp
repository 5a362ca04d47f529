// Point-in-polygon tests and the planar point-to-segment distance of the host. Points are
// interleaved x, y lists of doubles.
#pragma once

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

// Distance of a 2-D point from the segment start..end, with the nearest point and the parameter
// of the foot of the perpendicular on the line (0 at start, 1 at end; it may lie outside 0..1 and
// the caller clamps it). Mode 1: nearest point and distance on the whole line; mode 2: on the
// segment (the nearer end when the foot falls outside it). A segment without length gives the
// start and parameter 0. Status 0; -1 for another mode (nothing written).
void dsdlpt2(int mode, const double* point, const double* start, const double* end,
             double* nearest, double& parameter, double& distance, int& status);
