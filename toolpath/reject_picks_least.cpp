// Rejection of the last picks (least version, see the header).
#include "toolpath/reject_picks_least.hpp"

#include "host/vantu.hpp"

#include <algorithm>

void reject_picks(int n)
{
    const int length = sllen();
    const int count = std::min(n, length);
    if (count < 1) return;
    int status = 0;
    sldelr(length - count + 1, length, status);
}
