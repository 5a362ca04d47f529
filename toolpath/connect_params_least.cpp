// The connection and approach settings, least version (see the header).
#include "toolpath/connect_params_least.hpp"

connect_params& connect_params_block()
{
    static connect_params block;
    return block;
}
