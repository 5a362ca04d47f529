// The tool radius of a pocket run, read from the current tool (see pocket_tool_radius.hpp).
#include "pocket/pocket_tool_radius.hpp"

#include "pocket_arrays/pocket_work.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>

void set_pocket_tool_radius()
{
    double diameter = 0.0;
    tool_get_mill_diameter_dbl(PRM9().words[machine_params::kToolId], diameter);
    // Written so that a diameter that is no number counts 0 as well.
    pocket_work_block.tool_radius = std::max(0.0, diameter) / 2.0;
}
