// Least versions of DSP8 and LSP2 (see the header): one instance each, zero until the first
// restore.
#include "driver/motion_state_least.hpp"

tool_position_state& DSP8()
{
    static tool_position_state block;
    return block;
}

move_writer_state& LSP2()
{
    static move_writer_state block;
    return block;
}
