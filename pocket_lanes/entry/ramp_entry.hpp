// The ramp entry of a chain: the choice of the lane the ramp runs along (ramp_entry_calc, with
// ramp_next_lane), a circle as a closed polygon (circle_entry_points), and the ramps themselves:
// down the start of the first lane (ramp_in_first_lane) and, in the entry motion, from the path
// start point (ramp_along_first_lane). The pocket drawing and the entry motion call them.
#pragma once

// A host dynamic array of doubles: handle (-1 not open), capacity, used count.
struct ramp_entry_array {
    int handle = -1;
    int capacity = 0;
    int used = 0;
};

// Chooses the lane for a ramp into the level from the path start point P (x, y, absolute): the
// engine lane the current cut lane came from when it is long enough (Z step / tan(ramp angle))
// or the only one, else the best scored engine lane of the same root that a move from P reaches
// inside the pocket (temp_hatch). lane: in the current lane, out the chosen one. Its points go
// into `out` as (x, y) pairs (absolute; out.used doubles), the array grown to twice the lane's
// entries raised to the next thousand. order_flag reads the lane forward (set) or backward.
// Status 0; -1 when no lane qualifies (lane 0) or the chosen lane has no points; a failed host
// array's status. Reads pocket_state (z_step, ramp_angle), pocket_work (tolerance, tool_radius),
// the lane table, pocket_box.first_output_lane and pocket_frame.origin.
void ramp_entry_calc(int order_flag, const double* start, int& lane, ramp_entry_array& out, int& status);

// The lane linked to `lane` by its second link; not_found 1 (next 0) when the lane is outside
// the table or has no second link.
void ramp_next_lane(int lane, int& next, int& not_found);

// A circle about centre through start S (x, y each) as n + 1 points (the first again at the
// end) into `out`, n such that the sagitta of a segment stays within half the tolerance; the
// turning sense is the sign of cross(direction, unit(C - S)) (negative: clockwise). Status 0;
// -1 for a radius not above pocket_work.tolerance; a failed host array's status.
void circle_entry_points(const double* start, const double* centre, double radius, const double* direction, int& count,
                         ramp_entry_array& out, int& status);

// The ramp-in along the start of the first lane (count entries, x, y, arcs as records; lane_start
// its first point): the ramp string from the lane start (TK2STR), the ramp points (CLCRMP), a
// rapid move above the ramp top (by pocket_state.clear_height) when the tool is not there, the
// feed down the ramp, the way back to the lane start inside the pocket (temp_hatch) and the entry
// point at the first level. The way back is tested before anything moves: when it would gouge,
// nothing is written and the status is kRampNotMade (the lane is entered as without a ramp).
// Status 0, kRampNotMade, -1 (a ramp string that cannot be made) or a failure.
inline constexpr int kRampNotMade = 1;
void ramp_in_first_lane(const double* lane_start, int count, const double* points, int& status);

// The ramp of the entry motion from pocket_state.path_start along the first lane: the approach
// (strend_d with retract mode m) above the ramp top (by pocket_state.clear_height), the feed down
// the ramp and the way to the path start inside the pocket; when the way from the ramp's first
// point would gouge, only the approach above the path start at the full approach height
// (pocket_state.approach_height) is made (gouge 1, ramped 0).
void ramp_along_first_lane(int m, int count, const double* points, int& gouge, bool& ramped, int& status);
