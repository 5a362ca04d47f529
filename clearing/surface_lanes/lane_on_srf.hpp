// Projection of a pocket lane onto the part surfaces: lane_on_srf lays a lane of dimension 3 or 4
// onto the surfaces with the current tool and returns it as a lane of dimension 4. Its own road
// projects the lane point by point (draw_lane_3d), leaves out points that their neighbours
// already describe, fills the gaps where the surface bends by halving, may refine the result
// (lane3d_refine), and checks its moves against a drop of the tool (lane_chord_check.hpp); while
// the host's 3-D surface algorithm runs the whole lane goes to the algorithm library instead
// (d3ds_lane_on_srf). The lane engine's projection (lane_project) calls
// it through the surface grid seams; the point mover lays a point with draw_lane_3d.
//
// Reads surface_grid_block (the projection values: cell size s, origin, the tool's D, R and T;
// the node heights), the lane tolerance of the triangle model, pocket_frame_block.origin_copy
// (the second origin), pocket_work_block.engine_step and the hook table of d3ds_hooks.hpp.
#pragma once

#include "clearing/surface_lanes/lane_points.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <vector>

// Lays the input lane (dimension 3 or 4, points only) onto the part surfaces. origin: the second
// origin of the pocket frame is added to every point before projection and taken off after.
// refine: lane3d_refine runs on the projected string. raw: the projected points with their
// surface normals go into raw_output. lane_index is handed to the algorithm library as a yes/no
// value. The output receives the projected points with the normal (0, 0, 1) (or a copy of the
// raw lane when raw is set without refine). Status 0; negative when a pocket array or a host
// array fails, or the algorithm library refuses (outputs unchanged then). A point that cannot be
// projected is left out.
void lane_on_srf(int origin, int refine, int raw, int lane_index, const pokarr& input, pokarr& output,
                 pokarr& raw_output, int& status);

// The host algorithm's road: the lane (dimension 4, two points or more) handed to the algorithm
// library's lane-on-surface projection; a result of two points or more goes into raw_output
// (points less the second origin when origin is set, normal (0, 0, 1)). Returns 0 or the
// status: -1 for a refused lane, the projection manager off, no projector or no memory ("[d3ds_
// lane_on_srf] can't allocate memory"); the end hook's answer while the host algorithm runs.
int d3ds_lane_on_srf(int origin, const pokarr& input, pokarr& raw_output, int lane_index);

// Projects one point onto the surfaces with the current tool, pushed from 0.25 s f ahead of the
// point towards s f behind it along the direction, for the factors f = 4, then 40; a surface
// normal turned more than about 37 degrees from the direction turns the direction once to
// unit(direction + 2 normal). direction_flag 1: direction holds the direction on entry (else the
// grid's normal at the point is taken); it receives the surface normal. Status 0 with the
// contact in result; -1 when nothing is met, or when the tool cuts into the surfaces already
// where each push starts; a hook's failure while the host algorithm runs.
void draw_lane_3d(int direction_flag, const float* point, float* result, float* direction, int& status);

// The working lane of the own road: per input point its projected point and surface normal.
struct lane_work {
    std::vector<lane_pnt> points;
    std::vector<lane_pnt> normals;
};

// 1 when the point between b and c (indices of the work lane, a before b) must be projected:
// unless a, b and c are all projected, b and c lie within 3 s of each other, b stands well
// between a and c (a quarter of their distance from each) within twice the lane tolerance of
// their line, and the normals at b and c turn so little that the tool's path between them
// keeps within the lane tolerance of their chord. 0 when it may be left out.
int lane_pnt_skip_test(const lane_work& work, int a, int b, int c);
// Projects input point `index` into the work lane (plus the second origin when origin is set;
// along its normal for a lane of dimension 4); a failure leaves the marker point and normal.
void lane_pnt_project(const pokarr& input, lane_work& work, int index, int origin);
// Slot `index` of the 17 halving slots, between the slots `from` and `to`: the point and normal
// interpolated there, projected (along the normal with direction_flag 1). Status 1 when the
// projection lies farther than half the lane tolerance from the interpolated point, or the chord
// from `from` to `to` does not keep the walls (lane_walls_kept): the slot keeps it; 0 when
// neither holds or nothing was met, negative from the projection.
void lane_pnt_subdivide(int direction_flag, lane_pnt* slot_points, lane_pnt* slot_normals, int from, int to, int index,
                        int& status);
// The grid's normal at the point, bilinear over its cell's four nodes; (0, 0, 1) when there is
// none or the cell size is not positive. Status 0.
void lane_pnt_dir(const float* point, float* direction, int& status);
// Adds weight_x * weight_y times the normal at node (column, row) to the vector: for an inner
// node with surface on its four neighbours and a weight of at least 0.001.
void grid_cell_normal(int column, int row, float* vector, float weight_x, float weight_y);

// The lane tolerance: the surface approximation tolerance of the triangle model.
float lane_tolerance();
