// The motion-output words and the four UP/DOWN arrays: reset, open, growth and close, the last
// up/down point and the Z shift (see updown_buffers.hpp).
#include "toolpath/updown_buffers.hpp"

#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/move_writer_state.hpp"

#include <array>

namespace {

constexpr int kFailed = -1;
constexpr int kGet = 1, kSet = 2;
constexpr int kDownMode = 3;
constexpr int kFittedSplines = 1;

// The handle of each array and its element size.
std::array<int*, 4> handles()
{
    updown_arrays& b = updown_buffers();
    return {&b.points, &b.directions, &b.values, &b.runs};
}
constexpr std::array<int, 4> kElementSizes{12, 12, 4, 4};

void close_arrays()
{
    for (int* handle : handles()) {
        int status = 0;
        if (*handle != -1 && mmcptr(*handle)) MM_CLOSE(*handle, status);
        *handle = -1;
    }
    updown_buffers() = updown_arrays{};
}

// Grows every array by `step` entries. False when one refuses (those grown before keep their room).
bool grow_all(int step)
{
    for (int* handle : handles()) {
        void* base = nullptr;
        int status = 0;
        MM_RESIZE_ARRAY(*handle, step, base, status);
        if (status < 0) return false;
    }
    updown_buffers().capacity += step;
    return true;
}

}  // namespace

updown_state& updown()
{
    static updown_state s;
    return s;
}

updown_arrays& updown_buffers()
{
    static updown_arrays b;
    return b;
}

void motion_state_reset(int mode, float angle, int second_mode, int word1, int word2)
{
    const int zshift_flag = updown().zshift_flag;
    updown_state& s = updown();
    s = updown_state{};
    s.mode = mode;
    s.slope_angle = angle;
    s.second_mode = second_mode;
    s.caller_words[0] = word1;
    s.caller_words[1] = word2;
    s.zshift_flag = zshift_flag;
    LSP2().set_vec(move_writer_state::kLastPoint, {kNoPoint, kNoPoint, kNoPoint});
}

void proc_reset_flag() { updown().count = 0; }

void updown_open(int& status)
{
    status = 0;
    updown_arrays& b = updown_buffers();
    if (b.points != -1 && mmcptr(b.points)) return;
    const std::array<int*, 4> h = handles();
    for (std::size_t i = 0; i < h.size(); ++i) {
        void* base = nullptr;
        MM_OPEN_ARRAY(kElementSizes[i], kUpdownOpenEntries, *h[i], base, status);
        if (status < 0) {
            *h[i] = -1;
            close_arrays();
            eroutc("UP / DOWN , MEMORY ALLOCATION ERROR", 0);
            status = kFailed;
            return;
        }
    }
    b.capacity = kUpdownOpenEntries;
    b.run_count = 0;
}

int updown_grow(int needed, int& status)
{
    status = 0;
    updown_arrays& b = updown_buffers();
    const int wanted = updown().count + needed;
    if (wanted <= b.capacity) return 0;
    // A string longer than one step takes as many steps as it needs.
    while (b.capacity < wanted)
        if (!grow_all(kUpdownGrowth)) break;
    if (b.capacity >= wanted) return kUpdownGrowth;
    while (b.capacity < wanted)
        if (!grow_all(kUpdownSmallGrowth)) break;
    if (b.capacity >= wanted) return kUpdownSmallGrowth;
    eroutc("UP/DOWN, MEMORY REALLOCATION ERROR", 0);
    status = kFailed;
    return 0;
}

void updown_close(int& status)
{
    status = 0;
    if (updown().count > 0 && updown_buffers().points != -1) updown_flush(status);
    close_arrays();
    updown().count = 0;
    updown().z_shift = 0.0f;
}

void updown_last_point(const point3& position, point3& point)
{
    const updown_state& s = updown();
    if (s.mode == 1 && s.minimum_size == 0.0f) {
        point = position;
        int status = 0;
        if (PRM9().words[machine_params::kMotionForm] == kFittedSplines) apr_point_cached(point, status);
        if (status < 0) point = position;
        return;
    }
    point = s.last_point;
}

void midpoint3(const point3& a, const point3& b, point3& middle)
{
    for (std::size_t k = 0; k < 3; ++k) middle[k] = (a[k] + b[k]) / 2.0f;
}

void zshift_flag_getset(int mode, int& flag)
{
    if (mode == kGet)
        flag = updown().zshift_flag;
    else if (mode == kSet)
        updown().zshift_flag = flag;
}

void get_motion_zshift(float& z)
{
    const updown_state& s = updown();
    z = s.z_shift;
    if (s.mode == kDownMode && s.zshift_flag == 0) z = 0.0f;
}
