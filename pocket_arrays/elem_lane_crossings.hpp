// Every crossing of one element (a line, or an arc) with a pocket array, in order along the
// element. The corner moves count the crossings of their loops and lead arcs with the lanes.
#pragma once

// Element kinds.
inline constexpr int kElementLine = 0;
inline constexpr int kElementArc = 1;

// The crossings of the element from (sx, sy) to (ex, ey) (an arc about (cx, cy) of the radius,
// direction +1 counter-clockwise, -1 clockwise, given as a double) with the array x, y of n
// entries (arc records included), in order along the element: each point once, however many
// elements of the array meet there, and both points where the element crosses one arc twice.
// At most room - 1 crossings are listed (none for room below 2 or an array of one entry).
void elem_lane_crossings(int kind, double sx, double sy, double ex, double ey, double cx, double cy, double radius,
                         double direction, const double* x, const double* y, int n, int room, double* x_out,
                         double* y_out, int& count);
