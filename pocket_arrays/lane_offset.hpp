// Raw offset of a closed loop of lines and arcs: the curve at distance d on one side, built
// element by element with a mitre point, a square pair of points or an arc at every corner. The
// one-offset step of the lane engine calls lane_offset_2d3d for every new lane; loop removal and
// the clean-up passes turn the raw offset into a lane afterwards.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Status of an offset that could not be made (empty or oversized loop, failed append).
inline constexpr int kOffsetFailed = 11;
// Status of refused input: a side other than kSideRight and kSideLeft, a negative or non-finite
// distance, a loop holding a non-finite number ("[lane_offset_2d3d] ..." on the error channel).
inline constexpr int kOffsetRefused = -1;

// Sides of the offset: right or left of the direction of travel.
inline constexpr int kSideRight = 1;
inline constexpr int kSideLeft = -1;

// Modes of offset_corner: the corner at the loop's second point, an inner corner, the element
// that ends at the loop's last point.
inline constexpr int kCornerFirst = 1;
inline constexpr int kCornerInner = 2;
inline constexpr int kCornerLast = 3;

// Dispatcher: a loop of dimension 2 goes to pokarr_offset_2d. Loops of dimension 3 or 4 lie on
// surfaces and go to the surface offset lane_offset_3d (pocket_arrays/surface_offset_seams.hpp),
// whose status comes back unchanged. Refused input gives kOffsetRefused before anything is
// appended.
void lane_offset_2d3d(int side, int arc_sense, double distance, const pokarr& loop, pokarr& result, int& status);

// How much nearer than the distance a vertex of the raw offset may come to its loop through the
// corner rule itself. A turn whose sine is below the rule's floor counts as no turn: its one
// point lies on the offset of the second element, up to 2 d (1 - cos) off the offset of the
// first; an arc shrunk below the arc tolerance becomes its end point. The piece tests of the one
// offset read a vertex within this of the distance as a point of the offset.
double raw_offset_accuracy(double distance);

// Planar raw offset of a closed loop restarted inside one of its elements (no corner at its
// start). side +1 right, -1 left; arc_sense chooses the direction of corner arcs; the result is
// appended to. Status 0, or 11 for an empty-kind loop, a static loop of more than 7000 entries,
// a loop that is not planar or has fewer than 2 entries or a broken arc record, or a failed
// append (what was appended stays); kOffsetRefused for refused input. Reads
// pocket_work.working_tolerance and, through offset_corner, corner_arcs; clears
// pocket_work.first_corner_cross first.
void pokarr_offset_2d(int side, int arc_sense, double distance, const pokarr& loop, pokarr& result, int& status);

// The corner rule between the previous element (unit direction u, squared length prev_len2)
// and the current element from p0 to p1. Gives one or two offset points (count), whether an arc
// around p0 joins them, the unit direction v of the current element and its squared length (4
// times it in mode kCornerLast). A current element without length counts as straight on. Mode
// kCornerFirst writes pocket_work.first_corner_cross, mode kCornerLast reads it; reads
// pocket_work.corner_arcs.
void offset_corner(int mode, const double* u, const double* p0, const double* p1, int cur_is_arc, int prev_is_arc,
                   int& arc_flag, double prev_len2, int side, double distance, double* q1, double* q2, int& count,
                   double* v, double& len2);

// Offset of the first point (mode 1; i ends the first element) or of the last point (mode 2;
// i is the last entry, or the marker of the last arc) along its own element's normal. Status 0;
// 11 for an index outside the loop.
void offset_end_point(int mode, int side, double distance, const pokarr& loop, int i, double& x, double& y,
                      int& status);
