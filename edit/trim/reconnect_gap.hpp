// Reconnection of two pieces of a tool path: when motions are cut out, the piece before the gap
// ends at a from point and the piece after it starts at a to point. reconnect_gap writes, at the
// list position, the retract and the approach that join them, straight through the clearance
// plane or along the reference surfaces; its companions find the path's direction at either end,
// triangulate the reference surfaces (trig_cache slot 1) and test whether an end lies on them.
// The editor's block deletion and the trimming call it.
#pragma once

#include "toolpath/tp_blocks.hpp"

// Status of reconnect_gap beside 0: a motion writer failed (its status is handed on when it is
// negative, else this one).
inline constexpr int kReconnectWriteFailed = -3;

// Writes the motions from `from` to `to` at the list position, with the clearance height clear_z
// and the lift del_z_up in force for the call (both put back on return). Equal points write
// nothing. Reads trim_words() (approach choice, surface tolerance and offsets, triangulation
// words), HEI8, DSM4, PRM9 and the reference lists of trig_cache; leaves the written motions, the
// force word of machine-parameter slot 1, trim_words().current_feed and the execution display
// mode. Status 0; the first negative status of a motion writer or PUTMCH (the motions written
// before it stay: the caller removes them).
void reconnect_gap(float& clear_z, float& del_z_up, point3 from, point3 to, int& status);

// The path point next to one end of the gap: with start 1 the from end (the motion at or before
// the list position, then the one before it), with start 0 the to end (the motion after the list
// position). Lines give their point, point strings their first (the from end: their second-to-last)
// point, arcs the tangent point of arc_tangent_point, NURBS moves their last (the from end) or
// second (the to end) control point. Returns 1 when a motion was found and read, else 0; the list
// position is the same on return (list marker 19).
int gap_side_point(int start, point3 point, point3& neighbour);

// The point one radius along the tangent of an arc at its end point: end + the radius vector
// (centre to end) turned by +90 degrees in the arc's plane when angle > 0, by -90 otherwise. plane
// is the arc's plane (1 XY, 2 XZ, 3 YZ) and centre its two coordinates there; the third
// coordinate is the end point's.
point3 arc_tangent_point(int plane, const point3& end, const std::array<float, 2>& centre, float angle);

// 1 when the point lies on the reference surfaces (the triangle model made current by
// ref_surfaces_triangulate): the touch point below it was found and the point is less than
// kOnSurfaceGap above it (or below it); contact receives the touch point's contact data. Else 0.
inline constexpr float kOnSurfaceGap = 0.03f;
int point_on_ref_surface(point3 point, std::array<float, 6>& contact);

// Makes the triangle model of the reference lists current: restored from trig_cache slot 1 when
// the slot holds one, else triangulated (allsrf) and saved there. Both lists empty: no model.
// Status 0; the status of allsrf when it failed (no model then).
void ref_surfaces_triangulate(int& status);
