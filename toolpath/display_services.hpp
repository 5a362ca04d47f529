// The display services that the motion output and the tools call: the live display of every
// written block, the display of a copied block, the machine status line and the tool instance.
// The display lives above them (listing/), so they call it through this table, which
// listing/display_services_install.cpp fills when the module is loaded. Call an entry through
// seam_call (toolpath/seam_call.hpp).
#pragma once

#include <array>

struct display_services {
    // DISPLB: the live display of the block just written (mode, break flag, status).
    void (*DISPLB)(int mode, int& break_flag, int& status);
    // The display of a block the block converter has just written (where, type, status).
    void (*display_copied_block)(int where, int type, int& status);
    // The block display's state at the start of a procedure (source).
    void (*dspblk_init_state)(int source);
    // Fields of the machine status line, each repainted from the NC state blocks (window).
    void (*status_show_feed)(int window);
    void (*status_show_spin)(int window);
    void (*status_show_coolant)(int window);
    void (*status_show_tool)(int window);
    void (*status_repaint)(int window);
    // DISPT1: the tool's symbol master drawn at the point with the axis (tool, point, axis,
    // instance).
    void (*DISPT1)(int tool_id, const std::array<float, 3>& point, const std::array<float, 3>& axis, int& instance);
};

display_services& display_service_table();
