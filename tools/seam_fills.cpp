// The tools' entries of lower folders' seam tables (see the header).
#include "tools/seam_fills.hpp"

#include "tools/tool_accessors.hpp"

void fill_mill_services(mill_services& services)
{
    services.tool_get_mill_diameter = tool_get_mill_diameter;
    services.tool_get_corner_radius = tool_get_corner_radius;
    services.tool_set_mill_diameter = tool_set_mill_diameter;
    services.tool_set_corner_radius = tool_set_corner_radius;
}

namespace {
[[maybe_unused]] const bool filled_at_load = (fill_mill_services(mill_service_table()), true);
}  // namespace
