// Points on an arc record of a lane, walked backwards: the region to clean and the path handed to
// another caller both read lanes from their end to their start and replace each stored arc by
// points within a chord distance.
#pragma once

#include <array>
#include <vector>

// Smallest step angle (radians) of an arc walk.
inline constexpr double kSmallestArcStep = 0.0001;

// The largest step angle whose chords stay within `distance` of an arc of the radius:
// 2 acos(1 - distance / radius), the argument kept to [-1, 1], at least kSmallestArcStep.
double arc_step_angle(double distance, double radius);

// The points strictly between the arc's end and its start, walking from the end about the
// centre against the arc's direction (+1 counter-clockwise, -1 clockwise) in equal steps of at
// most arc_step_angle(distance, radius). False (no points) when the end or the start coincides
// with the centre.
bool arc_walk_points(const double* end, const double* centre, double radius, double direction, const double* start,
                     double distance, std::vector<std::array<double, 2>>& points);

// The points of count lane entries (x, y; an arc as its marker entry followed by (radius,
// direction), the centre and the end point) from the last entry to the first, every arc replaced
// by its end point, the walk's points and its start point. An arc whose end or start coincides
// with its centre becomes a straight piece.
std::vector<std::array<double, 2>> lane_points_reversed(const double* x, const double* y, int count, double distance);
