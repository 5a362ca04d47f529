// The run splitting of the UP/DOWN buffers: each segment is classed under the sense of the walk,
// runs end where the motion turns against the mode, and a run walked backwards is reversed so
// that every run cuts in the allowed direction. Reads the UP/DOWN words and the fit tolerance.
#include "toolpath/updown_buffers.hpp"

#include "host/vantu_memory.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/updown_entries.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kUp = 2, kDown = 3;
constexpr int kAgainst = 0, kNearlyFlat = 1, kFlat = 2, kCut = 3;

float* floats(int handle) { return static_cast<float*>(mmcptr(handle)); }
int* words(int handle) { return static_cast<int*>(mmcptr(handle)); }

// Twice the motion output's tolerance.
float split_tolerance() { return static_cast<float>(2.0 * fit_state().tolerance); }

void reverse_run(int first, int last)
{
    for (; first < last; ++first, --last) {
        const updown_entry a = entry_at(first), b = entry_at(last);
        set_entry(first, b);
        set_entry(last, a);
    }
}

// Ends the run at inner point j so that the next run starts on a point the two share; answers
// the run's last entry.
int end_at_inner_point(int j)
{
    const updown_state& s = updown();
    const updown_entry before = entry_at(j - 1), at = entry_at(j), after = entry_at(j + 1);
    if (at.point == after.point) return j;
    if (at.point == before.point) return j - 1;
    int status = 0;
    if (std::fabs(at.point[2] - before.point[2]) > split_tolerance() || before.value != at.value ||
        s.second_mode != 1) {
        if (updown_grow(1, status) == 0 && status < 0) return j;
        insert_entries(j + 1, 1);
        set_entry(j + 1, at);
        return j;
    }
    if (updown_grow(2, status) == 0 && status < 0) return j;
    insert_entries(j, 2);
    updown_entry middle = before;
    midpoint3(before.point, at.point, middle.point);
    midpoint3(before.direction, at.direction, middle.direction);
    middle.value = at.value;
    set_entry(j, middle);
    set_entry(j + 1, middle);
    return j;
}

}  // namespace

updown_entry entry_at(int k)
{
    const updown_arrays& b = updown_buffers();
    const float* p = floats(b.points) + 3 * k;
    const float* d = floats(b.directions) + 3 * k;
    return {{p[0], p[1], p[2]}, {d[0], d[1], d[2]}, words(b.values)[k]};
}

void set_entry(int k, const updown_entry& e)
{
    const updown_arrays& b = updown_buffers();
    std::copy(e.point.begin(), e.point.end(), floats(b.points) + 3 * k);
    std::copy(e.direction.begin(), e.direction.end(), floats(b.directions) + 3 * k);
    words(b.values)[k] = e.value;
}

void insert_entries(int k, int n)
{
    int& count = updown().count;
    for (int i = count - 1; i >= k; --i) set_entry(i + n, entry_at(i));
    count += n;
}

int run_length(int r) { return words(updown_buffers().runs)[r]; }
void set_run_length(int r, int length) { words(updown_buffers().runs)[r] = length; }

int updown_seg_class(const point3& from, const point3& to, int sense)
{
    const updown_state& s = updown();
    if (s.mode != kUp && s.mode != kDown) return kCut;
    const bool up = s.mode == kUp;
    const float tolerance = split_tolerance();
    const float limit = std::tan(s.slope_angle * std::numbers::pi_v<float> / 180.0f);
    const float dz = (to[2] - from[2]) * static_cast<float>(sense);
    const float h = std::hypot(to[0] - from[0], to[1] - from[1]);
    if (up ? dz >= tolerance : dz <= -tolerance) return kCut;
    const bool along = up ? dz >= 0.0f : dz <= 0.0f;
    if (h == 0.0f) return along ? kCut : kAgainst;
    const float slope = std::fabs(dz / h);
    if (along) return slope == 0.0f ? kFlat : kCut;
    if (up ? dz >= -tolerance : dz <= tolerance) return kNearlyFlat;
    return slope <= limit ? kNearlyFlat : kAgainst;
}

void updown_split(int& status)
{
    status = 0;
    updown_arrays& b = updown_buffers();
    b.run_count = 0;
    const updown_state& s = updown();
    if (s.count == 0) return;
    if (s.mode != kUp && s.mode != kDown) {
        set_run_length(b.run_count++, s.count);
        return;
    }
    int sense = s.count > 1 && updown_seg_class(entry_at(0).point, entry_at(1).point, 1) < kFlat ? -1 : 1;
    int start = 0;
    // Every run takes at least one entry and an end inserts at most two, so the entries bound the
    // runs; the runs array has room for as many runs as entries.
    while (start < s.count && b.run_count < b.capacity) {
        int i = start, stretch = -1, previous = -1;
        while (i + 1 < s.count) {
            const int found = updown_seg_class(entry_at(i).point, entry_at(i + 1).point, sense);
            if (found == kAgainst) break;
            if (found == kNearlyFlat && previous != kNearlyFlat) stretch = i;
            previous = found;
            ++i;
        }
        const bool stopped = i + 1 < s.count;
        int end = i;
        if (stopped && stretch > start) end = stretch;
        if (end > start && end + 1 < s.count) end = end_at_inner_point(end);
        if (sense == -1) reverse_run(start, end);
        if (stopped) sense = -sense;
        set_run_length(b.run_count++, end - start + 1);
        start = end + 1;
    }
}
