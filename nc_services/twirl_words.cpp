// The twirl words of an approach (see the header).
#include "nc_services/twirl_words.hpp"

twirl_state& twirl()
{
    static twirl_state state;
    return state;
}

void twirl_flags_reset()
{
    twirl().enable[0] = 0;
    twirl().enable[1] = 0;
}
int twirl_requested_get() { return twirl().requested; }
int twirl_requested_set(int value) { return twirl().requested = value; }
int twirl_made_get() { return twirl().made; }
void twirl_made_set(int value) { twirl().made = value; }
