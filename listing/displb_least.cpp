// DISPLB, least version: displays nothing, break flag 0, status 0. The display subsystem
// replaces this file.
#include "listing/displb_least.hpp"

void DISPLB(int mode, int& break_flag, int& status)
{
    (void)mode;
    break_flag = 0;
    status = 0;
}
