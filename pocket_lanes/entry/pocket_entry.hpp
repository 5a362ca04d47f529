// The entry of a chain at a Z level: the general entry motion from the tool position into the
// pocket (pocket_entry_motion), with the move from the user's indicated start point when it
// cannot gouge, and the snap of that point onto the nearest boundary (start_point_snap) or onto
// the loop pieces (start_point_on_loops). The pocket drawing calls the entry for the first lane.
#pragma once

// Status of an entry whose indicated start point was refused with a negative ramp request.
inline constexpr int kEntryStartRefused = -2;

// The approach values of pocket_entry_motion: approach point (x, y), arc centre (x, y), arc
// direction, found flag; the approach result beside them.
struct entry_approach {
    double point[2] = {};
    double centre[2] = {};
    double direction = 1.0;
    int found = 0;
    int result = -1;
};

// Brings the tool from where it stands to the lane start (x, y) at pocket_state.current_z:
// a single feed move when it stands there already; else the approach from above (strend_d) and
// the descent (plnzup_d), by way of the indicated start point when pocket_state.start_point_entry
// is set and the move from it into the pocket cannot gouge (temp_hatch). With approach_flag the
// aim is the approach point of approach_retry (side, kind, lane with the count points of the
// first lane). With record_flag the entry point is recorded and reported ("ENTRY POINT:").
// ramp_request above 0 asks for a ramp along the first lane; below 0 a refused start point
// ends with kEntryStartRefused. plunge_pending is cleared when this made the down move. Sets
// pocket_state.path_start, start_point_used. Status 0, -1 or kEntryStartRefused.
// Reads pocket_state (start point and offset, approach_height, current_z, offsets_mode,
// level_counter, lead_mode, entry_shift), pocket_work (tolerance, approach_shift) and DSP8.
void pocket_entry_motion(int search_flag, int approach_flag, int ramp_request, int record_flag, int side, int kind,
                         int lane, const double* lane_start, int count, const double* points, int& plunge_pending,
                         entry_approach& approach, int& status);

// Moves pocket_state.start_point onto the nearest boundary of polygon buffer 5 when it lies
// within 10 x pocket_work.tolerance of it. Status 0 or a failed host array's.
void start_point_snap(int& status);

// The nearest point to `point` (x, y doubles) on the lane pieces that the copy of the loop tree's
// nodes records: every segment record in use of every node whose loop is not a contour's
// (kLoopContour) gives its piece of its lane (lane_extract_part), the nearest of all wins (the
// first of equal ones). Status 0 with `nearest` set; -1 with the point copied when the copy is
// not open or no piece gives a point. Reads node_arrays_block (the copy), the loop tree, the lane
// table and pocket_frame_block.origin (the lanes lie relative to it; the point and the answer
// do not).
void start_point_on_loops(const double* point, double* nearest, int& status);
