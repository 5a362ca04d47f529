// The module's line-net and cutter-location parameter block, least version (see the header).
#include "cutter/linnet_params_least.hpp"

linnet_params linnet_params_block;
