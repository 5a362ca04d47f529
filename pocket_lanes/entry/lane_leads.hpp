// The lead moves at the ends of a lead lane: the approach point of a lane with the retry as a
// straight lead when an arc lead does not fit (approach_retry), the lead-in written into the
// lane's first point (lane_start_move) and the lead-out after its last point (lane_lead_out),
// each bracketed by its markers and reported to the user by message number. The pocket drawing
// and the entry motion call them.
#pragma once

// Approach results.
inline constexpr int kApproachFailed = -1;
inline constexpr int kApproachFound = 1;
inline constexpr int kApproachStraightOnly = 2;
inline constexpr int kApproachNone = 3;

// Message group of the lead messages and their numbers.
inline constexpr int kLeadMessageGroup = 331;
inline constexpr int kMsgLeadOutArc = 39;
inline constexpr int kMsgLeadInNoted = 40;
inline constexpr int kMsgLeadInStraight = 42;
inline constexpr int kMsgLeadInNone = 43;
inline constexpr int kMsgLeadOutStraight = 47;

// The approach of a lane's count entries (x, y doubles, arcs as records) by lead_in_calc:
// result 1 with the approach point, the arc centre and direction; 2 when only a straight lead
// as long as the arc radius fits (lead mode 2 with the found flag: lead value 2 and the lead
// mode are replaced for the retry and put back); 3 and status 0 when no approach is possible
// (the approach point is then the lane's first point); -1 with the failure's status. Reads and
// restores pocket_state.lead_mode and lead_values.
void approach_retry(int side, int& result, int kind, int lane, int count, const double* points, double* approach_point,
                    double* arc_centre, double& arc_direction, int& found, int& status);

// The lead-in into the lane's first point: message 42 (result 2) or 43 (result 3) with that
// point in display units, unless the NC function is 48; a straight move of the kind (12 or 13)
// from the approach point (lead mode 1 or a result other than 1) or the arc lead of radius lead
// value 1 (choose_drpar); the lead rise lifts the move. Then message 40 when note_flag is set and
// the end marker 5/10. z_values may be null (the current Z). Status 0 or the first failure.
// Reads pocket_state (lead_mode, lead_values, current_z), pocket_work.lead_rise.
void lane_start_move(int result, int kind, int dimension, const double* points, const double* z_values,
                     const double* approach_point, const double* arc_centre, double arc_direction, int note_flag,
                     int& status);

// The lead-out after the lane's last entry (count entries): the departure by lead_out_calc,
// retried as a straight lead as long as the arc radius when an arc does not fit (message 47);
// markers 6/11 and 6/12 around it; a straight lead-out moves with the kind (21: with the lead
// rise), an arc lead-out through choose_drpar followed, without a lead height, by the overrun
// move of pocket_state.entry_shift per cent back towards the lane end. Message 39 when the lead
// was cut short. Status 0 or the first failure. Reads pocket_state (lead_mode, lead_values,
// direction_sign, entry_shift, current_z), pocket_work (lead_rise, lead_height).
void lane_lead_out(int side, int kind, int dimension, int count, int lane, const double* points, const double* z_values,
                   int& status);
