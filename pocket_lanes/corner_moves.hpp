// Corner loops: where a lane turns sharply to the side of the direction switch, the wire cannot
// reach into the corner, so corner_moves_insert puts a loop of four arcs into the lane's x/y list
// there: out of the corner, round a small circle on the corner's bisector and back. Each loop is
// checked against the contour lanes and the lanes cut before and shrunk while it collides. The
// pocket drawing calls it for lanes of a status other than 1.
#pragma once

// Slots of one corner loop: four arc records.
inline constexpr int kCornerLoopSlots = 16;

// Unit directions of a corner: u_in along the path into the corner, u_out from the corner back
// against the path out of it.
struct corner_directions {
    double in[2] = {};
    double out[2] = {};
};

// Scans the x/y list (count slots of x, y doubles, arcs as records; capacity in slots) of cut
// lane `lane` and inserts a loop at every qualifying corner that can be made free; the list may be
// moved and grown (by 500 slots at a time), count and capacity follow. Status 0 (also when the
// box store cannot be opened: no loops) or a failed growth. Reads curve_approx_common
// (corner_size, tolerance), pocket_state (direction_sign, drawing_mode), the NC function code,
// the lane table and pocket_box.first_output_lane.
void corner_moves_insert(double*& points, int& count, int lane, int& capacity, int& status);

// Whether the corner of the n collected slots (3, 6 or 9: point, then two elements) qualifies
// for a loop under the direction switch; the directions for the builder.
bool corner_test(const double* slots, int n, int direction_switch, corner_directions& d);

// The loop of size s at corner C for the directions: 16 slots, all but the end of the last arc
// (which is C).
void corner_loop_build(const corner_directions& d, const double* corner, double s, int direction_switch, double* loop);

// 1 when the loop collides with a contour lane (status 1) or with a cut lane before `lane`
// whose box overlaps the loop's, else 0.
int corner_loop_check(const double* corner, const double* loop, int lane);

// Whether the arc of a corner loop meets the part (status 0 free, 1 conflict): the arc stepped
// into points by the working tolerance; without part surfaces nothing conflicts.
void arc_clearance_test(double direction, double radius, const double* centre, const double* start, const double* end,
                        int& collision, int& status);

// Releases the box store of the cut lanes (DRAWPK at its end).
void corner_box_store_release();
