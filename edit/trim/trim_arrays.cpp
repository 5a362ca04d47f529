// Growth of the trimming code's host arrays (see the header).
#include "edit/trim/trim_arrays.hpp"

#include "host/vantu_memory.hpp"

void* resize_array(int entries, int handle, int& status)
{
    void* base = nullptr;
    status = 0;
    MM_RESIZE_ARRAY(handle, entries, base, status);
    if (status < 0) return nullptr;
    status = 0;
    return base;
}

void array_room(int handle, int& room, int needed, int& status)
{
    if (needed <= room) return;
    resize_array(needed - room, handle, status);
    if (status >= 0) room = needed;
}
