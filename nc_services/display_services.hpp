// The display services that the motion output and the tools call: the live display of every
// written block, the display of a copied block, the machine status line and the tool instance.
// The display lives above them (listing/), so they call it through this table, which the listing
// fills when the module is loaded (listing/seam_fills.cpp; pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/seam_entry.hpp"

#include <array>

inline constexpr char kDisplayServicesName[] = "display_services";

struct display_services {
    using unfilled = unfilled_seam<kDisplayServicesName>;
    // DISPLB: the live display of the block just written (mode, break flag, status).
    void (*DISPLB)(int mode, int& break_flag, int& status) = unfilled{};
    // The display of a block the block converter has just written (where, type, status).
    void (*display_copied_block)(int where, int type, int& status) = unfilled{};
    // The block display's state at the start of a procedure (source).
    void (*dspblk_init_state)(int source) = unfilled{};
    // Fields of the machine status line, each repainted from the NC state blocks (window).
    void (*status_show_feed)(int window) = unfilled{};
    void (*status_show_spin)(int window) = unfilled{};
    void (*status_show_coolant)(int window) = unfilled{};
    void (*status_show_tool)(int window) = unfilled{};
    void (*status_repaint)(int window) = unfilled{};
    // DISPT1: the tool's symbol master drawn at the point with the axis (tool, point, axis,
    // instance).
    void (*DISPT1)(int tool_id, const std::array<float, 3>& point, const std::array<float, 3>& axis,
                   int& instance) = unfilled{};
};

// The services the motion output and the tools call; assign an entry to replace it.
display_services& display_service_table();
