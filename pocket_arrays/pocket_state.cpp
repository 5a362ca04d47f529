// The module's pocket state block.
#include "pocket_arrays/pocket_state.hpp"

pocket_state pocket_state_block;
