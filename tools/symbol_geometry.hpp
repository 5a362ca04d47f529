// Lines, arcs and points made for the default tool symbols (sym_line, dbdarc_from_angles, GCPT0),
// as host curve records.
#pragma once

// Smallest radius of an arc entity: dbdarc_from_angles refuses smaller arcs. A tenth of the
// smallest ring the tool symbols draw (0.005), far above the host's double tolerance.
inline constexpr float kSmallestArcRadius = 0.0005f;

// Makes (id negative) or rewrites (id of an existing line) the line from start to end, sets its
// data doubles to (0, L, L) and "RP" to 0. Status -1 with nothing made when the points coincide
// (the caller makes a point instead); -1 with "LINE: ERROR IN ESTORE" or "LINE: ERROR IN EOPEN "
// on the user line when the entity cannot be made or is no line (a line half made is deleted).
void sym_line(int& id, const float (&start)[3], const float (&end)[3], int& status);

// Makes (id not positive) or rewrites (id of an existing arc) the arc about the centre, in the
// XY plane, from the start angle through the sweep (degrees; a negative sweep runs the other way
// round, more than 360 is a full turn); its data doubles are the angle range in radians and a
// step of 0.05 of the sweep. Status 0; -1 with "ARC IS TOO SMALL TO BE CREATED!" on the user line
// for a radius below kSmallestArcRadius or a sweep of 0, -1 when the entity cannot be made.
void dbdarc_from_angles(int& id, const float (&centre)[3], float radius, float start_angle, float sweep_angle,
                        int& status);

// Makes a point entity at the world point (mapped into model coordinates), "RP" 0. Status 0, or
// -1 with "GCPT0: ERROR IN ESTORE".
void GCPT0(int& id, const float (&point)[3], int& status);
