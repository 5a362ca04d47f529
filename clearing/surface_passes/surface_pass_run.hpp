// The surface pass engine of area clearing: one clearing pass, a chain of hatch points in the
// plane, becomes tool motions that follow the part surfaces. Per machined segment of the chain
// the loop computes strings of surface points by the method of curve_approx_common, decides
// whether the tool reaches the first new point along the surface or lifts, and writes the strings
// through the UP/DOWN motion output. The hatch pass linkers call surface_pass_run once per pass
// while machining_type() is 11.
//
// Reads curve_approx_common (tolerance, side step, band, shift, method, restart, entry-point,
// grid, output and linking words, link tolerance), UPW2 (backup mode and interval), the current
// mill's diameter, the NC function code, the touch-point flag and the motion output's tool
// position; keeps its working state in surface_pass (surface_pass_state.hpp).
#pragma once

#include "clearing/hatch/surface_pass_seams.hpp"
#include "nc_services/proc_geometry_words_least.hpp"

struct clearing_point;

// Runs one pass given as the chain from pass_chain (may be null; a negative code marks the end of
// a jump that is not machined). pass_number counts the passes written so far and grows by one for
// every segment that yields strings. When motions were written, the last point, direction and
// point count go to last_move_set. The pass point array is closed on every way out. 0, or -1 when
// the loop ended with a negative status.
int surface_pass_run(const clearing_point* pass_chain, int& pass_number);

// The pass loop over the pass point array: points holds n records of three floats (flag, X, Y).
// Counted 1-based as the array's floats, point k's flag is float 3k-2, so real_count is 3n+1 and
// last_index 3n-5 (the last point's flag index less 3). Points with a negative flag end a jump
// that is not machined. context is the surface set handed to the touch strings. last_point and last_dir (three floats
// each) and point_count (-1 when nothing was written) describe the last move written. status 0, 7 when the grid method
// reported an outcome of 1 on a segment, or the first negative status.
void surface_pass_loop(int context, float* points, int real_count, int last_index, int& pass_number, float* last_point,
                       float* last_dir, int& point_count, int& status);

// Closes the pass point array when it is open and marks it closed.
void surface_pass_close();
