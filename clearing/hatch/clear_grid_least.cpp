// The clearing height grid and reduction tolerance (least version, see the header).
#include "clearing/hatch/clear_grid_least.hpp"

clear_state clear_block;

void clr_reduce_tol_get(float& value) { value = static_cast<float>(clear_block.bound); }
