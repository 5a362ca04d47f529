// The retract that leaves a cutting pass on the part surfaces (SRFRET) and the approach that
// enters the next one (SRFAPR), by the approach kind K of connect_params:
//   1 Z up; 2 along the surface normal; 3 and 4 a vertical tangent arc (from behind, from the
//   opposite side); 5 straight along the path; 6 along the horizontal part of the normal;
//   7 a horizontal tangent arc of 45 degrees.
// The lateral part of a move is checked against the triangulated surfaces when the gouge check
// G is on; a gouge, or geometry that gives no move, falls back to the Z-up kind with a warning.
// SRFAPR brackets its moves with APPROACH markers (9, 10), SRFRET with RETRACT markers (11, 12).
// The milling statement, the pending retract, the pocket entry and the reconnection call them.
//
// Arguments: the dimension mode; P (the point the tool leaves or arrives at); Q, the path's
// neighbour point (the previous one for a retract, the next one for an approach); the surface
// normal N at P; the direction handed to the moves; F (0 writes nothing; 1 takes the Z-up kind,
// for a retract only in place of kinds 3 to 5). Read connect_params (K, D1, D2, R, E, the check
// values, G, the direct-link flag and request), HEI8, the execution display mode and the
// clearance warning, the machining type and the NC function code.
#pragma once

#include "toolpath/tp_blocks.hpp"

// Feed modes left in force: the Z-up retract and every retract that climbs leave feed mode 1;
// without the climb (a surface function with the display mode 0) a lateral line or vertical arc
// leaves rapid and a horizontal arc feed mode 1. The approach leaves feed mode 1.
void SRFRET(int dimension, const point3& point, const point3& neighbour, const point3& normal, const point3& direction,
            int& flag, int& status);
void SRFAPR(int dimension, const point3& point, const point3& neighbour, const point3& normal, const point3& direction,
            int& flag, int& status);
