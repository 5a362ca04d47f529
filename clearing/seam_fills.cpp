// The clearing's entries of lower folders' seam tables (see the header).
#include "clearing/seam_fills.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/grid_segment_test.hpp"
#include "clearing/hatch/hatch_clearing.hpp"
#include "clearing/hatch/hatch_lines.hpp"
#include "clearing/hatch/hatch_region.hpp"
#include "clearing/surface_lanes/grid_cell.hpp"
#include "clearing/surface_lanes/grid_projection.hpp"
#include "clearing/surface_lanes/grid_walk.hpp"
#include "clearing/surface_lanes/lane_offset_3d.hpp"
#include "clearing/surface_lanes/lane_on_srf.hpp"
#include "clearing/surface_passes/hatch_step.hpp"
#include "clearing/surface_passes/pass_link.hpp"
#include "clearing/surface_passes/surface_pass_run.hpp"

void fill_hatch_clearing_steps(pocket_engine_steps& steps)
{
    steps.tkpolg = tkpolg;
    steps.clear_passes_out = clear_passes_out;
    steps.clrcls = clrcls;
}

void fill_surface_grid_lanes(surface_grid_seams& table)
{
    table.lan_on_grid = lan_on_grid;
    table.drop_lane_on_grid = drop_lane_on_grid;
    table.lane_on_srf = lane_on_srf;
    table.draw_lane_3d = draw_lane_3d;
    table.link_pass_strings = link_pass_strings;
    table.grid_drop_check_set = grid_drop_check_set;
    table.grid_segment_test = grid_segment_test;
    table.grid_height_at = grid_height_at;
}

void fill_hatch_line_services(hatch_line_services& services)
{
    services.clr_hatch_range = clr_hatch_range;
    services.hatch_line_span = hatch_line_span;
}

void fill_region_hatch(region_hatch_seams& table)
{
    table.hatch_region = hatch_region;
    table.temp_hatch = temp_hatch;
}

void fill_surface_offset(surface_offset_seams& table)
{
    table.lane_offset_3d = lane_offset_3d;
    table.lan_on_grid = lan_on_grid;
}

void fill_surface_pass_seams(surface_pass_seams& table)
{
    table.surface_pass_run = surface_pass_run;
    table.pass_height_at_point = pass_height_at_point;
}

namespace {
[[maybe_unused]] const bool filled_at_load =
    (fill_hatch_clearing_steps(pocket_engine()), fill_surface_grid_lanes(surface_grid_seam_table()),
     fill_hatch_line_services(hatch_line_seams()), fill_region_hatch(region_hatch()),
     fill_surface_offset(surface_offset_seam_table()), fill_surface_pass_seams(surface_pass_seam_table()), true);
}  // namespace
