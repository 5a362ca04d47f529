// The spline moves of the entry code: a spline approximated by points and checked against the
// clearance height and the part (approx_string_spline), and the twirl spline that joins the end
// of one path to the start of the next (twirl_spline_points), written as a NURBS move or, when
// it cannot be made, as the ordinary link of two pass strings. The surface entry moves call
// twirl_spline_points when both link points are kept; the surface link of the motion output calls
// twirl_spline_show, the twirl approach, through its approach services (toolpath/approach_seams.hpp).
#pragma once

#include "pocket_lanes/moves/entry_bookkeeping.hpp"

// Most points of the approximation, and most control points of the twirl spline.
inline constexpr int kSplinePointsMost = 400;
inline constexpr int kTwirlControlPointsMost = 1000;

// The spline of the descriptor as at most kSplinePointsMost points within 2 x the
// curve_approx_common tolerance. Mode 1: flag 1 when a point lies above the clearance height
// (HEI8). Then, while the flag is 0, each segment is projected with the tool
// (tool_project_point) and the first projection that is not free sets the flag. With the flag
// 0 and the UP/DOWN buffers in a buffering mode the points go into them. Status 0, or the
// failure of the approximation or the motion output.
void approx_string_spline(int mode, int spline, int& flag, int& status);

// The twirl spline (host mode 2) from `from` to `to` along their directions with the given
// length, its C0 chain within the tolerance checked by approx_string_spline (mode 0) and written
// as one NURBS move; false when a step fails (nothing written then).
bool twirl_spline_move(const link_point& from, const link_point& to, double length, double tolerance);

// The twirl link from the kept end of the last path (link.from) to the start of the next
// (link.to): the UP/DOWN buffers flushed (the B-spline fit with fitted motions), then, when the
// twirl value of curve_approx_common is not 0 and link.to lies at pocket_state.path_start, the
// twirl spline of tolerance max(0.01 x twirl value, 0.001, curve_approx tolerance), its C0
// chain, checked by approx_string_spline and written as one NURBS move; a step that fails gives
// the ordinary link (link_pass_strings, mode 2). The work flags are cleared at the end.
void twirl_spline_points(const pocket_link_words& link);

// The twirl spline from the end data: length by mode (2 and 3 the twirl length of
// curve_approx_common, 1 lead value 2 of pocket_state, others as passed; written back), tolerance
// the largest of 0.01 x length, 0.001 and the curve_approx_common tolerance; with both enable
// words set up to four tries at 1, 0.75, 0.5 and 0.25 times the length (a length not above 0 ends
// them); the first spline made is written as a NURBS move and sets the made word. With the debug
// word set the end directions are shown before each try. Status 0, or -1 when the tries ran out
// with a failed spline, -1 also when the work arrays cannot be opened.
void twirl_spline_show(int mode, double& length, int& status);

// Shows a line from the point along the direction scaled by the length, as a line entity in the
// twirl debug colour. A debug display never stops the twirl, so a failure only leaves it unshown.
void twirl_direction_show(const double* point, double length, const double* direction);
