// The entry-point list: reset, release, add with the merge by x and y, and reading an entry.
#include "nc_services/nc_entr.hpp"

#include "host/vantu.hpp"
#include "host/vantu_ncstate.hpp"

#include <cstddef>

#include <cstring>

namespace {

constexpr int kFailed = -1;
constexpr int kNotOpen = -1;

static_assert(sizeof(nc_entry) == kEntryRecordBytes);

nc_entry load(int n)
{
    nc_entry e;
    const auto* base = static_cast<const unsigned char*>(mmcptr(nc_entr().handle));
    std::memcpy(&e, base + static_cast<std::ptrdiff_t>(n) * kEntryRecordBytes, sizeof e);
    return e;
}

void store(int n, const nc_entry& e)
{
    auto* base = static_cast<unsigned char*>(mmcptr(nc_entr().handle));
    std::memcpy(base + static_cast<std::ptrdiff_t>(n) * kEntryRecordBytes, &e, sizeof e);
}

// The entry at the point's x and y, or -1.
int find_entry(const float (&point)[3])
{
    const entry_point_list& list = nc_entr();
    if (list.handle == kNotOpen || mmcptr(list.handle) == nullptr) return -1;
    for (int n = 0; n < list.count; ++n) {
        const nc_entry e = load(n);
        const float xy[2] = {e.x, e.y};
        if (eqpt2(xy, point) != 0) return n;
    }
    return -1;
}

// Room for one more entry: opens the array or grows it by ten.
void make_room(int& status)
{
    entry_point_list& list = nc_entr();
    status = 0;
    if (list.count < list.capacity) return;
    void* base = nullptr;
    if (list.capacity > 0) {
        MM_RESIZE_ARRAY(list.handle, kEntryGrowth, base, status);
        if (status != 0) {
            eroutc("nc_entr_add, DYNAMIC MEMORY ERROR - CANNOT ALLOCATE", 0);
            status = kFailed;
            return;
        }
    } else {
        int handle = kNotOpen;
        MM_OPEN_ARRAY(kEntryRecordBytes, kEntryGrowth, handle, base, status);
        if (status != 0) {
            eroutc("nc_entr_add, OPEN DYNAMIC MEMORY ERROR", 0);
            status = kFailed;
            return;
        }
        list.handle = handle;
    }
    list.capacity += kEntryGrowth;
}

}  // namespace

entry_point_list& nc_entr()
{
    static entry_point_list list;
    return list;
}

void nc_entr_reset(int& count)
{
    int status = 0;
    nc_entr_rel(status);
    count = 0;
    nc_entr() = entry_point_list{};
}

void nc_entr_rel(int& status)
{
    entry_point_list& list = nc_entr();
    status = 0;
    if (list.handle != kNotOpen && list.capacity > 0) {
        MM_CLOSE(list.handle, status);
        if (status != 0) {
            eroutc("nc_entr_rel, CLOSE DYNAMIC MEMORY ERROR", 0);
            status = kFailed;
            return;
        }
    }
    list = entry_point_list{};
}

void nc_entr_add(const float (&point)[3], int& status)
{
    status = 0;
    if (const int n = find_entry(point); n >= 0) {
        nc_entry e = load(n);
        if (geval(e.z, point[2]) != 0) {
            e.z = point[2];
            store(n, e);
        }
        return;
    }
    make_room(status);
    if (status < 0) return;
    store(nc_entr().count, nc_entry{point[0], point[1], point[2]});
    ++nc_entr().count;
}

void nc_entr_get(int n, nc_entry& entry, int& status)
{
    const entry_point_list& list = nc_entr();
    if (n < 0 || n >= list.count || list.handle == kNotOpen || mmcptr(list.handle) == nullptr) {
        status = kFailed;
        return;
    }
    entry = load(n);
    status = 0;
}
