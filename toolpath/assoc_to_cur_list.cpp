// assoc_to_cur_list through the host's attachment of associativity.
#include "toolpath/assoc_to_cur_list.hpp"

#include "host/vantu_assoc.hpp"
#include "toolpath/tp_sublist.hpp"

namespace {
constexpr int kListCode = -1;
constexpr int kFirstList = 1;
}  // namespace

void assoc_to_cur_list(int entity_id, int& status)
{
    int attached = 0;
    asattl(entity_id, kListCode, BLSK().words[kFirstList], attached);
    status = 0;
}
