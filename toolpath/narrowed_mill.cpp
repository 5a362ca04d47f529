// The scoped narrowing of the current mill (see narrowed_mill.hpp).
#include "toolpath/narrowed_mill.hpp"

#include "toolpath/machine_table.hpp"
#include "toolpath/seam_call.hpp"

narrowed_mill::narrowed_mill(const mill_services& services) : services_(services)
{
    const int tool = PRM9().words[machine_params::kToolId];
    seam_call("tool_get_mill_diameter", services_.tool_get_mill_diameter, tool, diameter_);
    seam_call("tool_get_corner_radius", services_.tool_get_corner_radius, tool, corner_);
}

narrowed_mill::~narrowed_mill()
{
    if (!narrowed_) return;
    seam_call("tool_set_mill_diameter", services_.tool_set_mill_diameter, diameter_);
    seam_call("tool_set_corner_radius", services_.tool_set_corner_radius, corner_);
}

void narrowed_mill::narrow(float diameter, float corner)
{
    seam_call("tool_set_mill_diameter", services_.tool_set_mill_diameter, diameter);
    seam_call("tool_set_corner_radius", services_.tool_set_corner_radius, corner);
    narrowed_ = true;
}
