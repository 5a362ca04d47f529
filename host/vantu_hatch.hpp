// Hatch-line services of the host: the frame of a straight line (hatchx), the crossing of one
// polygon edge with a line of that frame (hatint), the location of a point in a packed polygon
// set (inpolr), and the thinning of a point list whose points carry companion values (dillad).
// The region hatching of the lane engine and the scale-and-combine sampling call them.
#pragma once

#include "host/words.hpp"

// Turns the point (x, y) by -angle about the origin: with angle the direction of a line
// (atan2 of its dy, dx), the result is the point in the line's frame, u along the line and v
// across it. hatchx(-angle, ...) turns a frame point back.
void hatchx(float angle, const float* point, float* result);

// Results of hatint.
inline constexpr int kHatintCrossing = 0;
inline constexpr int kHatintNone = -1;

// Where the edge a..b (points in a line's frame) meets the line v = line_v: kHatintCrossing with
// u of that point when line_v lies between va and vb, both ends included; kHatintNone when the
// edge misses the line. An edge lying on the line (va == vb == line_v) has no single crossing
// and also answers kHatintNone: callers that need it test that case themselves.
int hatint(float line_v, const float* a, const float* b, float& u);

// Results of inpolr (as inpold: inside, on a boundary, outside).
inline constexpr int kInpolrInside = 1;
inline constexpr int kInpolrOnBoundary = 2;
inline constexpr int kInpolrOutside = 3;

// Location of a point in a set of count polygons packed as 32-bit words: a point count n, then n
// (x, y) single-precision pairs, then the next polygon (a count below 1 stands alone). 2 when the
// point lies within `tolerance` of an edge of any polygon; otherwise 1 when it lies inside an odd
// number of the polygons (the region of an outline with islands), 3 when not. A null set or a
// count below 1: 3.
void inpolr(const word* polygons, int count, const float* point, float tolerance, int& result);

// Thins the interleaved point list (dimension 2 or 3 doubles per point) as dladstd mode 0 does,
// and moves the companion values of each kept point with it (companion_size doubles per point,
// 0 for none). Status 0; -1 for another dimension, a negative count, tolerance or companion size,
// or a null list with points (nothing changed).
void dillad(int dimension, double tolerance, double* points, double* companions, int companion_size, int& count,
            int& status);
