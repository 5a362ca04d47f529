// The module's one block of offset working values.
#include "pocket_lanes/offset_work.hpp"

offset_work offset_work_block;
