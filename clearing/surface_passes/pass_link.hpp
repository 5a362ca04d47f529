// The link of one pass of surface points to the next: a leaving arc off the end of the first
// string, a move (lifted arcs or a loop, link_moves.hpp) and an arriving arc onto the start of the
// next, written as three strings through the UP/DOWN motion output. The surface pass loop calls
// it in mode 1 between two passes; the twirl link of the pocket entry moves in mode 2
// (pocket_lanes/moves/twirl_spline.cpp, through pocket_lanes/moves/surface_grid_seams.hpp).
// Reads the tolerance, link radius, link kind word, entry-point mode and band depth of
// curve_approx_common, the current mill's diameter, the host's NC function code (34 and 38 are
// the wire functions), the motion output's form word (fitted splines) and the cutter of
// linnet_params (the drops of the arc check).
#pragma once

#include "toolpath/tp_blocks.hpp"

// Links the string ending p_prev, p_end to the string starting p_start, p_next2 (three floats
// each). no_link = 1 when
// nothing was written (the caller then writes what it held back). Status 0, or the first negative
// status of an array or a write.
void link_pass_strings(const float* p_prev, const float* p_end, const float* p_next2, const float* p_start,
                       int pass_number, int mode, int& no_link, int& status);

// The arc off a string's end (mode 1, into link array 1, from P_end outwards) or onto a string's
// start (mode 2, into array 2, ending at P_end): it leaves P_end along the direction from P_far to
// P_end and turns upwards in the vertical plane on the link radius until it goes straight up. The
// arc is P_end alone for a radius below the tolerance (or not above 0) and at a vertical end.
// Where a point of the arc lies more than the tolerance under the dropped tool, the arc is built
// once again on the radius that ends it at the point before; a radius below the tolerance then
// leaves P_end alone. P_end alone reports message 392 of group 60 with its X, Y, Z, except under
// NC functions 34 and 38. points receives the array's base, count its points.
void string_end_arc(int mode, const point3& p_far, const point3& p_end, float tolerance, point3*& points, int& count,
                    int& status);
