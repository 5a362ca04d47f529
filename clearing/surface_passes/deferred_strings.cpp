// The held-back strings of the pass loop (see the header).
#include "clearing/surface_passes/deferred_strings.hpp"

#include "clearing/surface_passes/pass_output.hpp"
#include "host/vantu_memory.hpp"

#include <algorithm>

namespace {

constexpr int kLinkMotionCode = 3;

// A host array holding a copy of count elements; -1 when count is 0.
template <typename T> int copied_array(const T* source, int count, int& status)
{
    if (count <= 0) return -1;
    int handle = -1;
    void* base = nullptr;
    MM_OPEN_ARRAY(static_cast<int>(sizeof(T)), count, handle, base, status);
    if (status < 0) return -1;
    std::copy_n(source, count, static_cast<T*>(base));
    return handle;
}

void close_if_open(int handle)
{
    int status = 0;
    if (handle >= 0) MM_CLOSE(handle, status);
}

deferred_record* records() { return static_cast<deferred_record*>(mmcptr(deferred_strings().handle)); }

// Room for one more record; status negative when the list cannot be opened or grown.
void make_room(deferred_strings_state& s, int& status)
{
    void* base = nullptr;
    if (s.handle < 0) {
        MM_OPEN_ARRAY(static_cast<int>(sizeof(deferred_record)), kDeferredOpen, s.handle, base, status);
        if (status < 0) {
            s.handle = -1;
            return;
        }
        s.capacity = kDeferredOpen;
    } else if (s.count == s.capacity) {
        MM_RESIZE_ARRAY(s.handle, kDeferredGrowth, base, status);
        if (status < 0) return;
        s.capacity += kDeferredGrowth;
    }
}

}  // namespace

deferred_strings_state& deferred_strings()
{
    static deferred_strings_state state;
    return state;
}

void link_strings_out(int lift_flag, const point3* points, int string_count, const int* point_counts, int pass_number,
                      const std::array<int, 3>& motion_codes, int& status)
{
    surface_strings_call call;
    call.lift_flag = lift_flag;
    call.statement_code = kLinkMotionCode;
    call.points = points;
    call.counts = point_counts;
    call.string_count = string_count;
    call.pass_number = pass_number;
    call.motion_codes = motion_codes;
    call.feed_mode = kFeedKept;
    surface_strings_write(call, status);
}

void deferred_strings_add(int lift_flag, const point3* points, int string_count, const int* point_counts,
                          int pass_number, int code1, int code2, int code3, int& status)
{
    status = 0;
    int total = 0;
    for (int s = 0; s < string_count; ++s) total += std::max(point_counts[s], 0);
    deferred_record r{lift_flag, -1, string_count, -1, pass_number, {code1, code2, code3}};
    r.points = copied_array(points, total, status);
    if (status >= 0) r.counts = copied_array(point_counts, string_count, status);
    deferred_strings_state& s = deferred_strings();
    if (status >= 0) make_room(s, status);
    if (status < 0) {
        close_if_open(r.points);
        close_if_open(r.counts);
        return;
    }
    records()[s.count++] = r;
}

void deferred_strings_flush(int write, int& status)
{
    status = 0;
    deferred_strings_state& s = deferred_strings();
    for (int i = 0; i < s.count; ++i) {
        const deferred_record r = records()[i];
        if (write != 0 && status >= 0 && r.counts >= 0)
            link_strings_out(r.lift_flag, static_cast<const point3*>(mmcptr(r.points)), r.string_count,
                             static_cast<const int*>(mmcptr(r.counts)), r.pass_number, r.motion_codes, status);
        close_if_open(r.points);
        close_if_open(r.counts);
    }
    close_if_open(s.handle);
    s = deferred_strings_state{};
}
