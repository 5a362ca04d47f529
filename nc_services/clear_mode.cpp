// The clearing state's mode word (see the header).
#include "nc_services/clear_mode.hpp"

clearing_state& clearing_state_block()
{
    static clearing_state state;
    return state;
}

int& clear_mode() { return clearing_state_block().clear_mode; }
