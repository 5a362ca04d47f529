// One pocket computation and its outcome: cmtpk_clean (the entry of the pocket's execute
// callback) runs it once, or first runs single-offset passes that clean the area round the
// contours; cmtpk1 sizes the main arrays, copies the contour tables into the lane table, runs the
// lane engine (again with larger arrays when they were too small) and turns its code into one
// message; pocket_run_for_caller runs a whole pocket for another part of the system on its own
// point contours and hands the path back as points.
#pragma once

#include <cstdint>

// Words of the computation, kept from one cmtpk1 call to the next within a cmtpk_clean call.
struct pocket_run_words {
    int too_small_reported = 0;  // the no-lane outcome was reported in this computation
    int saved_offsets_mode = 0;  // the offsets mode when cmtpk_clean started
};
extern pocket_run_words pocket_run_block;

// Mode 0 to 9 as is; 10 to 19 the outer contour left out of the clean offset; 20 and more the
// final computation only. The reduced mode becomes the pocket mode (0 the pocket procedure; other
// callers see no user messages). Status 0, 100 (done, the end point dropped), 17 (no lane), 2
// (the clean region was refused) or -1. Every option it changes (pocket dimension, direction
// sign, offsets mode, multi-offset flag, end-point mode, minimum value, clean offset, offsets by
// level) is put back on every way out, the stop of an execution included.
void cmtpk_clean(int mode, int& status);

// The lane engine cmtpk1 runs (rrpock, lane_engine.hpp); a test may put a double in its place and
// restore it with rrpock.
using lane_engine_run = void (*)(double extra_offset, const double* offsets, double side_step, int& offsets_mode,
                                 int direction_sign, int second_stage, double tolerance, double end_value, int& status);
lane_engine_run& pocket_lane_engine();

// The main arrays' first size for a computation of `contours` contour rows and `contour_points`
// stored contour entries: 12 entries per contour and side step across the pocket rounded up to a
// power of ten (10 per contour in one-offset mode), at least 4 entries per contour point; computed
// in 64 bits and saturated at the arrays' limit. Reads pocket_state (offsets_mode,
// pocket_dimension), pocket_work (side_step, extra_offset), pocket_frame.size and pocket_box.main_size.
std::int64_t cmtpk1_size_estimate(int contours, int contour_points);

// One computation. Status 0 or 100, otherwise the engine's code after its message (14 becomes
// 17; 22, lanes that leave part of a pocket on the surface uncut, keeps the lane loop's message
// and the lanes). Reads and may change pocket_work (side_step, end_point_mode) and
// pocket_state; sizes pocket_box and the main arrays.
void cmtpk1(int mode, int& status);

// A whole pocket for another caller: contours of single-precision (x, y) points, the first the
// outer contour, with an offset each; the path comes back as strings of points (path_count: on
// entry the room of string_points, on return the strings; at most point_limit points). Status 0
// (also when no pocket could be made: no strings), -1 on failure or while a computed pocket's
// main arrays are open. The pocket blocks are put back and the arrays given back at the end.
void pocket_run_for_caller_n(int direction_switch, int minimum_flag, float minimum_value, float tolerance,
                             int contour_count, const int* point_counts, const float* points, const float* offsets,
                             int& path_count, int* string_points, float* path, int point_limit, int& status);
// The same with a limit of 7000 points; a path beyond it (-11) is -1.
void pocket_run_for_caller(int direction_switch, int minimum_flag, float minimum_value, float tolerance,
                           int contour_count, const int* point_counts, const float* points, const float* offsets,
                           int& path_count, int* string_points, float* path, int& status);
