// The clearing height grid, reduction tolerance and pass link (least version, see the header).
#include "clearing/hatch/clear_grid_least.hpp"

clear_block& clear_grid()
{
    static clear_block grid;
    return grid;
}

void clr_reduce_tol_get(float& value) { value = 0.0f; }

void link_pass_strings(const pass_link& /*pass*/, int /*link_mode*/, int& status) { status = -1; }
