// What the surface approach and retract share: the lateral directions of the kinds, the points of
// their arcs, the gouge check and the warnings. Used only by the surface approach and retract.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <vector>

inline constexpr int kKindZUp = 1, kKindNormal = 2, kKindTangent = 3, kKindTangentOpposite = 4, kKindPath = 5,
                     kKindHorizontalNormal = 6, kKindHorizontalArc = 7;

// The unit horizontal direction from a to b; false when it has no length.
bool horizontal_unit(const point3& from, const point3& to, point3& unit);
// The unit vector of v (3-D); false when it has no length.
bool unit_vector(const point3& v, point3& unit);
point3 offset_point(const point3& p, const point3& direction, float distance);
// The far end of the lateral line of kinds 2, 5 and 6 from P, the lateral distance away: along the
// normal (2), the path from the neighbour to P in the plane (5) or the normal in the plane (6);
// false when that direction has no length.
bool lateral_line_point(int kind, const point3& point, const point3& neighbour, const point3& normal, point3& end);

// Points of the vertical arc of radius R whose lowest point (270 degrees) is P, in the vertical
// plane through P along `horizontal`: centre R above P, angle a gives the point
// centre + R (cos a horizontal + sin a z). Angles in degrees.
point3 vertical_arc_point(const point3& point, const point3& horizontal, float radius, float degrees);

// The horizontal arc of 45 degrees tangent to `path` at P: its centre lies R to the side of the
// path given by the sign of path x normal (side +1: left). False when path and the horizontal
// normal are parallel. points: from P backwards along the arc in steps (P first, the arc start
// at 45 degrees last); `sweep` the signed angle from the arc start to P (radians).
struct horizontal_arc {
    std::vector<point3> points;
    std::array<float, 2> centre{};
    float sweep = 0.0f;
};
bool horizontal_arc_points(const point3& point, const point3& path, const point3& normal, float radius, float tolerance,
                           horizontal_arc& arc);

// The gouge check of the lateral move from..to (nothing when G is 0 or the move has no length):
// true when a located tool point lies above the move by more than 0.01 (on machining types 2 and
// 3 also a point off the move in XY, or no point at all); then the warning `prefix` / `suffix`
// is shown with the point. Switches the projection on and the clearance flag off for the query.
bool lateral_gouges(const point3& from, const point3& to, const char* prefix, const char* suffix);

// The message with P in display units that a kind falling back to Z up for its geometry shows.
void report_point(const char* prefix, const point3& point);
