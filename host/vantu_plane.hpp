// Plane geometry helpers of the lane code: the turning sense of three points (triccw), the angle
// between two vectors (calvan), a point on a segment with its parameter (ptonld), a scaled vector
// (vecscl), degrees to radians (radd), the exchange of two reals (exgr) and the grid cells that a
// segment crosses (crgrid). Points and vectors are doubles unless a name says otherwise.
#pragma once

// +1 when p1, p2, p3 turn counter-clockwise, -1 clockwise, 0 when the doubled area of the
// triangle is within kDoubleTolerance of zero (x, y of each point).
int triccw(const double* p1, const double* p2, const double* p3);

// Angle between the 2-D vectors a and b in radians (0 to pi); 0 when either has no length.
double calvan(const double* a, const double* b);

// 1 when the 2-D point lies on the segment a..b within kDoubleTolerance (its distance from the
// segment), else 0; t answers the parameter of its foot on the line (0 at a, 1 at b; 0 for a
// segment without length).
int ptonld(const double* point, const double* a, const double* b, double& t);

// result = factor * vector, n coordinates (n <= 0 writes nothing); result may be vector.
void vecscl(int n, double factor, const double* vector, double* result);

// Degrees to radians in double precision.
double radd(double degrees);

// Exchanges two reals.
void exgr(float& a, float& b);

// The grid cells (column, row pairs) that the segment from (x0, y0) to (x1, y1) passes, in order
// from the first point's cell, the coordinates given in cell units (cell (i, j) covers
// i <= x < i + 1, j <= y < j + 1). A segment through a cell corner passes the cell beside it along
// x, then the diagonal one.
// At most `room` cells are written; count answers the number written. Status 0; -1 when the
// cells do not fit (count = room) or a coordinate is no number or beyond 1e9 cells.
void crgrid(double x0, double y0, double x1, double y1, int room, int* cells, int& count, int& status);
