// The clearing's grids as the lane engine uses them. The lanes on the surface grid (the projection
// of lanes onto the part surfaces), for pockets of dimension 3 and 4: the one-offset step and the
// relation tests project lanes and walk over the grid, the point mover draws lanes in space, the
// twirl link falls back on the ordinary link of two pass strings; the coverage and sliver tests
// read the grid's height. The segment test against the hatch clearing's height grid, which the
// open-contour step test asks first. The clearing
// (clearing/) makes them and fills this table when the module is loaded (pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/seam_entry.hpp"

inline constexpr char kSurfaceGridSeamsName[] = "surface_grid_seams";

struct surface_grid_seams {
    using unfilled = unfilled_seam<kSurfaceGridSeamsName>;
    // Lays the lane (dimension 3 or 4) onto the surface grid, closed onto its first point when
    // close is set; spacing 0 for none. Status 0; -1 for a lane off the grid or a segment that
    // cannot be projected, 1 when a failing segment's middle has no surface, 11 when an array
    // cannot be made or grown; the lane is unchanged on failure.
    void (*lan_on_grid)(int mode, int close, pokarr& lane, double spacing, int& status) = unfilled{};
    // Walks from the point (three doubles, room for three more; nine more in mode 1) over the
    // surface grid for the length, across the unit tangent, and writes the point reached after
    // it. Status 0; -1 for a start off the grid (or, in modes other than 0, a walk ended by its
    // step limit); -3 for a steep start in mode 1.
    void (*drop_lane_on_grid)(int mode, double* point, const double* tangent, double length, pokarr* path,
                              int& status) = unfilled{};
    // Lays the input lane (dimension 3 or 4) onto the part surfaces with the current tool: the
    // output receives it as a lane of dimension 4 (normals (0, 0, 1)), the raw output with the
    // surface normals when raw is set; origin adds the pocket frame's second origin before and
    // takes it off after; refine cleans the projected string. Status 0 or negative.
    void (*lane_on_srf)(int origin, int refine, int raw, int lane_index, const pokarr& input, pokarr& output,
                        pokarr& raw_output, int& status) = unfilled{};
    // Projects one point (three floats) onto the part surfaces into result; direction: the
    // projection's direction on entry when direction_flag is 1, the surface normal on return.
    // Status 0, negative when nothing was met.
    void (*draw_lane_3d)(int direction_flag, const float* point, float* result, float* direction,
                         int& status) = unfilled{};
    // Links the string ending (p_prev, p_end) to the string starting (p_start, p_next2), three
    // floats each, by arcs and a move over the part (mode 1 between passes, 2 for the entry
    // moves); no_link 1 when nothing was written. Status 0 or negative.
    void (*link_pass_strings)(const float* p_prev, const float* p_end, const float* p_next2, const float* p_start,
                              int pass_number, int mode, int& no_link, int& status) = unfilled{};
    // The switch (1 at load) of drop_lane_on_grid's steepness check in mode 1.
    void (*grid_drop_check_set)(int value) = unfilled{};
    // The hatch clearing's grid between two points (x, y doubles): result 0 when the segment
    // meets material there, 1 otherwise (also off the grid or without one).
    void (*grid_segment_test)(const double* first, const double* second, double height, int& result) = unfilled{};
    // The height of the surface grid under the world point (x, y), on the triangle its cell
    // chooses. Status 0; -1 off the grid or over no surface (no message).
    void (*grid_height_at)(double x, double y, double& height, int& status) = unfilled{};
};

// The routines the lane engine calls; assign an entry to replace it.
surface_grid_seams& surface_grid_seam_table();
