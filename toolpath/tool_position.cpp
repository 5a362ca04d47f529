// DSP8 (see the header): one instance, zero until the first restore.
#include "toolpath/tool_position.hpp"

tool_position_state& DSP8()
{
    static tool_position_state block;
    return block;
}
