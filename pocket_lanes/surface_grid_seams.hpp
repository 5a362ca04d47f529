// The clearing's grids as the lane engine uses them. The lanes on the surface grid (the projection
// of lanes onto the part surfaces), for pockets of dimension 3 and 4: the one-offset step and the
// relation tests project lanes and walk over the grid, the point mover draws lanes in space, the
// twirl link falls back on the ordinary link of two pass strings. The segment test against the
// hatch clearing's height grid, which the open-contour step test asks first. The clearing
// (clearing/) makes them and fills this table when the module is loaded (pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/seam_entry.hpp"

// The pass data of a link between two pass strings: the end of the first string and the start of
// the second, with their directions.
struct pass_link {
    double from[3] = {0.0, 0.0, 0.0};
    double from_direction[3] = {0.0, 0.0, 0.0};
    double to[3] = {0.0, 0.0, 0.0};
    double to_direction[3] = {0.0, 0.0, 0.0};
};

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
    // Joins the two strings by the ordinary link of the link mode.
    void (*link_pass_strings)(const pass_link& pass, int link_mode, int& status) = unfilled{};
    // The switch (1 at load) of drop_lane_on_grid's steepness check in mode 1.
    void (*grid_drop_check_set)(int value) = unfilled{};
    // The hatch clearing's grid between two points (x, y doubles): result 0 when the segment
    // meets material there, 1 otherwise (also off the grid or without one).
    void (*grid_segment_test)(const double* first, const double* second, double height, int& result) = unfilled{};
};

// The routines the lane engine calls; assign an entry to replace it.
surface_grid_seams& surface_grid_seam_table();
