// The connection and approach settings (see the header).
#include "nc_services/connect_params.hpp"

connect_params& connect_params_block()
{
    static connect_params block;
    return block;
}
