// The interval list (see the header). The records live in a host array that may move when it
// grows, so every routine fetches its base address from the handle and refuses a handle the host
// no longer knows. A refused growth marks the list failed instead of writing past the array:
// interval_list_first and interval_list_span then answer -1 until the next reset.
#include "cutter/kernels/interval_list.hpp"

#include "host/vantu_memory.hpp"

#include <algorithm>

interval_list_state interval_list_block;

namespace {

constexpr int kGoOn = 0;
constexpr int kNone = -1;
constexpr int kRoomStep = 100;

interval_list_state& list = interval_list_block;

// The records, or null when the list is not open or the host no longer knows its array.
interval_record* records()
{
    if (list.handle < 0) return nullptr;
    if (MM_CUR_N_ENTRIES(list.handle) < list.capacity) return nullptr;
    return static_cast<interval_record*>(mmcptr(list.handle));
}

// The records when the list holds a sound layout, else null (the list is then marked failed).
interval_record* usable_records()
{
    interval_record* r = records();
    if (r == nullptr || list.count < 2 || list.count > list.capacity) list.failed = 1;
    return list.failed ? nullptr : r;
}

// Room for two more records; a refused growth marks the list failed.
interval_record* room_for_two()
{
    interval_record* r = usable_records();
    if (r == nullptr || list.count + 2 <= list.capacity) return r;
    void* base = nullptr;
    int status = 0;
    MM_RESIZE_ARRAY(list.handle, kRoomStep, base, status);
    if (status != 0 || base == nullptr) {
        list.failed = 1;
        return nullptr;
    }
    list.capacity += kRoomStep;
    return static_cast<interval_record*>(base);
}

interval_record boundary(double key, const interval_payload& payload, int tag) { return {key, payload, tag}; }

void clear_search()
{
    list.found = kNone;
    list.found_start = kIntervalHighSentinel;
    list.found_end = kIntervalLowSentinel;
    list.found_tag = 0;
}

}  // namespace

void interval_list_open(int& status)
{
    int ignored = 0;
    if (records() != nullptr) MM_CLOSE(list.handle, ignored);
    interval_list_module_reset();
    void* base = nullptr;
    MM_OPEN_ARRAY(sizeof(interval_record), kRoomStep, list.handle, base, status);
    if (status != 0) {
        list.handle = -1;
        return;
    }
    list.capacity = kRoomStep;
}

void interval_list_close(int& status)
{
    status = kNone;
    if (list.handle >= 0) MM_CLOSE(list.handle, status);
    interval_list_module_reset();
}

void interval_list_module_reset()
{
    list = interval_list_state{};
    list.failed = 1;
}

void interval_list_reset(double lo, double hi)
{
    clear_search();
    list.failed = 0;
    interval_record* r = records();
    if (r == nullptr || list.capacity < 4) {
        list.failed = 1;
        return;
    }
    const interval_payload zero{};
    r[0] = boundary(kIntervalLowSentinel, zero, 0);
    r[1] = boundary(lo, zero, 0);
    r[2] = boundary(hi, zero, 0);
    r[3].key = kIntervalHighSentinel;  // the last sentinel's payload and tag are not touched
    list.count = 4;
}

void interval_list_insert(double a, double b, const interval_payload& pa, const interval_payload& pb, int tag)
{
    if (!(a < b)) return;
    interval_record* r = room_for_two();
    if (r == nullptr) return;
    const int n = list.count;
    // a lies after record i and b after record j, counting only the boundaries 1 .. n-2: a key
    // at or beyond a sentinel has nothing to cut on that side.
    int i = 0;
    while (i + 1 <= n - 2 && r[i + 1].key <= a) ++i;
    int j = i;
    while (j + 1 <= n - 2 && r[j + 1].key <= b) ++j;
    const bool a_inside = i % 2 == 1;
    const bool b_inside = j % 2 == 1;

    if (j == i) {
        if (!a_inside) return;  // both in one gap
        std::copy_backward(r + i + 1, r + n, r + n + 2);
        r[i + 1] = boundary(a, pa, tag);
        r[i + 2] = boundary(b, pb, tag);
        list.count = n + 2;
        return;
    }
    if (j == i + 1) {
        r[i + 1] = a_inside ? boundary(a, pa, tag) : boundary(b, pb, tag);
        return;
    }
    // Records i+1 .. j lay between a and b: they give way to the new end of a's range (when a was
    // inside one) and the new start of b's (when b was).
    const int added = (a_inside ? 1 : 0) + (b_inside ? 1 : 0);
    const int removed = j - i;
    std::copy(r + j + 1, r + n, r + i + 1 + added);
    int at = i + 1;
    if (a_inside) r[at++] = boundary(a, pa, tag);
    if (b_inside) r[at++] = boundary(b, pb, tag);
    list.count = n + added - removed;
}

void interval_list_first(double& start, double& end, interval_payload& pa, interval_payload& pb, int& status)
{
    status = kNone;
    clear_search();
    start = kIntervalHighSentinel;
    end = kIntervalLowSentinel;
    const interval_record* r = usable_records();
    if (r == nullptr || list.count < 3) return;
    for (int k = 2; k < list.count; k += 2) {
        if (!(r[k].key >= 0.0)) continue;
        status = kGoOn;
        list.found = kGoOn;
        start = list.found_start = r[k - 1].key;
        end = list.found_end = r[k].key;
        pa = r[k - 1].payload;
        pb = r[k].payload;
        list.found_tag = r[k].tag;
        return;
    }
}

void interval_list_current(double& start, double& end, int& flag)
{
    start = list.found_start;
    end = list.found_end;
    flag = list.found;
}

void interval_list_tag(int& tag) { tag = list.found_tag; }

void interval_list_span(double& first, double& last, int& status)
{
    status = kNone;
    const interval_record* r = usable_records();
    if (r == nullptr || list.count < 4) return;
    first = r[1].key;
    last = r[list.count - 2].key;
    status = kGoOn;
}
