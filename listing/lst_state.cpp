// lst_state (least version, see the header).
#include "listing/lst_state.hpp"

listing_state& lst_state()
{
    static listing_state state;
    return state;
}
