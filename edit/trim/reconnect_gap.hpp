// Reconnection of two pieces of a tool path: when motions are cut out, the piece before the gap
// ends at a from point and the piece after it starts at a to point. reconnect_gap writes, at the
// list position, the retract and the approach that join them, straight through the clearance
// plane or along the reference surfaces; its companions find the path's direction at either end,
// triangulate the reference surfaces (trig_cache slot 1) and test whether an end lies on them.
// The editor's block deletion (through edit/editor/gap_services.hpp) and the trimming call it.
#pragma once

#include "edit/editor/gap_services.hpp"
#include "toolpath/tp_blocks.hpp"

// Writes the motions from `from` to `to` at the list position, with the clearance height clear_z
// and the lift del_z_up in force for the call (both put back on return); the sides of the gap are
// those at the list position (gap_ends_at). Status as gap_connect.
void reconnect_gap(float& clear_z, float& del_z_up, point3 from, point3 to, int& status);

// The sides of the gap at the list position: gap_side_point for either end.
gap_ends gap_ends_at(point3 from, point3 to);

// Writes the connection of a gap whose sides are known, at the list position: equal ends write
// nothing; both ends at the clearance height after a non-feed move, one straight move; else a
// retract from the from end (when a motion lies before it) and an approach to the to end (when
// one lies after it), along the reference surfaces for an end on them when the approach choice is
// not 1, else straight up and down. A gap open at one end goes through the clearance whatever
// the clearance-plane switch of HEI8. The plunge onto the to end runs at PRM9's plunge percentage
// (100 when it holds none) of the feed in force at the list position (PRM9's base feed when that
// is a rapid), and the feed in force is given back after it. Reads trim_words() (approach choice,
// SRF. APPROACH, SRF. ARC RADIUS, surface tolerance and offsets, triangulation words), HEI8, DSM4,
// PRM9 and the reference lists of trig_cache. Leaves the written motions, the force word of
// machine-parameter slot 1, trim_words().current_feed and the execution display mode; puts back
// the clearance height and switch, PRM9's base feed and plunge percentage, the lift, the curve
// approximation words and the NC function code. Status 0; the first negative status of the feed
// search, a motion writer or PUTMCH (the motions written before it stay: the caller removes them).
void gap_connect(float& clear_z, float& del_z_up, const gap_ends& ends, int& status);

// The path point next to one end of the gap: with start 1 the from end (searched backward from
// the motion at or before the list position), with start 0 the to end (searched forward). Lines
// give their point; point strings their first point (the from end: their second-to-last); arcs
// the tangent point of arc_tangent_point; NURBS moves their last control point (the from end) or
// their second (the to end; the first is where the move starts). Returns 1 when a motion was
// found and read, else 0; the list position is the same on return (list marker 19).
int gap_side_point(int start, point3 point, point3& neighbour);

// The point one radius along the tangent of an arc at its end point: end + the radius vector
// (centre to end) turned by +90 degrees in the arc's plane when angle > 0, by -90 otherwise. plane
// is the arc's plane (1 XY, 2 XZ, 3 YZ) and centre its two coordinates there; the third
// coordinate is the end point's.
point3 arc_tangent_point(int plane, const point3& end, const std::array<float, 2>& centre, float angle);

// How far a point may stand above the touch point of the reference surfaces below it and still
// count as on them: three hundredths of the part's unit, above the surface tolerances a
// connection is run with and well below any lift.
inline constexpr float kOnSurfaceGap = 0.03f;

// 1 when the point lies on the reference surfaces (the triangle model made current by
// ref_surfaces_triangulate): the tool dropped at the point touches them, and the point stands
// less than kOnSurfaceGap above the touch point (or below it); normal receives the contact
// normal there. Else 0 (no model, no touch, a failed query).
int point_on_ref_surface(point3 point, point3& normal);

// Makes the triangle model of the reference lists current: restored from trig_cache slot 1 when
// the slot holds one, else triangulated (allsrf) and saved there. Both lists empty: no model.
// Status 0; the status of allsrf when it failed (no model then).
void ref_surfaces_triangulate(int& status);
