// Lanes on the surface grid (the projection of lanes onto the part surfaces), least version: the
// module carries no surface grid yet, so every projection and every walk over the grid fails
// with kGridNoSurface. The clearing passes over surfaces complete it and replace this file. The
// lane engine calls these through its table of surface grid lanes
// (pocket_lanes/surface_grid_seams.hpp), which clearing/seam_fills.cpp fills.
#pragma once

#include "pocket_arrays/pokarr.hpp"
#include "pocket_lanes/surface_grid_seams.hpp"

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
// Projects a lane onto the part surfaces into the result (the linking stage's connections and cut
// lanes on surfaces; options a to c and the two values choose the projection): status
// kGridNoSurface, result unchanged.
void lane_on_srf(int option_a, int option_b, int option_c, const pokarr& lane, pokarr& result, double value_a,
                 double value_b, int& status);
// Draws a lane or connection of a surface pocket from the from-point to the to-point (three
// doubles each): status kGridNoSurface, nothing drawn. work is not read.
void draw_lane_3d(int mode, const double* from, const double* to, int& work, int& status);

// Joins the two strings by the ordinary link of the link mode: status -1 here, nothing written.
void link_pass_strings(const pass_link& pass, int link_mode, int& status);
