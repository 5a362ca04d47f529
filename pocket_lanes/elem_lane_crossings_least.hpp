// The crossings of one element (a line, or an arc) with a chain of a pocket array, in order
// along the element: the corner moves test their loops with it and the lead-point checks their
// lead arcs. Least version in its own file until the cutting stages bring the engine's walk,
// which keeps this signature.
#pragma once

// Element kinds.
inline constexpr int kElementLine = 0;
inline constexpr int kElementArc = 1;

// Every crossing of the element from (start_x, start_y) to (end_x, end_y) (an arc: about the
// centre with the radius, counter-clockwise for a positive direction) with the chain of `count`
// entries x, y (arc records included), in order along the element; a point where two chain
// elements meet counts once. At most room - 1 crossings are written to x_out and y_out;
// count_out answers their number (0 for a chain of one entry or a room below 2).
void elem_lane_crossings(int kind, double start_x, double start_y, double end_x, double end_y, double centre_x,
                         double centre_y, double radius, double direction, const double* x, const double* y,
                         int count, int room, double* x_out, double* y_out, int& count_out);
