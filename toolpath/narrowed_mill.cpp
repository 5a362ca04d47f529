// The scoped narrowing of the current mill (see narrowed_mill.hpp).
#include "toolpath/narrowed_mill.hpp"

#include "toolpath/machine_table.hpp"

narrowed_mill::narrowed_mill(const mill_services& services) : services_(services)
{
    const int tool = PRM9().words[machine_params::kToolId];
    services_.tool_get_mill_diameter(tool, diameter_);
    services_.tool_get_corner_radius(tool, corner_);
}

narrowed_mill::~narrowed_mill()
{
    if (!narrowed_) return;
    services_.tool_set_mill_diameter(diameter_);
    services_.tool_set_corner_radius(corner_);
}

void narrowed_mill::narrow(float diameter, float corner)
{
    // A tool that is no mill has no mill values to narrow: writing them would change the shape
    // record of a mill that is not current, and the give-back would leave -1 in it.
    if (diameter_ < 0.0f) return;
    services_.tool_set_mill_diameter(diameter);
    services_.tool_set_corner_radius(corner);
    narrowed_ = true;
}
