// The replacement of the motion block at the list position by two new blocks, which the Z-level
// change and the motion walk make when they cut a motion.
#pragma once

#include "host/vantu_list.hpp"
#include "toolpath/tp_list_access.hpp"

// Deletes the block at the list position, writes the two pieces after the block before it
// (write_first, write_second: callables taking the status) and leaves the list on the second
// piece. Status 0; the first negative status (a marker that cannot be set or reached: -1). Uses
// list marker 13.
template <class First, class Second>
void replace_by_two(First write_first, Second write_second, int& status)
{
    constexpr int kSplitMarker = 13, kSave = 1, kReturn = 2;
    tp_list_delete(-1, status);
    int marked = 0;
    if (status >= 0) lmark(kSave, kSplitMarker, marked);
    if (status >= 0 && marked < 0) status = -1;
    if (status >= 0) write_first(status);
    if (status >= 0) write_second(status);
    if (status >= 0) lmark(kReturn, kSplitMarker, marked);
    if (status >= 0 && marked < 0) status = -1;
    if (status >= 0) tp_list_jump(2, status);
    // At the end of the list the second piece is its last block: the list stands on it.
    if (status > 0 || status == -2) status = 0;
}
