// Point in loop: the loop's arcs are sampled into chords and the host's polygon test decides.
// The lane engine asks it for every new offset against the previous lanes and the islands; the
// arc sampling is also the one used to turn loops into point lists.
#pragma once

#include "pocket_arrays/pokarr.hpp"

#include <memory>

// Inside results.
inline constexpr int kLoopOutside = 0;
inline constexpr int kLoopInside = 1;
inline constexpr int kLoopOnBoundary = 2;

// Status when the work list for the polygon test cannot be made.
inline constexpr int kInsideFailed = 11;
// Status of a point or loop holding a number that is not finite ("[pnt_in_pokarr] ...").
inline constexpr int kInsideRefused = -1;

// An arc is sampled into 3 to 90 chords: at most this many points.
inline constexpr int kArcPointsMax = 91;

// The elements of a loop in rows for the far-point decision of many points (loop_inside.cpp).
struct inside_rows;
struct inside_rows_delete {
    void operator()(inside_rows* rows) const;
};

// A loop made ready for many inside tests: its checks and its box are taken once, its arcs are
// sampled into the polygon list once, for the first point the box cannot decide, and a loop
// asked about many points gets its elements sorted into rows, so that each point meets only the
// elements beside the ray it casts. It reads the loop it was made from, which must stay
// unchanged (and alive) while it is used.
struct inside_loop {
    const pokarr* loop = nullptr;
    int state = 0;         // what every test answers before the polygon test
    long size = 0;         // points the sampled list can need
    double box[4] = {};    // x min, y min, x max, y max of every point the sampling can give
    double slack = 0.0;    // rounding reach added to the box
    pokarr list;           // the sampled polygon, x y pairs in a flat array
    int points = -1;       // points in the list; -1 before the sampling
    int one_polygon = -1;  // whether the host's test takes the list as one polygon; -1 unknown
    int far_walks = 0;     // far-point decisions made by a walk over every element
    std::unique_ptr<inside_rows, inside_rows_delete> rows;  // the elements in rows, after enough walks
    inside_loop() = default;
    inside_loop(const inside_loop&) = delete;
    inside_loop& operator=(const inside_loop&) = delete;
    ~inside_loop();
};

// Makes the loop ready for inside tests (the checks of pnt_in_pokarr on the loop, and its box).
void inside_loop_make(const pokarr& loop, inside_loop& prepared);
// The same for a loop its caller has just found finite (pokarr_finite), without checking again.
void inside_loop_make_finite(const pokarr& loop, inside_loop& prepared);
// The same as inside_loop_make for a loop that many points will be asked about: a large loop
// gets its rows at the first point its box cannot decide, not after a few walks over every
// element (the rows give the walks' answers).
void inside_loop_make_many(const pokarr& loop, inside_loop& prepared);
// pnt_in_pokarr against a loop made ready: the same result, status and message.
void pnt_in_inside_loop(double x, double y, inside_loop& prepared, int& result, int& status);

// Where (x, y) lies against the loop: 0 outside, 1 inside, 2 on the boundary (within
// min(0.001, pocket_work.tolerance) in a planar pocket, 1e-6 otherwise; reads
// pocket_state.pocket_dimension). Status 0, or 11 when the work list cannot be had (the loop is
// then too large) or an arc record is broken; kInsideRefused (result outside) for a non-finite
// number.
void pnt_in_pokarr(double x, double y, const pokarr& loop, int& result, int& status);

// Where the points of an array lie against the loop: the first result other than on the
// boundary, kLoopOnBoundary when every point lies on it. An arc record counts as one point: from
// the point before its marker the walk steps to the arc's end point. Status as pnt_in_pokarr; the
// walk stops at its first failure.
int points_against_loop(const pokarr& points, const pokarr& loop, int& status);
int points_against_loop(const pokarr& points, inside_loop& loop, int& status);
// The same with the middles of the chain's elements, the middle element's first (where two loops
// share their vertices, as parts cut from one loop do, the vertices cannot tell).
int middles_against_loop(const pokarr& chain, inside_loop& loop, int& status);

// The points of an arc for a chord tolerance: the start point, n - 1 points at equal turns, the
// end point (n + 1 in all, n between 3 and 90). x and y need room for kArcPointsMax points. A
// radius that is not positive gives the start and end points only.
void arc_points(double tolerance, double radius, int direction, double cx, double cy, double sx, double sy, double ex,
                double ey, double* x, double* y, int& count);

// The angle swept by an arc in its own direction, in [0, 2 pi).
void arc_sweep(int direction, double cx, double cy, double sx, double sy, double ex, double ey, double& sweep);
