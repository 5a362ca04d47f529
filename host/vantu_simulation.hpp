// The host's material-removal simulation as the block display feeds it: tool moves, the modal
// values, the origin, the tool axis and the tool's shape. The stand-in keeps every call as a
// line of the simulation transcript (host/control/simulation.hpp).
#pragma once

#include <string_view>

// A tool move to the point (three floats) for block `block`. Status 0; -1 for a missing point.
void mrm_tpmov(const float* point, int block, int& status);
void mrm_feed(float feed);
// Cutting speed, the base spindle speed of the machine and the spindle speed.
void mrm_spin(float cutting_speed, int base_spin, int spin);
void mrm_cool(int coolant);
// The two vectors of the tool path's origin.
void mrm_org(const float* first, const float* second);
// The tool axis (three floats).
void mrm_ijk(const float* axis);
// The shape of the tool: class, its values (diameter, clear length, cut length and the tip
// angle, or the corner radius and taper angle; count of them), its symbol master, the position
// (three floats) and the tool. Status 0; -1 for missing values.
void mrm_tppar(int tool_class, const float* values, int count, int master, const float* position, int tool,
               int& status);
// The machine type and its name.
void mrm_tptype(int machine_type, std::string_view name);
// Room for the moves of the blocks that follow.
void mrm_set_reallocation_size(int moves);
