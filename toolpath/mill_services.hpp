// The current mill's diameter and corner radius, which the motion fitting and the surface link
// read and the link test shrinks. The tools live above the motion output (tools/), so it reaches
// them through this table, which tools/mill_services_install.cpp fills when the module is loaded.
// Call an entry through seam_call (toolpath/seam_call.hpp).
#pragma once

struct mill_services {
    // Getters by tool id (see tools/tool_accessors.hpp): -1 when the tool is no mill.
    void (*tool_get_mill_diameter)(int tool_id, float& result);
    void (*tool_get_corner_radius)(int tool_id, float& result);
    // Setters on the current tool.
    void (*tool_set_mill_diameter)(float value);
    void (*tool_set_corner_radius)(float value);
};

mill_services& mill_service_table();
