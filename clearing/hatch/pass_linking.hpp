// Pass linking of hatch clearing: the linkers turn the hatch segments of a region, held as
// contour rings, into the clearing point list: which segment is cut first, in which order the
// others follow and how the tool gets from one to the next. Linking mode 1 (clr_link_passes)
// goes on from where the last segment ended, cutting in alternating directions and following the
// contour between neighbours; any other mode (clr_link_regions) cuts every segment from its end 1
// to its end 2, contour by contour, starting a new pass for each. Both start near the previous
// level's end point when there is one. The clearing engine calls one of them per run.
//
// Both read clear_block (direction, side step, tolerance, contour-link word, previous end point
// and its flag, tool size) and the contour rings, and write the point list in the hatch frame.
#pragma once

#include "clearing/hatch/contour_rings.hpp"
#include "clearing/hatch/hatch_lines.hpp"

// The linkers: 0, or -1 when a step fails. low and high are the region's lowest and highest
// ordinate; points is the working room of the start line.
int clr_link_regions(const hatch_contours& contours, float low, float high, hatch_points& points);
int clr_link_passes(const hatch_contours& contours, float low, float high, hatch_points& points);

// Appends the vertices of contour k passed from segment a to segment b in direction d (code 1):
// nothing when a = b or k = 0; d = 1: a+1 .. b, round the closing point a+1 .. n, 1 .. b;
// otherwise a .. b+1, round the closing point a .. 1, n .. b+1. 0, or -1 when a segment lies
// outside the contour or a point cannot be appended.
int walk_contour_points(const hatch_contours& contours, int from, int to, int direction, int contour);

// ---- shared by the two walks --------------------------------------------------------------------

inline constexpr int kRegionLinker = 0, kPassLinker = 1;

// The common start: opens the point list, finds the start line and its start hatch point (the
// region linker's clr_pick_start, the pass linker's clr_pick_nearest), appends the reference
// point as the first pass start unless the start lies on it, puts the start into its contour's
// ring and closes the rings. 0 with the start end, or -1.
int clr_link_start(int linker, const hatch_contours& contours, float low, float high, hatch_points& points,
                   hatch_end*& start);
// Either linker whole: the common start, then the walk from the start end, the passes put nearest
// first (pass_order.hpp), then the progress texts cleared. The walk's answer, or -1 when the start
// or the order fails.
using hatch_walk = int (*)(const hatch_contours& contours, hatch_end& start);
int clr_link_walk(int linker, const hatch_contours& contours, float low, float high, hatch_points& points,
                  hatch_walk walk);

// The start hatch point of the region linker among the count points of the line at ordinate y,
// reference r: mode 0 (the line at the previous end's ordinate, or no previous end) the first
// point beyond r in the hatch direction, or at r, whose contour has ring ends (none: mode 1);
// mode 1 the nearest. at_reference: a point within 1.1 x tolerance of r was taken.
void clr_pick_start(const hatch_points& points, int count, float y, const float* r, int& start, int& at_reference);
// The start of the pass linker: the nearest point to r whose contour has ring ends; a point equal
// to r ends the search and is taken when its ring has ends (on_reference = 1).
void clr_pick_nearest(const hatch_points& points, int count, const float* r, int& start, int& on_reference);

// Under the surface clearing (machining type 11) the pass being built, from its pass start to the
// last point appended, goes to surface_pass_run; it is handed over once. 0 otherwise too; -1 when
// the engine failed. The walks call it before they start a new pass and at their end.
int clr_pass_finished();
// Appends a point of a walk (clr_add_point); a pass start first ends the pass before it.
int clr_walk_append(float x, float y, float code);

// The pass walk's test whether two ends lie on different hatch lines: different ordinates;
// under the surface clearing with the clearing mode 3, whose hatch lines run through the frame's
// origin, different angles (the arctangent of y / x; on the axes 0 or pi, pi/2 or 3 pi/2 by the
// sign of the other coordinate). Reads machining_type() and clear_mode().
bool ends_on_other_lines(const hatch_end& a, const hatch_end& b);

// Counts one more cut segment on the progress line.
void clr_emit_edge_count();

// Calls f(v) for every vertex index passed from segment a to segment b of an n-vertex contour in
// direction d, as walk_contour_points appends them; stops when f answers false.
template <class F> bool for_each_walk_vertex(int n, int a, int b, int d, F f)
{
    if (a == b) return true;
    if (d == 1) {
        if (b > a) {
            for (int v = a + 1; v <= b; ++v)
                if (!f(v)) return false;
            return true;
        }
        for (int v = a + 1; v <= n; ++v)
            if (!f(v)) return false;
        for (int v = 1; v <= b; ++v)
            if (!f(v)) return false;
        return true;
    }
    if (b < a) {
        for (int v = a; v > b; --v)
            if (!f(v)) return false;
        return true;
    }
    for (int v = a; v >= 1; --v)
        if (!f(v)) return false;
    for (int v = n; v > b; --v)
        if (!f(v)) return false;
    return true;
}
