// Growth of the trimming code's host arrays (see the header).
#include "edit/trim/trim_arrays.hpp"

#include "edit/trim/trim_state.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"

namespace {
constexpr int kArrayElement = 12;
}  // namespace

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

bool trim_arrays_open(int& status)
{
    trim_state& t = trim_words();
    for (int* handle : {&t.collected_points, &t.collected_vectors, &t.projection_work}) {
        void* base = nullptr;
        MM_OPEN_ARRAY(kArrayElement, kTrimArrayStart, *handle, base, status);
        if (status < 0) {
            *handle = -1;
            eroutc("delete_trimed_blocks, DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE", 0);
            return false;
        }
    }
    return true;
}

void close_arrays(std::initializer_list<int*> handles)
{
    for (int* handle : handles) {
        int closed = 0;
        if (*handle >= 0) MM_CLOSE(*handle, closed);
        *handle = -1;
    }
}

void trim_arrays_close()
{
    trim_state& t = trim_words();
    close_arrays({&t.collected_points, &t.collected_vectors, &t.projection_work});
}
