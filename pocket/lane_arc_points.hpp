// Points on an arc record of a lane, walked backwards: the region to clean and the path handed to
// another caller both read lanes from their end to their start and replace each stored arc by
// points within a chord distance. The lane engine keeps the region on one side of all the lanes
// of a run (on their left: outer lanes counter-clockwise, island lanes clockwise; on their right
// when the cutting direction is reversed), and the points keep every chord on the region's side
// of the true arc: a tool centre on them never comes nearer the material than the lane.
#pragma once

#include <array>
#include <vector>

// Smallest step angle (radians) of an arc walk.
inline constexpr double kSmallestArcStep = 0.0001;

// Largest step angle of a walk that stands outside its arc: its corners lie at radius / cos(step
// / 2), so a quarter turn keeps them within (sqrt 2 - 1) radius of the arc even where the
// distance allowed is larger, and no corner runs off towards infinity as the step nears half a
// turn.
inline constexpr double kLargestOutsideStep = 1.5707963267948966;

// The largest step angle whose chords stay within `distance` of an arc of the radius:
// 2 acos(1 - distance / radius), the argument kept to [-1, 1], at least kSmallestArcStep.
double arc_step_angle(double distance, double radius);

// The largest step angle of a polygon standing outside an arc of the radius, its chords tangent
// to the arc and its corners within `distance` of it: 2 acos(radius / (radius + distance)), which
// is arc_step_angle at the radius + distance, at most kLargestOutsideStep.
double outside_step_angle(double distance, double radius);

// The points strictly between the arc's end and its start, walking from the end about the
// centre against the arc's direction (+1 counter-clockwise, -1 clockwise). The chords keep to
// the region's side of the arc's travel (its left with region_left, else its right): an arc
// bending towards the region (counter-clockwise with the region on the left, clockwise with it
// on the right) gets points on the arc in equal steps of at most arc_step_angle(distance,
// radius), chords inside its circle; an arc bending away gets the corners of a polygon whose
// chords touch the arc from outside, in equal steps of at most outside_step_angle(distance,
// radius), the first and the last along the tangents at the end and the start. False (no
// points) when the end or the start coincides with the centre.
bool arc_walk_points(const double* end, const double* centre, double radius, double direction, const double* start,
                     double distance, bool region_left, std::vector<std::array<double, 2>>& points);

// The points of count lane entries (x, y; an arc as its marker entry followed by (radius,
// direction), the centre and the end point) from the last entry to the first, every arc replaced
// by its end point, the walk's points (chords on the region's side, as arc_walk_points) and its
// start point. An arc whose end or start coincides with its centre becomes a straight piece.
std::vector<std::array<double, 2>> lane_points_reversed(const double* x, const double* y, int count, double distance,
                                                        bool region_left);

// The signed area of count lane entries read as a closed loop (positive counter-clockwise), every
// arc with the segment between its chord and itself.
double lane_signed_area(const double* x, const double* y, int count);
