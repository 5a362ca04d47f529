// The Z-level change of single motions: the trim action hands every motion block of a range to
// move_motion_to_plane during MOVE BY DELTA Z, PROJ.:BLK BELOW Z PLN and PROJ.:ALL BLK ON Z PLN.
// Z values are changed in place; a line crossing the Z plane is replaced by two lines that meet on
// it, a point string crossing it is broken into lines for the line rule.
#pragma once

#include "toolpath/tp_blocks.hpp"

// Per-motion modes.
inline constexpr int kBelowPlane = 1, kMoveByDeltaZ = 2, kAllOnPlane = 3;
// How far above the Z plane ALL BLK ON Z PLN puts rapid and stored-feed motions, so that a
// move that was not cutting stays off the plane it now cuts on.
inline constexpr float kNonFeedPlaneLift = 5.0f;

// The motion block at the list position (type from its head; `end`, `end_direction` its end as
// the motion reader gave it) by the mode; `point`, `direction` are those before the motion and
// become its end. Mode 2 raises the motion by trim_words().delta_z, stopped at clear Z (CLEAR plus
// the tool path's origin Z, warning 317/31 once per run); mode 3 puts it on the plane (rapid and
// stored-feed motions kNonFeedPlaneLift above); mode 1 raises to the plane what ends below it:
// lines and strings by their ends (DEL Z-UP above for rapid and stored-feed lines), XY arcs and
// NURBS moves wholly; arcs in other planes stay. A line crossing the plane is split (split 1,
// number the block number of its second piece); a string crossing it is broken into lines, the
// list left on the first of them and the point not moved; a NURBS move crossing it is cut at its
// first passage into two NURBS moves, the list left on the second and the point at the cut. Else
// the list goes one block on. Reads trim_words(): delta_z, clear, del_z_up,
// current_feed, clear_warning (cleared by the warning); NPT1's origin.
void move_motion_to_plane(const point3& end, const point3& end_direction, point3& point, point3& direction, int mode,
                          int dimension, float z_plane, int& split, int& number, int& status);

// Replaces the line at the list position, which starts at the move writer's last point, by a line
// to `crossing` and one on to `end` (its Z raised to the plane when below it); the list ends on
// the second. A string (7, 27, 227) is broken into lines instead. Nothing when the status is
// already negative. Uses list marker 13.
void split_motion_at_plane(const point3& end, const point3& end_direction, const point3& crossing,
                           const point3& crossing_direction, float z_plane, int type, int dimension, int& status);

// The x, y where the segment p1 -> p2 meets the height p3.z (p3 in/out), and t, its fraction along
// the segment measured on the larger of the x, y extents (1.0 for a vertical segment).
void plane_crossing_point(const point3& p1, const point3& p2, point3& p3, float& t);

// Sets (add 0) or raises (add 1) by `value` the Z values of the motion block at the list position
// (see rewrite_motion_z); the list stays on the block.
void set_motion_z(int add, float value, int& status);

// The same with the read position behind the block's type word: a line's end Z, an XY arc's end Z,
// another arc's centre Z and end Z, every point Z of a string, every control point Z of a NURBS
// move. A B-spline is an affine combination of its control points, so moving their Z moves the
// whole curve exactly: the block keeps its place and number. Other block types stay. Status 0;
// the list call's negative status.
void rewrite_motion_z(int add, int type, int size, float value, int& status);
