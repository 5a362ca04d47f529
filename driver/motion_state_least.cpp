// Least version of DSP8 (see the header): one instance, zero until the first restore.
#include "driver/motion_state_least.hpp"

tool_position_state& DSP8()
{
    static tool_position_state block;
    return block;
}
