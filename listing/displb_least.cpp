// DISPLB, least version (see the header).
#include "listing/displb_least.hpp"

#include "listing/display_break_least.hpp"

void DISPLB(int mode, int& break_flag, int& status)
{
    break_flag = 0;
    status = 0;
    if (mode == 1) check_display_break(break_flag);
}
