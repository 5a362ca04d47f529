// The module's line-net and cutter-location parameter block, least version (see the header).
#include "nc_services/linnet_params_least.hpp"

#include "nc_services/nc_state_blocks.hpp"

linnet_params linnet_params_block;

void linnet_set_params(int mode, const float* a, const float* b, int count, float limit, float value)
{
    linnet_params& p = linnet_params_block;
    p.net_mode = mode;
    for (int i = 0; i < 3; ++i) {
        p.net_a[i] = a != nullptr ? a[i] : 0.0f;
        p.net_b[i] = b != nullptr ? b[i] : 0.0f;
    }
    p.net_count = count == kLinnetCountAsOne ? 1 : count;
    p.net_limit = limit;
    p.net_value = value;
    p.net_heights[0] = HEI8().real(heights_state::kAbsolute);
    p.net_heights[1] = HEI8().real(heights_state::kIncremental);
}
