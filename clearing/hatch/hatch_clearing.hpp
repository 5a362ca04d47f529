// Hatch-line clearing of one pocket level, as the pocket execution calls it: tkpolg builds the
// region left by the lane engine's single offset, turns it into the hatch frame and runs the
// clearing engine, which leaves the clearing point list; clear_passes_out writes that list at the
// current level's Z between LAYER markers; clrcls (clear_block.hpp) releases it. The points are
// computed on the levels that rebuild and replayed on the others.
#pragma once

#include "clearing/hatch/clear_block.hpp"
#include "host/words.hpp"

// Builds the clearing point list of the current level: angle and second_angle are codes 44 and 42
// (radians, the hatch angle is their sum), direction, linking_mode and contour_link codes 39, 24
// and 259. Status 0; -1 with "tkpolg, AREA TOO SMALL TO MACHINE WITH THIS TOOL AND PARAMETERS"
// when the region is empty, "tkpolg, CLRCRE PROBLEMS" when the engine fails (the list is then
// released); a failing step's status otherwise. Reads pocket_work.tolerance and side_step and
// pocket_state.entry_found and entry_data (the previous end point); fills the current polygon
// buffer and keeps its polygons as the list's region (clear_region.hpp).
void tkpolg(float angle, float second_angle, int direction, int linking_mode, int contour_link, int& status);

// Writes the clearing point list at the current level: angle is code 44, approach_value the float
// of code 16; the pass flag (code 224) is not read. A pass start is reached over the level above
// where the way stays inside the list's region, else over the top of the material. Status 0, -1
// with "clear_passes_out, NO CLEARING POINTS" when the list is closed or empty, or the first
// failing writer's status. Reads pocket_state (current_z, first_level_z, z_step, approach_height,
// level_count, level_counter), clear_block (reference_height, the region), DSP8 and
// the host's procedure code.
void clear_passes_out(float angle, float approach_value, int pass_flag, int& status);

// The engine over n polygons one after the other from polygons (hatch frame) and the m merged
// ordinate ranges (low, high pairs): the hatch lines of every range in one segment list, the
// contour rings, the linker of clear_block's linking mode. 0, or -1 when a step fails.
int clear_engine(const word* polygons, const float* ranges, int m, int n);

// Sorts the count ranges (low, high pairs) by low end and merges overlapping ones in place:
// merged holds the number written back from the start.
void merge_ranges(int count, float* ranges, int& merged);
