// The hook table of the host's 3-D surface algorithm (see the header).
#include "nc_services/d3ds_hooks.hpp"

d3ds_hooks* disp_state_ptr()
{
    static d3ds_hooks table;
    return &table;
}

void disp_state_reset() { *disp_state_ptr() = d3ds_hooks{}; }
