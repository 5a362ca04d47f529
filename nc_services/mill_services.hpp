// The current mill's diameter and corner radius, which the motion fitting and the surface link
// read and the link test shrinks. The tools live above the motion output (tools/), so it reaches
// them through this table, which the tools (tools/seam_fills.cpp) fill when the module is loaded
// (pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/seam_entry.hpp"

inline constexpr char kMillServicesName[] = "mill_services";

struct mill_services {
    using unfilled = unfilled_seam<kMillServicesName>;
    // Getters by tool id (see tools/tool_accessors.hpp): -1 when the tool is no mill.
    void (*tool_get_mill_diameter)(int tool_id, float& result) = unfilled{};
    void (*tool_get_corner_radius)(int tool_id, float& result) = unfilled{};
    // Setters on the current tool.
    void (*tool_set_mill_diameter)(float value) = unfilled{};
    void (*tool_set_corner_radius)(float value) = unfilled{};
};

// The services the motion output calls; assign an entry to replace it.
mill_services& mill_service_table();
