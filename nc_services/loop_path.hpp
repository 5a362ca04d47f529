// The point run between two points along the nearest stored loop (path_along_loop), used by the
// surface-pocket entry, with its point routines (segment_point_z, polyline_closest) and the store
// of closed loops it reads, which its first caller fills through loop_store_set.
#pragma once

// Closed loops of 3-D points (three floats each), one after another; each loop's last point
// repeats its first.
struct loop_store {
    int points = -1;  // host array of floats, -1 when empty
    int counts = -1;  // host array of per-loop point counts (closing point included)
    int loop_count = 0;
    int chosen = 0;  // loop chosen last time (from 1), 0 for none
    int debug = 0;   // 1 shows every loop and run as curve entities
};
extern loop_store loop_store_block;

// Replaces the stored loops by count loops (counts[k] points each, x, y, z floats one loop after
// another); a loop whose last point does not repeat its first is closed here. Count 0 empties
// the store. Status -1 for a loop of fewer than 3 points or missing lists (the store is emptied).
void loop_store_set(int count, const int* counts, const float* points, int& status);

// z of point x (x and y given) on the segment s..t: interpolated on x, on y when s and t share
// their x, the start's z when they share both.
void segment_point_z(float* x, const float* s, const float* t);
// Closest point of a polyline of n points (x, y, z floats) to x in the plane: segment (from 0,
// joining points segment and segment + 1), parameter along it (by x, by y when the segment's x
// are equal), the point (z that of x) and the distance. Status -1 and distance 1e10 for fewer
// than two points.
void polyline_closest(const float* x, int n, const float* points, int& segment, float& parameter, float* closest,
                      float& distance, int& status);
// The run from a to b along the chosen stored loop as one string of x, y, z floats: a', the loop
// vertices between, b' (a' alone when a' and b' lie within the tolerance in the plane); a then b
// when no loop is stored. room bounds the points written to run and ids (ids are zeroed). Status
// -1 when the run needs more than room points.
void path_along_loop(const float* a, const float* b, float tolerance, int room, float* run, int& strings, int& count,
                     int* ids, int& status);
