// The hatch clearing of a region (least version, see the header).
#include "clearing/hatch/hatch_clearing_least.hpp"

void tkpolg(float /*angle*/, float /*second_angle*/, int /*sign*/, int /*linking*/, int /*option*/, int& status)
{
    status = 0;
}

void clear_passes_out(float /*angle*/, float /*height*/, int /*option*/, int& status) { status = 0; }

void clrcls(int /*mode*/, int& status) { status = 0; }
