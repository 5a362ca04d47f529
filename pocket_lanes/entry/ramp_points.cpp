// The ramp entry points: the lane as a plain string, the ramp climbing along it, the span test.
#include "pocket_lanes/entry/ramp_points.hpp"

#include "host/vantu.hpp"
#include "pocket/lane_arc_points.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_resample.hpp"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr int kLaneOrder = 1;
constexpr double kTopStepShare = 0.9, kTopApproachShare = 0.1;
// The lap estimate of a closed string: three array entries per string point and lap.
constexpr int kLapEntriesPerPoint = 3;
constexpr double kSpanSpacing = 5.0;
constexpr int kWholeArray = -1;
constexpr const char* kBufferTooSmall = "TK2STR,BUF OF POINTS FOR RAMP-IN IS TOO SMALL";
constexpr const char* kRampArrayFailed = "CLCRMP, PROBLEM IN ALLOCATING/RESIZING BUFFER OF POINTS";

// ---- TK2STR ----------------------------------------------------------------------------------

// The string being written: `used` reals of `capacity`.
struct ramp_string {
    double* buffer;
    int capacity;
    int used = 0;
    // Appends a point; false when the next free real would lie beyond the capacity.
    bool add(double x, double y)
    {
        if (used + 2 > capacity) return false;
        buffer[used++] = x;
        buffer[used++] = y;
        return used + 1 <= capacity;
    }
    const double* back(int k) const { return buffer + used - 2 * k; }  // k-th point from the end
};

// Replaces the arc whose record's last three entries were written (end E, centre C, radius and
// direction) by its points from E back towards P, the arc's start (P itself follows): within the
// tolerance, every chord on the region's side of the arc (lane_arc_points.hpp).
bool step_arc_back(ramp_string& s, double tolerance, bool region_left, const double* start)
{
    const double radius = s.back(1)[0], direction = s.back(1)[1];
    const double c[2] = {s.back(2)[0], s.back(2)[1]};
    const double e[2] = {s.back(3)[0], s.back(3)[1]};
    std::vector<std::array<double, 2>> points;
    const bool walked = arc_walk_points(e, c, radius, direction, start, tolerance, region_left, points);
    s.used -= walked ? 4 : 2;  // the centre and the radius entries go (only the radius where no walk); E stays
    for (const std::array<double, 2>& q : points)
        if (!s.add(q[0], q[1])) return false;
    return true;
}

// ---- CLCRMP ----------------------------------------------------------------------------------

struct ramp_array {
    int handle = -1;
    int capacity = 0;
    int count = 0;
    double* entries() const { return static_cast<double*>(mmcptr(handle)); }
};

bool ramp_grow(ramp_array& a, int add)
{
    void* base = nullptr;
    int status = 0;
    MM_RESIZE_ARRAY(a.handle, add, base, status);
    if (status != 0) return false;
    a.capacity += add;
    return true;
}

bool ramp_add(ramp_array& a, double x, double y, double z)
{
    if (a.count >= a.capacity && !ramp_grow(a, kRampGrowth)) return false;
    double* e = a.entries() + 3L * a.count;
    e[0] = x;
    e[1] = y;
    e[2] = z;
    ++a.count;
    return true;
}

// The index of the next target point of the walk (1-based string points).
struct ramp_walk {
    int count;
    bool closed;
    int index;
    int direction = 1;
    explicit ramp_walk(int n, bool c) : count(n), closed(c), index(c ? n + 1 : 1) {}
    // Moves to the next target; answers true when a closed lap begins anew.
    bool next()
    {
        if (closed) {
            if (--index < 2) {
                index = count;
                return true;
            }
            return false;
        }
        index += direction;
        if (index > count) {
            index = count - 1;
            direction = -1;
        }
        if (index < 3) {
            index = 2;
            direction = 1;
        }
        return false;
    }
};

// Whether the walk over points 2 .. count has any length to climb on.
bool walk_has_length(int count, const double* string)
{
    for (int i = 2; i < count; ++i)
        if (eqptd(2, string + 2 * (i - 1), string + 2 * i) == 0) return true;
    return false;
}

void ramp_failed(ramp_array& a, int& status)
{
    eroutc(kRampArrayFailed, 0);
    int closed = 0;
    if (a.handle >= 0) MM_CLOSE(a.handle, closed);
    a.handle = -1;
    status = -1;
}

}  // namespace

void TK2STR(int mode, double tolerance, bool region_left, int count, const double* lane, int capacity,
            int& result_count, double* buffer, int& status)
{
    status = 0;
    result_count = 0;
    ramp_string s{buffer, capacity};
    bool fits = true;
    for (int i = count - 1; i >= 0 && fits; --i) {
        const double* p = lane + 2 * i;
        if (pk_is_marker(p[0])) {
            if (i >= 1 && s.used >= 6) fits = step_arc_back(s, tolerance, region_left, lane + 2 * (i - 1));
            continue;
        }
        fits = s.add(p[0], p[1]);
    }
    if (!fits) {
        eroutc(kBufferTooSmall, 0);
        status = -1;
        return;
    }
    result_count = s.used / 2;
    if (mode != kLaneOrder) return;
    for (int i = 0; i < result_count / 2; ++i) {
        double* a = buffer + 2 * i;
        double* b = buffer + 2 * (result_count - 1 - i);
        std::swap(a[0], b[0]);
        std::swap(a[1], b[1]);
    }
}

void CLCRMP(int count, const double* string, int closed, int& result_count, int& handle, int& status)
{
    status = 0;
    result_count = 0;
    ramp_array a;
    void* base = nullptr;
    MM_OPEN_ARRAY(kRampEntryBytes, kRampFirstEntries, a.handle, base, status);
    handle = a.handle;
    if (status != 0) {
        a.handle = -1;
        ramp_failed(a, status);
        handle = -1;
        return;
    }
    a.capacity = kRampFirstEntries;
    const pocket_state& ps = pocket_state_block;
    const double z = ps.current_z;
    const double gradient = std::tan(radd(ps.ramp_angle));
    if (count < 2 || string == nullptr || !walk_has_length(count, string) || !(gradient > 0.0)) {
        const double x = count >= 1 ? string[0] : 0.0, y = count >= 1 ? string[1] : 0.0;
        if (!ramp_add(a, x, y, z) || !ramp_add(a, x, y, z + ps.z_step)) ramp_failed(a, status);
        result_count = a.count;
        handle = a.handle;
        return;
    }
    const double top = z + kTopStepShare * ps.z_step + kTopApproachShare * ps.approach_height;
    if (!ramp_add(a, string[2], string[3], z)) {
        ramp_failed(a, status);
        handle = -1;
        return;
    }
    ramp_walk walk(count, closed != 0);
    double lap_climb = 0.0;
    bool estimated = false;
    for (;;) {
        if (walk.next() && !estimated) {
            estimated = true;
            if (lap_climb != 0.0 && z < top) {
                const double laps = (top - z) / lap_climb + 1.0;
                long add = static_cast<long>(laps * kLapEntriesPerPoint * count) - kRampFirstEntries;
                // The estimate never drops an entry already written.
                if (a.capacity + add < a.count) add = a.count - a.capacity;
                if (add != 0 && !ramp_grow(a, static_cast<int>(add))) {
                    ramp_failed(a, status);
                    handle = -1;
                    return;
                }
            }
        }
        const double* target = string + 2 * (walk.index - 1);
        const double* last = a.entries() + 3L * (a.count - 1);
        const double d = distd(2, last, target);
        if (eqvl0d(d) != 0) continue;
        const double zn = last[2] + d * gradient;
        if (!estimated) lap_climb += zn - last[2];
        if (zn >= top) {
            const double share = (top - last[2]) / (zn - last[2]);
            const double x = last[0] + (target[0] - last[0]) * share, y = last[1] + (target[1] - last[1]) * share;
            if (!ramp_add(a, x, y, top)) break;
            result_count = a.count;
            handle = a.handle;
            return;
        }
        if (!ramp_add(a, target[0], target[1], zn)) break;
    }
    ramp_failed(a, status);
    handle = -1;
}

void lane_span_test(int count, const float* points, const pokarr* array, double length, int& result, int& status)
{
    status = 0;
    result = 0;
    const double tolerance = pocket_work_block.tolerance;
    if (length < 2.0 * tolerance) return;
    result = -1;
    pokarr resampled;
    pokarr_init(2, resampled);
    int m = 0;
    if (count == kWholeArray) {
        if (array == nullptr) return;
        pokarr_resample(*array, kSpanSpacing * tolerance, 2, nullptr, 0, &m, &resampled, status);
    } else {
        if (count < 1 || points == nullptr) return;
        std::vector<double> x(static_cast<std::size_t>(count)), y(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            x[static_cast<std::size_t>(i)] = points[2 * i];
            y[static_cast<std::size_t>(i)] = points[2 * i + 1];
        }
        pokarr_resample_xy(x.data(), y.data(), count, kSpanSpacing * tolerance, nullptr, 0, &m, &resampled, status);
    }
    if (status != 0 || m < 1) {
        pokarr_free(resampled);
        return;
    }
    int marks = -1;
    void* base = nullptr;
    MM_OPEN_ARRAY(static_cast<int>(sizeof(int)), m, marks, base, status);
    if (status != 0) {
        pokarr_free(resampled);
        return;
    }
    int* visited = static_cast<int*>(base);
    const double length2 = length * length;
    int current = m / 2;
    for (int step = 0; step < m; ++step) {
        visited[current] = 1;
        double largest = 0.0, second = 0.0;
        int farthest = -1;
        bool reached = false;
        for (int i = 0; i < m && !reached; ++i) {
            if (visited[i] != 0) continue;
            const double dx = resampled.x[i] - resampled.x[current], dy = resampled.y[i] - resampled.y[current];
            const double d2 = dx * dx + dy * dy;
            reached = d2 > length2;
            if (d2 > largest) {
                second = largest;
                largest = d2;
                farthest = i;
            } else if (d2 > second) {
                second = d2;
            }
        }
        if (reached) {
            result = 0;
            break;
        }
        if (!(largest > 0.0) || farthest < 0) break;
        current = farthest;
        if (second > 0.0 && std::sqrt(largest) + std::sqrt(second) < length) break;
    }
    int closed = 0;
    MM_CLOSE(marks, closed);
    pokarr_free(resampled);
}
