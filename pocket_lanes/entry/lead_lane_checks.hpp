// The tests of a lead against the lanes: the first crossing of a straight move with the live
// offset lanes, which side of a lane or chain a point lies on, the ring a lane belongs to, and the
// lead arc checked against another lane and against the lane it leads into. lead_in_calc and
// lead_out_calc ask them for every lead they build.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Distance of "no crossing kept yet" (the single-precision 1e10).
inline constexpr double kNoLeadCrossing = 1.0e10f;
// Flags of the arc checks.
inline constexpr int kArcCheckRefused = -1, kArcCheckClear = 0, kArcCheckShortened = 1;

// The lanes a lead is tested against: lanes below pocket_box.first_output_lane (every lane while
// it is 0) of the wanted |status| whose points exist; in island mode neither the outer lanes
// (level below 10000) when contour 1 has type 2 nor islands whose contour type is 2. Reads
// lane_table_block and pocket_box_block.
bool lead_tests_lane(int island_mode, int lane, bool any_sign);

// The first lane (lowest index) of the lane's level and status; in island mode, when that is the
// lane itself and its status 1, the first lane of the level with status 0. lane is in/out.
void lane_ring_first(int island_mode, int& lane);

// The points of the lane's ring (lane_ring_first) into `ring`, when the ring lane differs from
// the lane; reversed for pocket_state.direction_sign -1. found 1 when loaded, closed 1 when its
// first and last points are equal. Status 0, or -1 when the lane cannot be read.
void lane_ring_points(int island_mode, int lane, pokarr& ring, int& found, int& closed, int& status);

// The first crossing of the straight move from -> to with the live offset lanes (|status| 1): the
// lane's own ring is tested from a small step into the move (a crossing at that start is retried
// from three steps in, then the lane is passed over); another lane crossed at the start itself
// ends the search there. point answers the crossing nearest the start (to when none), hit 1 when
// one was found. Status 0, or -1 when a lane cannot be read.
void segment_lane_crossing(int island_mode, int lane, const double* from, const double* to, int& status, double* point,
                           int& hit);

// Which side of a closed pocket array (or raw x, y chain) the point lies on: inside 1 when inside
// (or on the boundary), distance to the array, far 1 when that exceeds the tolerance. Status 0,
// or -1 when the inside test fails.
void pnt_lane_side_test(double tolerance, const double* point, const pokarr& array, int& inside, int& far,
                        double& distance, int& status);
void pnt_chain_side_test(double tolerance, const double* point, const double* x, const double* y, int count,
                         int& inside, int& far, double& distance, int& status);

// 1 when a point on this side of a lane of this orientation lies where a lead must not go: the
// orientation equals minus the side and the point is inside, or equals the side and the point is
// outside; 0 otherwise (also for orientations other than +1 and -1).
int side_conflict(int orientation, int inside, int side);

// What the arc checks share: the lead arc from `start` towards `lead` about `centre` of the
// radius, walked in `sense` (+1 counter-clockwise), the lane end it leads from, the side tried
// and the tolerance.
struct lead_arc {
    double start[2];
    double lead[2];
    double centre[2];
    double lane_end[2];
    double radius;
    int sense;
    int side;
    double tolerance;
};

// The arc against another lane (one crossing): none gives flag 0; a crossing at the lane end
// refuses (flag -1, lead = lane end); a crossing nearer the lane end than `best` becomes the lead
// (flag 1, best updated).
void lead_arc_lane_check(const lead_arc& arc, const double* x, const double* y, int count, double* lead, double& best,
                         int& flag);

// The arc against the lane it leads into (test array of orientation `orientation`, closed when
// `flag` is 1 on entry): ten crossings or a crossing on the wrong side beyond the tolerance next
// to the lane end refuse; crossings on the wrong side within the tolerance are passed over; the
// nearest of the others shortens the lead. A marked arc that crosses nothing (or is not
// shortened) has its lead point tested against the side. q is the probe fraction of the arc
// walked from the lane end. flag out: -1 refused, 0 clear, 1 shortened.
void lead_arc_own_lane_check(int marked, int orientation, const lead_arc& arc, const double* x, const double* y,
                             int count, double q, double* lead, double& best, int& flag);
