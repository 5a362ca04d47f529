// The table of surface queries of the motion output (see the header).
#include "toolpath/surface_query_seams.hpp"

#include "cutter/linnet_touch_point_least.hpp"
#include "cutter/surface_height_at_point_least.hpp"
#include "cutter/tool_contact_point_least.hpp"

surface_query_seams default_surface_query_seams()
{
    return {tool_contact_point, surface_height_at_point, linnet_touch_point};
}

surface_query_seams& surface_query_table()
{
    static surface_query_seams table = default_surface_query_seams();
    return table;
}
