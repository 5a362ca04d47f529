// Lanes on the part surfaces, least version: the link of two pass strings fails (the clearing
// passes over surfaces complete it and replace this file). The walks and projections over the
// surface grid and onto the part surfaces are whole (clearing/surface_lanes/). The lane engine
// calls this through its table of surface grid lanes (pocket_lanes/surface_grid_seams.hpp), which
// clearing/seam_fills.cpp fills.
#pragma once

#include "pocket_lanes/surface_grid_seams.hpp"

// Joins the two strings by the ordinary link of the link mode: status -1 here, nothing written.
void link_pass_strings(const pass_link& pass, int link_mode, int& status);
