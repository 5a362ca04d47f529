// The choice of a target procedure, least version (see the header).
#include "driver/target_proc_select_least.hpp"

#include "toolpath/pp_messages.hpp"
#include "toolpath/tp_list_access.hpp"

#include <algorithm>

void target_proc_select(int& chosen, int& start, int& status)
{
    int count = 0;
    count_class_blocks(kClassProcedure, count, status);
    if (status < 0) return;
    if (count == 0) {
        chosen = 1;
        return;
    }
    chosen = start < 1 ? count + 1 : std::min(start, count + 1);
}
