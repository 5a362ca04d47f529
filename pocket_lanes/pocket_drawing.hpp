// The pocket drawing: DRAWPK turns the cutting chains that the lane engine left in the lane table
// into the tool path of one Z level (entries, lead moves, links, lanes, lead-outs), and
// drawpk_find_start runs it in its start-finding mode. The execute callback of the pocket
// procedure calls both.
#pragma once

// Status of a level drawn with a lane that could not be entered.
inline constexpr int kLaneNotEntered = 99;
inline constexpr const char* kDrawpkFailure = "DRAWPK - ERROR DURING TOOL PATH CREATION";
// First capacity of the x/y list (doubles: two per point) and of the work arrays (items).
inline constexpr int kDrawListFirst = 14000;

// Draws the cut lanes (pocket_box.first_output_lane to the last lane but one) at
// pocket_state.current_z by pocket_state.drawing_mode (1 draws, 10 only sets
// pocket_state.path_start to where the first lane is entered). mode_a and mode_b are 0.
// Status 0, -1 ("DRAWPK - ERROR DURING TOOL PATH CREATION" on the error channel) or
// kLaneNotEntered. While it draws, link_region (link_region.hpp) holds the pocket's contours, so
// that a link, approach or entry whose usual height lies below the top of the material goes over
// the islands and walls its way would cross. Reads pocket_state (order_flag, ramp_flag,
// start_point_entry, contour_pass, drawing_mode, pocket_dimension, lead_mode, direction_sign,
// offsets_mode, level_counter, current_z), the lane table, curve_approx_common, the machining
// type and the NC function code.
void DRAWPK(int mode_a, int mode_b, int& status);

// DRAWPK in find-start mode (drawing mode 10, entry mode 1, no start-point entry), then drawing
// mode 1 again: pocket_state.path_start holds where the first lane is entered.
void drawpk_find_start(int& status);
