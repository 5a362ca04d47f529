// Lanes on the part surfaces, least version: the projection of a lane onto the part surfaces,
// the drawing of a surface pocket's lanes and the link of two pass strings fail (the clearing
// passes over surfaces complete them and replace this file). The walks and projections over the
// surface grid are whole (clearing/surface_lanes/). The lane engine calls these through its table of surface grid lanes
// (pocket_lanes/surface_grid_seams.hpp), which clearing/seam_fills.cpp fills.
#pragma once

#include "pocket_arrays/pokarr.hpp"
#include "pocket_lanes/surface_grid_seams.hpp"

// Status of these least versions: no part surfaces to project onto.
inline constexpr int kNoPartSurfaces = -2;

// Projects a lane onto the part surfaces into the result (the linking stage's connections and cut
// lanes on surfaces; options a to c and the two values choose the projection): status
// kNoPartSurfaces, result unchanged.
void lane_on_srf(int option_a, int option_b, int option_c, const pokarr& lane, pokarr& result, double value_a,
                 double value_b, int& status);
// Draws a lane or connection of a surface pocket from the from-point to the to-point (three
// doubles each): status kNoPartSurfaces, nothing drawn. work is not read.
void draw_lane_3d(int mode, const double* from, const double* to, int& work, int& status);

// Joins the two strings by the ordinary link of the link mode: status -1 here, nothing written.
void link_pass_strings(const pass_link& pass, int link_mode, int& status);
