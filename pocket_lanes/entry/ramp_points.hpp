// The points of a ramp entry: a lane turned into a plain string of 2-D points (TK2STR), the ramp
// laid along that string at the ramp angle until it climbs to the ramp top (CLCRMP), and the test
// whether a lane is wide enough across to hold a straight ramp (lane_span_test). The ramp-in
// along the first lane and the move from an indicated start point call them.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Entries of the ramp point array (x, y, z doubles), its first size and its growth.
inline constexpr int kRampEntryBytes = 24;
inline constexpr int kRampFirstEntries = 500;
inline constexpr int kRampGrowth = 100;

// Writes the `count` entries of the lane (x, y doubles, arcs as records) into `buffer` as a
// string of (x, y) points, the arcs stepped into points within the tolerance (their start point
// once), every chord on the region's side of its arc: the region lies on the lane's left with
// region_left, else on its right (arc_walk_points). capacity counts reals. Mode 1 keeps the
// lane's order, any other reverses it.
// result_count answers the points written. Status 0; -1 with "TK2STR,BUF OF POINTS FOR RAMP-IN
// IS TOO SMALL" when they do not fit (the caller grows the buffer and calls again).
void TK2STR(int mode, double tolerance, bool region_left, int count, const double* lane, int capacity,
            int& result_count, double* buffer, int& status);

// Lays the ramp along the `count` points of the string (x, y doubles; the caller's start point
// first) climbing at pocket_state.ramp_angle from the string's second point at
// pocket_state.current_z to the top, current Z + 0.9 x Z step + 0.1 x approach height: an open
// string (closed 0) back and forth along its points 2 .. count, a closed one in laps from its
// last point down to point 2. The last entry lies exactly at the top. A string without length,
// or a ramp angle that never climbs (tangent not above 0), gives the plunge: two entries at the
// first point, at the current Z and one Z step higher. The entries go into a host array that
// this opens (500 entries, grown by 100) and the caller reads (mmcptr) and closes; count answers
// the entries written. Status 0; -1 with "CLCRMP, PROBLEM IN ALLOCATING/RESIZING BUFFER OF
// POINTS" when the array cannot be opened or grown (it is then closed).
void CLCRMP(int count, const double* string, int closed, int& result_count, int& handle, int& status);

// Whether the lane holds two points farther apart than `length`: the lane is the pocket array
// when count is -1, else `count` (x, y) single-precision points. Result 0 when it does (or when
// length is below twice pocket_work.tolerance), -1 when it does not. The lane is resampled at
// 5 x the tolerance, and from its middle point the walk jumps to the farthest unvisited point
// until a pair is found or no pair can be. Status 0, or that of a failed host array.
void lane_span_test(int count, const float* points, const pokarr* array, double length, int& result, int& status);
