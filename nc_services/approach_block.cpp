// The approach block (see the header).
#include "nc_services/approach_block.hpp"

approach_block approach_block_data;
