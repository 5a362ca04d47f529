// One step of the contour trimming's walk through a procedure's motions: the next motion is read,
// turned into a polyline, met with the trim contour, and cut at its first crossing when it
// changes side there, so that a range always begins and ends on a block boundary. Also the two
// small point routines the walk and the surface projection share.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <vector>

// Points closer than this (sum of the coordinate differences) count as one.
inline constexpr float kWalkSamePoint = 0.001f;
// The side test of a point against the contour polygon (inpold), and the touch test that refines
// an "outside" into "on the contour" (tchptpol): the contour polygon's own precision.
inline constexpr double kWalkSideTolerance = 0.0006;
inline constexpr double kWalkTouchTolerance = 0.001;
// The farthest an arc's polyline (its chords) may stand from the arc: within the contour's own
// precision, so that where the arc crosses the contour its polyline does too.
inline constexpr double kWalkArcSagitta = kWalkSideTolerance;

// 1 when |ax - bx| + |ay - by| + |az - bz| > kWalkSamePoint, else 0.
int pts_differ(const point3& a, const point3& b);

// The height of the segment a -> b at q's x, y into q[2]: t along the larger of its x, y extents
// (1.0 when that extent is zero), q's x, y unchanged.
void seg_z_at_point(const point3& a, const point3& b, point3& q, double& t);

// The walk's step. On entry current (and its direction) is the end of the motion read last; the
// next motion from the list position is read (trim_read_motion), previous takes the point before
// it and current its end. Without a change of side at a crossing the list goes one block on
// (a string is broken after its first point, the walk going on segment by segment); a line, arc or
// NURBS move that changes side is replaced by two blocks meeting at the crossing (stored in
// trim_words().crossing_point), current the crossing and the list on the second block; a string is
// broken and the list put on the line holding the crossing. first_flag, second_flag: the pieces
// before and after the crossing lie on the side start_side names (non-zero: inside); number the
// block the range boundary falls on, boundary_block likewise when the walk closed a range;
// contour_segment and contour_along the contour position of the first crossing; kind the motion's
// dimension kind (1, 3, 2 for types 2, 22, 222 ...). A motion ending on the contour within
// kWalkSamePoint, and during DELETE MOTIONS a non-feed motion crossing it an even number of times
// between its ends, is not cut. A NURBS move that changes side is cut into two NURBS moves where
// its curve crosses the contour (both made before the block is deleted). The pieces of a cut
// motion carry no parameter block: they run under the parameters in force where the motion ran.
// A motion that runs onto the contour is judged by the path after it: the motions that follow
// along the contour are read until one leaves it, whose first piece off the contour gives the side
// the path goes on on. Status 0; -2 at the end of the list (after the motion read last was
// judged, or before a motion was read: number is then left as it was); the first negative
// status of a list call.
// Reads trim_words(): contour (or plane_contour and plane_transform for selection method 2),
// walk_direction, operation, current_feed; writes last_non_feed_block, crossing_point,
// vector_array (open during the step only). Uses list marker 13; the range's marker 10 is the
// driver's.
void get_next_movment(point3& current, point3& previous, point3& current_direction, point3& previous_direction,
                      int start_side, int& boundary_block, int& first_flag, int& second_flag, int& type, int& number,
                      int& contour_segment, double& contour_along, int& kind, int& status);

// The side of a point against the trim contour of trim_words() (1 inside, 2 on it within the walk's
// tolerances, 3 outside), in the contour's plane for BY CONTOUR:ANY PLANE.
int contour_side(const point3& p);

// The motion at the list position as the points of its polyline from `from` (its tool vector
// `from_direction`) with the points where it crosses the trim contour put in between, each with
// its tool vector; the list stays on the motion. Changes nothing in the list. Status 0; the first
// negative status of the reading ("get_next_movment, DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE"
// when its vector array is refused).
void motion_cut_at_contour(const point3& from, const point3& from_direction, std::vector<point3>& points,
                           std::vector<point3>& vectors, int& status);
