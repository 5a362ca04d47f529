// Refinement of a lane laid on the part surfaces (lane3d_refine): removes unusable, crowded,
// stepped and zig-zag points in repeated sweeps, may fill long segments, may replace runs of
// points by a least-squares fitted curve checked against the surfaces, and thins the string. The
// string's points are places where the tool touches the surfaces: a sweep never takes out a
// point that the chord of its neighbours would pass under by more than the lane tolerance, and
// the final thinning keeps every point within half the lane tolerance of the chords, so that
// with the projection's halving the moves stay within the tolerance of the tool's path. The
// projection of a lane (lane_on_srf) calls it. Reads the lane tolerance, lane_dir_list and
// surface_grid_block (through the fillers).
#pragma once

#include "clearing/surface_lanes/lane_points.hpp"

#include <vector>

// Mode bits of lane3d_refine.
inline constexpr int kRefineFlagRule = 1 << 0;     // the deviation pass and the runs read the flags
inline constexpr int kRefineFit = 1 << 1;          // least-squares fit of runs (a non-empty lane_dir_list)
inline constexpr int kRefineGouge = 1 << 2;        // gouge check of the fitted points
inline constexpr int kRefineGougeLimit = 1 << 3;   // give a fit up on an excess of a quarter of D
inline constexpr int kRefineSubdivide = 1 << 4;    // fill segments longer than 2 s
inline constexpr int kRefineNoSpikes = 1 << 5;     // skip the spike and stick-out passes
inline constexpr int kRefineLoneFlagged = 1 << 6;  // remove lone flagged points
inline constexpr int kRefineGridPoints = 1 << 7;   // insert grid points on long segments
// The flag bit of a lane_dir_list record that the refinement reads.
inline constexpr int kLaneDirFlagged = 1 << 1;

// Switches of the refinement that nothing in the module sets: repeat the run search in 2-D, and
// leave out the final thinning.
struct lane_refine_switches {
    int run_search_2d = 0;
    int skip_final_thinning = 0;
};
extern lane_refine_switches lane_refine_switch;

// Refines the string of `count` points (x, y, z floats) in the host array behind points_handle,
// growing it when needed; count receives the points kept. normals: one normal per point, or
// null. s: the grid cell size (the length limits are fractions of it); half_tolerance: half the
// lane tolerance; fit_tolerance: the fit's tolerance; closed above 0: the string is a loop;
// D, R, T: the tool's diameter, corner radius and third value. Status 0; the failure of a growth
// of the string (the string then as it was). The current tool's diameter and corner radius are
// as before on every way out.
void lane3d_refine(int mode, int display, int points_handle, const lane_pnt* normals, int& count, const float& s,
                   const float& half_tolerance, const float& fit_tolerance, const float& closed, const float& D,
                   const float& R, const float& T, int& status);

// ---- companions, over the string as the refinement holds it -----------------------------------

// A point of the string with its normal, when it has one (normals given, or interpolated).
struct lane_string_pnt {
    lane_pnt p{};
    lane_pnt n{0.0f, 0.0f, 1.0f};
    bool has_normal = false;
};
using lane_string = std::vector<lane_string_pnt>;

// Removes point index with its normal.
void lane_pnt_remove(lane_string& points, int index);
// The point and normal at t between a and b; the normal made unit, (0, 0, 1) when it cannot be;
// t = 0 copies a.
void lane_pnt_interp(const lane_string_pnt& a, const lane_string_pnt& b, float t, lane_string_pnt& out);
// Removes spikes: a point both of whose neighbours lie more than the limit above it (or both
// below), where the step from the one before is short or steep; and the pairs that make such a
// spike together. A closed string (first point equal to the last) stays closed.
void lane_spike_remove(float limit, lane_string& points);
// Removes zig-zags: a point farther than the limit from the one before whose neighbours lie
// within `length` of each other, and pairs of such points.
void lane_zigzag_remove(float limit, float length, lane_string& points);
// The number of points of the run that starts at point `first`: it ends before a segment longer
// than 2.5 s, at a turn whose cosine is below 0.76, at the end of the points, and with the flag
// set in 3-D at a lone flagged corner between two straight stretches; in 2-D the points are
// thinned first (0.2 x the lane tolerance) and the run may not pass the first point thinning
// dropped.
int lane_run_end(int dimension, const lane_string& points, int first, int flag, float s);
// lane_run_end in 3-D (and again in 2-D when the switch asks and the run has more than 2 points).
int lane_run_length(const lane_string& points, int first, int flag, float s);
// a - b, a made unit (false when it cannot be), a . b: over x and y when dimension is 2, else over
// x, y and z.
lane_pnt vec_sub_dim(int dimension, const lane_pnt& a, const lane_pnt& b);
bool vec_unit_dim(int dimension, lane_pnt& a);
float vec_dot_dim(int dimension, const lane_pnt& a, const lane_pnt& b);
