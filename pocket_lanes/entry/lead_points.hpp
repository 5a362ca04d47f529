// Lead points at lane ends: where the lead-in into a lane begins (lead_in_calc) and where the
// lead-out of a lane ends (lead_out_calc), straight or as a quarter arc tangent to the lane, on
// the side the pocket's direction sign asks for, cut short where it would cross a lane, the
// tool's linking move or the part. They write nothing: the lane moves of the drawing write the
// lead (choose_drpar for an arc) and retry once with a straight lead when an arc is refused.
#pragma once

// Statuses: a lead stands (perhaps shortened), no usable lead (the lead point is the lane end).
inline constexpr int kLeadStands = 0;
inline constexpr int kNoUsableLead = 1;
// Entry mode that leaves out the test of the linking move.
inline constexpr int kEntryModeNoLinkTest = 13;

// The lead-in at the first point P0 of the lane (n entries of x, y doubles in cutting order, arcs
// as records). lane: |lane| is the lane's row in lane_table; a negative number asks for both sides
// to be tried when the lane belongs to an island of contour type 3 (island mode only). Answers the
// lead point L, for an arc lead the centre and the direction (+1.0 counter-clockwise; 1.0 and
// (0, 0) before an arc is built), and shortened 1 when the lead was cut short. Status
// kLeadStands, kNoUsableLead (L = P0), or -1 when a lane or an inside test fails.
// Reads pocket_state (lead_mode, lead_values, direction_sign, entry_shift as the approach
// percentage, drawing_mode, offsets_mode), pocket_work (extra_offset, side_step, tolerance,
// tool_radius), lane_table_block, pocket_box_block.first_output_lane, the point mover's
// level-drawn flag, the last up/down point and the NC function code.
void lead_in_calc(int island_mode, int lane, int n, const double* points, int entry_mode, int& shortened, double* lead,
                  double* centre, double& direction, int& status);

// The lead-out at the last point of the lane, the same way; its linking move runs from the first
// point of the next lane in cutting order (lane + 1 while pocket_state.order_flag is set, else
// lane - 1). An entry mode below 1 means that no lane follows: no linking move is tested and the
// mode is made positive in place.
void lead_out_calc(int island_mode, int lane, int n, const double* points, int& entry_mode, int& shortened,
                   double* lead, double* centre, double& direction, int& status);
