// The cutter location's entries of lower folders' seam tables (see the header).
#include "cutter/seam_fills.hpp"

#include "cutter/linnet_touch_point.hpp"
#include "cutter/surface_height_at_point.hpp"
#include "cutter/tool_contact_point.hpp"

void fill_surface_queries(surface_query_seams& table)
{
    table.tool_contact_point = tool_contact_point;
    table.surface_height_at_point = surface_height_at_point;
    table.linnet_touch_point = linnet_touch_point;
}

namespace {
[[maybe_unused]] const bool filled_at_load = (fill_surface_queries(surface_query_table()), true);
}  // namespace
