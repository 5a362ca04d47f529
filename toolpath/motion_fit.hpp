// The motion fitting buffer: when milling statements go out as fitted splines (output form 1,
// PRM9 word 22), MILST2 hands their points to motion_collect, which gathers runs that are smooth,
// evenly spaced and of one feed, and flushes each run through motion_bspline_fit as one NURBS
// move (an interpolating cubic B-spline) or, when no fit holds, as a thinned polyline. Also the
// small records kept beside the buffer: the cached last point, the last-move record, the fit
// tolerance and a flag word. Callers: the milling statement, the UP/DOWN buffers, the pocket
// drawing, the clearing passes.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <array>
#include <vector>

using point3d = std::array<double, 3>;

// fit_buffer, module state (at load: no array, feed-mode words 1, restart set).
struct fit_buffer {
    int handle = -1;      // host array of doubles, three per point; -1 not open
    int capacity = 0;     // in coordinates
    int count = 0;        // in coordinates (a multiple of 3)
    point3 last_point{};  // the last accepted point
    int restart = 1;      // 1 after every flush: the next point is always accepted
    int last_id = 0;      // 0 when the caller gives no ids
    point3 last_direction{};
    point3 cached{};  // the last point handed in since the last flush
    int cached_valid = 0;
    double tolerance = 0.0;   // t, set through fit_tol_getset
    int down_feed_state = 0;  // the state word of down_feed_switch
    int run_feed_mode = 1;    // the feed mode when the run started
    int feed_mode = 1;        // the feed mode at the last point
    // The squared deviations the refinement and the sampling check allow; nothing sets them, so
    // any deviation counts.
    double refine_limit = 0.0;
    double sample_limit = 0.0;
};
fit_buffer& fit_state();
// Closes the array and puts the block back to its load state (the end of a procedure's
// execution, tests).
void fit_buffer_release();

struct last_move_record {
    point3 point{};
    point3 direction{};
    int count = 0;
};

// Feeds n points (directions and ids may be null) into the buffer, flushing runs as they break;
// the last point is cached. Reads the current tool's mill diameter and corner radius and the
// feed mode of machine slot 1. Status: the first negative status of a flush or the array.
void motion_collect(int n, const point3* points, const point3* directions, const int* ids, int& status);
// Writes the buffered run (a NURBS move, or the thinned polyline; one or two points as lines) and
// empties the buffer; the feed mode of the last collected point is in force afterwards. Status:
// the first negative status of a move (the remaining moves are not attempted).
void motion_bspline_fit(int& status);

// The fit points of a run: the points (as chosen or inserted) and the key that orders them along
// the run (the index of a collected point, or segment number + fraction for a sample).
struct fit_points {
    std::vector<point3d> points;
    std::vector<double> keys;
};
// All points up to 4; under 64 the first, the one at a third, at two thirds and the last; else
// every sixteenth and the last.
void fit_points_pick(const std::vector<point3d>& points, fit_points& fit);
// Inserts, in each gap between consecutive fit points, the collected point farthest from the
// curve (evaluator `curve`, fit point f at parameters[f]; no parameters: the whole curve) when
// its squared distance is above `limit`. Status 1 when any was inserted, else 0; -1 when the
// curve could not be queried.
void fit_refine(int curve, const std::vector<double>& parameters, const std::vector<point3d>& points, double limit,
                fit_points& fit, int& status);

// The point cached since the last flush; status -1 (point unchanged) when there is none.
void apr_point_cached(point3& point, int& status);
// Mode 1 answers t, any other mode sets it.
void fit_tol_getset(int mode, float& value);
// Mode 1 answers the flag word (0 at load), any other mode sets it.
void motion_flag_getset(int mode, int& value);
void last_move_get(point3& point, point3& direction, int& count);
// Stores the parts given; a null part is left as it was.
void last_move_set(const point3* point, const point3* direction, const int* count);
