// The clearing's grids as the lane engine uses them. The lanes on the surface grid (the projection
// of lanes onto the part surfaces), for pockets of dimension 3 and 4: the one-offset step and the
// relation tests project lanes and walk over the grid, the point mover draws lanes in space, the
// twirl link falls back on the ordinary link of two pass strings. The segment test against the
// hatch clearing's height grid, which the open-contour step test asks first. The clearing
// (clearing/) makes them and fills this table when the module is loaded (pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/seam_entry.hpp"

// Status of a projection or walk that has no surface grid to run on.
inline constexpr int kGridNoSurface = -2;

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
    // Projects the lane in the array onto the surface grid.
    void (*lan_on_grid)(int mode_a, int mode_b, pokarr& array, double step, int& status) = unfilled{};
    // Walks from point (three doubles, room for three more) along the unit direction for the
    // length and writes the point reached after it.
    void (*drop_lane_on_grid)(int mode, double* point, const double* direction, double length, pokarr* array,
                              int& status) = unfilled{};
    // Projects a lane onto the part surfaces into the result (the linking stage's connections and
    // cut lanes on surfaces; options a to c and the two values choose the projection).
    void (*lane_on_srf)(int option_a, int option_b, int option_c, const pokarr& lane, pokarr& result,
                        double value_a, double value_b, int& status) = unfilled{};
    // Draws a lane or connection of a surface pocket from the from-point to the to-point (three
    // doubles each).
    void (*draw_lane_3d)(int mode, const double* from, const double* to, int& work, int& status) = unfilled{};
    // Joins the two strings by the ordinary link of the link mode.
    void (*link_pass_strings)(const pass_link& pass, int link_mode, int& status) = unfilled{};
    // The switch (1 at load) that lets drop_lane_on_grid run one of its checks.
    void (*grid_drop_check_set)(int value) = unfilled{};
    // The hatch clearing's grid between two points (x, y doubles): result 0 when the segment
    // meets material there, 1 otherwise (also off the grid or without one).
    void (*grid_segment_test)(const double* first, const double* second, double height, int& result) = unfilled{};
};

// The routines the lane engine calls; assign an entry to replace it.
surface_grid_seams& surface_grid_seam_table();
