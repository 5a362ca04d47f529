// The point arrays of a pass link (see the header).
#include "clearing/surface_passes/link_arrays.hpp"

#include "host/vantu_memory.hpp"

#include <algorithm>

namespace {

constexpr int kPointBytes = static_cast<int>(sizeof(point3));

// Opens the array or grows it by `add` records; base receives its address.
void open_or_grow(int& handle, int& capacity, int add, void*& base, int& status)
{
    if (handle < 0) {
        MM_OPEN_ARRAY(kPointBytes, add, handle, base, status);
        if (status < 0) {
            handle = -1;
            return;
        }
    } else {
        MM_RESIZE_ARRAY(handle, add, base, status);
        if (status < 0) return;
    }
    capacity += add;
}

// The normals grown to the largest capacity, every new one (0, 0, 1).
void normals_follow(link_arrays_state& s, int& status)
{
    const int needed = *std::max_element(s.capacities.begin(), s.capacities.end());
    if (s.normal_capacity >= needed) return;
    const int first = s.normal_capacity;
    void* base = nullptr;
    open_or_grow(s.normals, s.normal_capacity, needed - s.normal_capacity, base, status);
    if (status < 0) return;
    std::fill(static_cast<point3*>(base) + first, static_cast<point3*>(base) + s.normal_capacity, kDefaultDirection);
}

}  // namespace

link_arrays_state& link_arrays()
{
    static link_arrays_state state;
    return state;
}

void link_array_get(int m, int k, point3*& base, int& status)
{
    status = 0;
    base = nullptr;
    if (m < kLeavingArc || m > kLinkMove) {
        status = -1;
        return;
    }
    link_arrays_state& s = link_arrays();
    const auto i = static_cast<std::size_t>(m - 1);
    void* address = mmcptr(s.handles[i]);
    if (s.handles[i] < 0) open_or_grow(s.handles[i], s.capacities[i], kLinkArrayOpen, address, status);
    if (status >= 0 && s.capacities[i] < k)
        open_or_grow(s.handles[i], s.capacities[i], ((k - s.capacities[i]) / kLinkArrayGrowth + 1) * kLinkArrayGrowth,
                     address, status);
    if (status >= 0) normals_follow(s, status);
    if (status < 0) return;
    base = static_cast<point3*>(address);
}

const point3* link_normals() { return static_cast<const point3*>(mmcptr(link_arrays().normals)); }

void link_arrays_close()
{
    link_arrays_state& s = link_arrays();
    int status = 0;
    for (int handle : s.handles)
        if (handle >= 0) MM_CLOSE(handle, status);
    if (s.normals >= 0) MM_CLOSE(s.normals, status);
    s = link_arrays_state{};
}
