// Lanes on the surface grid (the projection of lanes onto the part surfaces), least version: the
// module carries no surface grid yet, so every projection and every walk over the grid fails
// with kGridNoSurface. The clearing passes over surfaces complete it and replace this file. The
// one-offset step and the relation tests of the lane engine call these, and the point mover
// draw_lane_3d, for pockets of dimension 3 and 4 only; the twirl link of the surface entry falls
// back on link_pass_strings.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Status of a projection or walk that has no surface grid to run on.
inline constexpr int kGridNoSurface = -2;

// The switch (initially 1) that lets drop_lane_on_grid run one of its checks.
struct surface_lanes_state {
    int grid_drop_check = 1;
};
extern surface_lanes_state surface_lanes_block;

void grid_drop_check_set(int value);
// Projects the lane in the array onto the surface grid: status kGridNoSurface, array unchanged.
void lan_on_grid(int mode_a, int mode_b, pokarr& array, double step, int& status);
// Walks from point (three doubles, room for three more) along the unit direction for the length
// and writes the point reached after it: status kGridNoSurface, nothing written.
void drop_lane_on_grid(int mode, double* point, const double* direction, double length, pokarr* array,
                       int& status);
// Draws a lane or connection of a surface pocket from the from-point to the to-point (three
// doubles each): status kGridNoSurface, nothing drawn. work is not read.
void draw_lane_3d(int mode, const double* from, const double* to, int& work, int& status);

// The pass data of a link between two pass strings: the end of the first string and the start of
// the second, with their directions.
struct pass_link {
    double from[3] = {0.0, 0.0, 0.0};
    double from_direction[3] = {0.0, 0.0, 0.0};
    double to[3] = {0.0, 0.0, 0.0};
    double to_direction[3] = {0.0, 0.0, 0.0};
};
// Joins the two strings by the ordinary link of the link mode: status -1 here, nothing written.
void link_pass_strings(const pass_link& pass, int link_mode, int& status);
