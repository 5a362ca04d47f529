// Lane projection onto the surface grid: lan_on_grid lays a 3-D lane onto the grid surface, every
// segment replaced by the string of points where the surface path between its ends crosses the
// cells' edges and diagonals. Each segment is traced by two walkers, one from either end,
// stepping triangle by triangle towards each other until they stand on one triangle; a segment
// that cannot be traced is split at its middle. The lane engine's 3-D branches call lan_on_grid
// through the surface grid seams; the 3-D lane offset calls it too.
#pragma once

#include "clearing/surface_lanes/grid_cell.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <array>
#include <vector>

// Modes of lan_on_grid: 1 brings every lane point onto the surface first; 3 does so for a lane
// already in grid coordinates (no grid shift) and densifies; any other value is taken as 0.
inline constexpr int kProjectPlain = 0;
inline constexpr int kProjectOntoSurface = 1;
inline constexpr int kProjectGridFrame = 3;

// Close value of lan_on_grid for a lane written for the tool: closed and without small loops.
// The engine's raw offsets and measures are laid with 1, closed as they come.
inline constexpr int kProjectClosedLane = 2;

// States of lan_on_grid_segment: 2 starts a segment; 0 the walkers met; -1 blocked, out of steps
// or off the grid's cells (the segment is split); -2 an end of the segment off the grid.
inline constexpr int kSegmentStart = 2;
inline constexpr int kSegmentMet = 0;
inline constexpr int kSegmentFailed = -1;
inline constexpr int kSegmentEndOffGrid = -2;

// Status of lan_on_grid when a pocket array cannot be made or grown.
inline constexpr int kProjectNoArray = 11;

// One walker of a segment: its cell and triangle, its neighbour list, and the string of surface
// points it walked, its start first, each with the normal of the triangle it was reached on.
struct lane_walker {
    int col = 0, row = 0, triangle = 0, entry = kEntryNone;
    int list[kCellListWords] = {};
    bool evaluate = true;  // the cell must be evaluated before the next step
    bool blocked = false;  // the chord runs within about five degrees of the triangle's normal
    int stuck = 0;         // answers without progress in a row
    double direction[3] = {0.0, 0.0, 0.0};
    std::vector<std::array<double, 6>> points;  // x, y, z, normal
};

// The two walkers of the segment being traced: walker 0 from its first end (first working cell
// record), walker 1 from its second (second record). The buffers grow with the walk; their room
// is kept between segments only to spare allocations.
struct lane_walkers {
    lane_walker walker[2];
    int moved_last = 0;
    int steps = 0, step_limit = 0;
    int crossing_dimension = 3;  // grid_edge_crossing's, set by lan_on_grid for its lane
};
extern lane_walkers lane_walkers_block;

// Lays the lane (dimension 3 or 4, in and out) onto the grid surface. close: 0 the result is left
// open; any other value closes it onto its first point, and kProjectClosedLane (a lane the tool
// runs) also has the small loops where it crosses itself in XY cut out, those within two cells
// whatever the projection's tool (grid_loop_reach, lane_loop_cut.hpp). A lane of a plan course
// (modes 1 and 3: a contour or a lane brought onto the surface from above; or a contour's first
// offset, which keeps its distance in XY: pocket_work.contour_offset_in_plane) crosses the cells'
// edges where its chords do in XY; other lanes (offsets measured over the surface) where the
// chords' ends weigh in space (grid_edge_crossing).
// spacing: in mode 3 the step of the densification (when above the grid settings' threshold); in
// every mode lane points that lie inside one triangle on a straight string are left out when a
// crossing lies nearer than it; 0: none. Status 0; -1 for a lane
// point off the grid (with get_grid_index's message), a first point without surface near it in
// modes 1 and 3, or a segment still failing after 100 splits ("[lan_on_grid] UNABLE TO PROJECT
// SEGMENT"); 1 when the middle of a failing segment has no surface; 11 when a pocket array cannot
// be made or grown. The lane is unchanged on every failure; an empty lane is left as it is with
// the status untouched. Reads surface_grid_block (cells, shift, settings) and pocket_work
// (contour_offset_in_plane).
void lan_on_grid(int mode, int close, pokarr& lane, double spacing, int& status);

// Traces one segment from the start points of the two walkers' buffers (set by the caller): on
// state 0 the buffers hold the two strings, walker 0's from the first end, walker 1's from the
// second, meeting on a common triangle. length: the chord's length; ends[k]: walker k's start
// lies inside one triangle (cleared when the walkers meet before either moved).
void lan_on_grid_segment(double length, int* ends, int& state);

// Evaluates a walker's cell for its point into the record with the neighbour list: mode 1 the
// triangle under the point (a cell without surface there tries the other cells holding the
// point); mode 2 the walker's other triangle, the list's own entry holding both. Status -1 when
// no triangle with surface holds the point.
void grid_cell_eval_list(int mode, const double* point, int& col, int& row, int entry, const double* direction,
                         grid_cell& cell, int& triangle, int* list, int& status);

// Where the chord p-q passes the cell edge a-b (three doubles each, world): in space (dimension
// 3) the point of the 3-D edge between the feet of p and q on its line, weighted by their
// distances; in XY (dimension 2) the point of the 3-D edge over the crossing of chord and edge in
// XY, so that a string laid over a plan course stays on it in XY however differently the edge's
// two triangles slope (the walkers keep to the upright plane through the chord; the weighting in
// space steps the string aside there). found = 1 with the crossing; left alone when p or q lies
// on the edge's line or the crossing falls beyond its ends (a point within 1e-6 of an end is that
// end).
void grid_edge_crossing(int dimension, const double* p, const double* q, const double* a, const double* b,
                        double* crossing, int& found);
