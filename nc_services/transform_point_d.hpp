// Mapping of double-precision points and curves between world and the current work plane
// (transform_point_d). The curve display maps the curves it makes onto the work plane.
#pragma once

// Directions of the mapping.
inline constexpr int kWorldToWorkPlane = 1;
inline constexpr int kWorkPlaneToWorld = 2;
// Modes: a point (x, y, z in `point`) or a curve entity (`entity`: a line or a polyline).
inline constexpr int kTransformPoint = 1;
inline constexpr int kTransformCurve = 2;

// Maps the point or the curve's points in the given direction. Status 0; -1 for another
// direction or mode, a missing point, or an entity that is no line or polyline (nothing changed).
void transform_point_d(int direction, int mode, int entity, double* point, int& status);
