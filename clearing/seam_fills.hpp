// The entries that the clearing fills, when the module is loaded, in the seam tables of lower
// folders (pocket_arrays/seam_entry.hpp): the hatch clearing's steps of the pocket's engine step table
// and the grids (surface lanes, the height grid's segment test) and the region hatching that the
// lane engine calls, the hatch lines of the pocket dialog's direction arrows, and the surface
// offset and grid projection of the geometry kernel; and of its own hatching's table, the surface
// pass engine that the hatching calls (clearing/hatch/surface_pass_seams.hpp). A test that
// replaced entries fills them again with these.
#pragma once

#include "clearing/hatch/surface_pass_seams.hpp"
#include "pocket/engine_steps.hpp"
#include "pocket/hatch_line_seams.hpp"
#include "pocket_arrays/surface_offset_seams.hpp"
#include "pocket_lanes/moves/region_hatch_seams.hpp"
#include "pocket_lanes/moves/surface_grid_seams.hpp"

void fill_hatch_clearing_steps(pocket_engine_steps& steps);
void fill_surface_grid_lanes(surface_grid_seams& table);
void fill_hatch_line_services(hatch_line_services& services);
void fill_region_hatch(region_hatch_seams& table);
void fill_surface_offset(surface_offset_seams& table);
void fill_surface_pass_seams(surface_pass_seams& table);
