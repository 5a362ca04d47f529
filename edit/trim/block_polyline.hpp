// The polyline of a motion block: the trim action and the motion walk work on straight pieces
// only, so a line, arc, NURBS move or point string at the list position becomes a run of points
// with one vector each (the block's tool axis or normal where it carries one, (0, 0, 1)
// otherwise).
#pragma once

#include "toolpath/tp_blocks.hpp"

// Largest point count and chord tolerance of a NURBS move's polyline. A spline that needs more
// points at that tolerance is cut with a doubled tolerance until it fits.
inline constexpr int kNurbsPolylineMostPoints = 1000;
inline constexpr double kNurbsPolylineTolerance = 0.01;

// The curve family of a motion block type: 2, 22, 222 a line, 3, 23, 223 an arc, 5, 25, 225 a
// NURBS move, 7, 27, 227 a point string; any other type is `other` (no motion).
enum class motion_family { line, arc, nurbs, string, other };
motion_family motion_family_of(int type);

// The polyline of the motion block at the list position, which starts at `start` with
// `start_vector` (the previous point of the list and its vector). Answers a new block of `count`
// points (x, y, z floats, DM_ALLOC: the caller frees it with DM_FREE) and writes their vectors
// into the host array `vector_array` of 12-byte elements, whose `capacity` grows to the point
// count when it is smaller. A line gives its two ends; an arc (plane 1 XY, 2 XZ, 3 YZ) the start
// and the points reached by turning the radius vector about the centre on the plane's two axes in
// the steps setdel_nc makes of `divisions` (below 1 counts as 1) parts of the sweep, the third
// coordinate that of the end, the end point last; a NURBS move its polyline within
// kNurbsPolylineTolerance; a string of n points the start and its n points. `end`, `end_vector`
// and `arc` receive what the block holds (arc only for arcs). Another block type: null, count and
// status unchanged; a failed read or growth: null and the negative status.
float* block_polyline(const point3& start, const point3& start_vector, int vector_array, int& capacity, int divisions,
                      int& count, point3& end, point3& end_vector, tp_arc_block& arc, int& status);
