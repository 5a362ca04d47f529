// The entry-point request flag, least version (see the header).
#include "pocket/entry_request_least.hpp"

namespace {
int& request_flag()
{
    static int flag = 0;
    return flag;
}
}  // namespace

void entpnt_flag_reset() { request_flag() = 0; }

void entpnt_flag_gs(int mode, int& value)
{
    if (mode == 1) value = request_flag();
    else request_flag() = value;
}
