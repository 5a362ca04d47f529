// edata_double_access over the host's data doubles of curves (edatad).
#include "tools/edata_double_access.hpp"

#include "host/vantu_entity_ext.hpp"

namespace {
constexpr int kRead = 1, kWrite = 2;
}  // namespace

void edata_double_access(int mode, int id, double (&values)[3], int& status)
{
    edatad(mode == kRead ? kRead : kWrite, id, values, status);
    if (status != 0) status = -1;
}
