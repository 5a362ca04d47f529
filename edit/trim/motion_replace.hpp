// The replacement of the motion block at the list position by two new blocks, which the Z-level
// change and the motion walk make when they cut a motion.
#pragma once

#include "host/vantu_list.hpp"
#include "toolpath/tp_list_access.hpp"

// Deletes the block at the list position, writes the two pieces after the block before it
// (write_first, write_second: callables taking the status) and leaves the list on the second
// piece. Status 0; the first negative status.
template <class First, class Second> void replace_by_two(First write_first, Second write_second, int& status)
{
    tp_list_delete(-1, status);
    if (status >= 0) write_first(status);
    if (status >= 0) write_second(status);
    // A writer leaves the list on the block it wrote last (a motion writer may write a parameter
    // block before its motion), so the list stands on the second piece whatever was written
    // before it.
    if (status > 0) status = 0;
}
