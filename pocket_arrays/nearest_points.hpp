// Nearest and farthest points on pocket arrays and chains, the restart point of a pocket's first
// loop, the closest approach of two chains or element ranges, the winding test and the lane
// directions at a point. The lane engine, the cutting stages and the entry moves call them; none
// keeps state.
//
// A chain is a list of entries in the pocket-array layout (arc records included). Element i
// (from 1) starts at entry i - 1: a line to entry i, or, when entry i is an arc marker, the arc
// whose record fills entries i to i + 3; the element after an arc is i + 4. A parameter t runs
// from 0 at the element's start to 1 at its end.
#pragma once

#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <vector>

// Distance of "nothing found yet" (farthest search: its negative).
inline constexpr double kNoDistance = 1.0e7;
// Status of restart_pnt_on_loop when no point was found.
inline constexpr int kNoRestartPoint = 9;
// Kind of pokarr_min_dist when nothing lies within reach.
inline constexpr int kNoApproach = -1;

// Nearest point of a chain of n entries to (px, py). k, t, distance carry a previous result in
// (k above 0) and the result out; k 0 when nothing was found. Ties go to the later element; a
// point nearest to a vertex is reported on the element that starts there (t 0). With a previous
// result, a candidate equal to it is skipped, and the previous result comes back when the best
// new candidate is farther by more than 1e-6 (the nearest point keeps the new candidate).
void nearest_on_xy_chain(double px, double py, const double* x, const double* y, int n, int& k, double& t,
                         double& nearest_x, double& nearest_y, double& distance);

// Whether every distance the nearest-point searches measure for element e of a chain (from its
// start vertex or along its body) lies beyond `distance` of (px, py), by a margin above their
// rounding: then the element cannot give a point within that distance.
bool chain_element_beyond(const double* x, const double* y, const chain_element& e, double px, double py,
                          double distance);

// The same over a pocket array, in 3-D unless the array or `dimension` is 2 (nearest gets three
// doubles, z 0 in 2-D). Stops at distance 0. A k below -1 asks for the surface-path distance
// (3-D only, no previous result): distance comes in as the limit, and a nearest point found
// within the limit (+1e-6) gets the length of its connection over the surface
// (surface_path_len) as its distance.
void pokarr_nearest_pnt(int dimension, const double* point, const pokarr& array, int& k, double& t, double* nearest,
                        double& distance);

// The elements of a pocket array in blocks of consecutive elements, each with a box that holds
// its elements (an arc by its circle), so that repeated nearest-point searches on an array that
// does not change pass by the blocks too far away. first holds each block's first element and,
// last, the element after the last one the plain search reads; box four values per block (x min,
// y min, x max, y max). Built by pokarr_nearest_index; empty for an array without elements.
struct pk_nearest_index {
    std::vector<int> first;
    std::vector<double> box;
};
void pokarr_nearest_index(const pokarr& array, pk_nearest_index& index);

// pokarr_nearest_pnt without a previous result and without the surface path (k 0 on entry)
// through the index of the array as it stands, with the same results to the bit.
void pokarr_nearest_pnt_indexed(int dimension, const double* point, const pokarr& array, const pk_nearest_index& index,
                                int& k, double& t, double* nearest, double& distance);

// Whether the index's block boxes show that no element of its array comes within `distance` of
// the point in the plane, the array holding elements (so that a search finds one farther): a
// caller to whom only nearer points matter is spared the search. False when the boxes cannot tell.
bool pokarr_nearest_beyond(const double* point, const pk_nearest_index& index, double distance);

// The vertex of the array farthest from the point (arc records skipped, the first of equal
// distances), its element k (the element that starts there), t 0; distance -1e7 and k 0 for an
// empty array. In 3-D the distance of the vertex found is then the length of its connection
// over the surface (surface_path_len).
void pokarr_farthest_pnt(int dimension, const double* point, const pokarr& array, int& k, double& t, double* farthest,
                         double& distance);

// Length of the connection of two 3-D points dropped onto the surface grid (lan_on_grid through
// pocket_arrays/surface_offset_seams.hpp, points at least half the working tolerance apart):
// the sum of the dropped polyline's 3-D lengths, 0 for coinciding points. A failed projection
// leaves distance as it was. Reads pocket_work.working_tolerance.
void surface_path_len(const double* from, const double* to, double& distance);

// The point of the chain nearest to the pocket's restart point (reads pocket_work.restart_point;
// the frame origin of the pocket taken off and put back), ties to the earlier element; a corner vertex is left for
// t 0.2 or 0.8 when the nearest point lies within corner_reach of it. Status 0, or 9 for fewer
// than 2 entries or no point within 1e6.
void restart_pnt_on_loop(double corner_reach, const double* x, const double* y, int n, int& k, double& t,
                         double& point_x, double& point_y, int& status);

// Where the vertices of chain A come nearest to chain B: B's element, t on it, the nearest point
// on B and the distance (1e7 and element 0 when no element boxes meet within reach). Status 0.
void xy_chain_min_dist(double reach, const double* ax, const double* ay, int a_count, const double* bx,
                       const double* by, int b_count, int& b_element, double& t, double& nearest_x, double& nearest_y,
                       double& distance, int& status);

// Closest approach of the elements [a_first, a_end) of A and [b_first, b_end) of B (2-D or 3-D
// by A's dimension) within reach: the elements and parameters on both, the distance, the
// nearest point on the element measured and the kind of the winning candidate (0 vertex-vertex,
// 1 B's vertex on A's element, 2 B's end vertex on A's element, 3 A's vertex on B's element,
// 4 A's end vertex on B's element; later candidates win ties). Kind -1 and distance 1e7 when
// nothing lies within reach.
void pokarr_min_dist(double reach, const pokarr& a, int a_first, int a_end, const pokarr& b, int b_first, int b_end,
                     int& a_element, double& a_t, int& b_element, double& b_t, double& distance, double* nearest,
                     int& kind);

// Winding-angle test of a point against a loop of n entries (arcs flattened): 1 inside (either
// direction of travel), 0 outside, 2 on a vertex. Status 0; 11 when the flattened loop does not
// fit 7000 points even at the pocket's tolerance (reads pocket_work.tolerance), 1 when it does
// not fit after the retry.
void pnt_in_xy_loop(double px, double py, const double* x, const double* y, int n, int& result, int& status);

// Unit directions at the start of element `element` of a chain (dir_out) and at the end of the
// element before it (dir_in; the last element for the first). Result 1 when they are equal
// (a smooth joint), 2 otherwise (a corner, or a direction that cannot be had).
int lane_start_dir(const double* x, const double* y, int n, int element, double* dir_in, double* dir_out);

// Nearest point of a chain of n interleaved (x, y) entries to (px, py). position: in, a previous
// result (element - 1 + t) or a negative value for none; out, the element index minus 1 plus t
// of the nearest point. distance: in, the previous result's distance; out, the distance (1e7
// when nothing was found). A line candidate within 0.05 of a sharp corner (directions with a dot
// product below 0.98) is moved to t 0.05 or 0.95; on_arc is 1 when the point lies inside an arc
// (an arc's end point is reported as the start of the next element, on_arc 0). Ties go to the
// later element. Status 0, or the failure of a vector routine.
void nearest_on_pnt_chain(double px, double py, int n, const double* xy, double& position, double& distance,
                          double* nearest, int& on_arc, int& status);

// Unit direction of a lane (chain of n entries) at parameter t of element `element`: a line's
// direction or an arc's tangent in the arc's sense; at t 1 the start of the next element (the
// first after the last). Negated for a lane of direction -1. closed is 1 when the lane's first
// and last points are equal. Status 0; -1 for an element outside the chain or a direction
// without length.
void lane_dir_at_point(const double* x, const double* y, int n, int lane_direction, int element, double t,
                       double* direction, int& closed, int& status);
