// The approach block (see the header).
#include "toolpath/approach_block.hpp"

approach_block approach_block_data;
