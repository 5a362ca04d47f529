// The loop store, the closest point of a polyline, the z of a point on a segment and the run
// between two points along the nearest stored loop. The surface-pocket entry calls
// path_along_loop when it lays its entry path along a loop.
#include "nc_services/loop_path.hpp"

#include "host/vantu.hpp"
#include "nc_services/debug_draw.hpp"

#include <cmath>
#include <cstring>
#include <vector>

loop_store loop_store_block;

namespace {

constexpr int kGoOn = 0;
constexpr int kFailed = -1;
constexpr int kNoArray = -1;
constexpr float kFarAway = 1.0e10f;
constexpr int kSegmentOnly = 2;  // dislp2 mode: nearest point on the segment

loop_store& ls = loop_store_block;

void close_array(int& handle)
{
    int ignored = 0;
    if (handle != kNoArray) MM_CLOSE(handle, ignored);
    handle = kNoArray;
}

void empty_store()
{
    close_array(ls.points);
    close_array(ls.counts);
    ls.loop_count = 0;
    ls.chosen = 0;
}

bool same_point(const float* p, const float* q) { return p[0] == q[0] && p[1] == q[1] && p[2] == q[2]; }

// Closest point of one loop to a point, with its segment and parameter.
struct closest_point {
    int segment = 0;
    float parameter = 0.0f;
    float point[3] = {0.0f, 0.0f, 0.0f};
    float distance = kFarAway;
};

closest_point closest_on(const float* x, int n, const float* points)
{
    closest_point c;
    int status = 0;
    polyline_closest(x, n, points, c.segment, c.parameter, c.point, c.distance, status);
    return c;
}

void add_point(std::vector<float>& run, const float* p) { run.insert(run.end(), p, p + 3); }

// The run along one closed loop of n points (the last repeating the first) from a' to b'.
std::vector<float> run_along(const float* loop, int n, closest_point a, closest_point b, float tolerance)
{
    std::vector<float> run;
    add_point(run, a.point);
    if (std::hypot(a.point[0] - b.point[0], a.point[1] - b.point[1]) <= tolerance) return run;
    segment_point_z(a.point, loop + 3 * a.segment, loop + 3 * (a.segment + 1));
    segment_point_z(b.point, loop + 3 * b.segment, loop + 3 * (b.segment + 1));
    run[2] = a.point[2];
    // Vertices after a's segment up to b's segment, forward around the loop (the closing point
    // is the first one again); both on one segment and b' behind a': no walk.
    const int vertices = n - 1;
    if (a.segment != b.segment) {
        for (int k = a.segment + 1;; ++k) {
            add_point(run, loop + 3 * (k % vertices));
            if (k % vertices == b.segment) break;
        }
    }
    add_point(run, b.point);
    return run;
}

void show_debug(int n, const float* loop, const std::vector<float>& run)
{
    int id = 0, status = 0;
    curve_ent_show(3, 1, 0, n, loop, 0.0f, id, status);
    curve_ent_show(3, 1, 0, static_cast<int>(run.size() / 3), run.data(), 0.0f, id, status);
}

}  // namespace

void loop_store_set(int count, const int* counts, const float* points, int& status)
{
    status = kGoOn;
    empty_store();
    if (count == 0) return;
    bool valid = count > 0 && counts != nullptr && points != nullptr;
    for (int k = 0; valid && k < count; ++k) valid = counts[k] >= 3;
    if (!valid) {
        status = kFailed;
        return;
    }
    std::vector<float> all;
    std::vector<int> closed_counts;
    long first = 0;
    for (int k = 0; k < count; ++k) {
        const float* loop = points + 3 * first;
        all.insert(all.end(), loop, loop + 3L * counts[k]);
        const bool closed = same_point(loop, loop + 3L * (counts[k] - 1));
        if (!closed) add_point(all, loop);
        closed_counts.push_back(counts[k] + (closed ? 0 : 1));
        first += counts[k];
    }
    void* base = nullptr;
    MM_OPEN_ARRAY(sizeof(float), static_cast<int>(all.size()), ls.points, base, status);
    if (status != 0) {
        ls.points = kNoArray;
        status = kFailed;
        return;
    }
    std::memcpy(base, all.data(), sizeof(float) * all.size());
    MM_OPEN_ARRAY(sizeof(int), count, ls.counts, base, status);
    if (status != 0) {
        ls.counts = kNoArray;
        empty_store();
        status = kFailed;
        return;
    }
    std::memcpy(base, closed_counts.data(), sizeof(int) * closed_counts.size());
    ls.loop_count = count;
}

void segment_point_z(float* x, const float* s, const float* t)
{
    float along = 0.0f;
    if (!eqval(s[0], t[0]))
        along = (x[0] - s[0]) / (t[0] - s[0]);
    else if (!eqval(s[1], t[1]))
        along = (x[1] - s[1]) / (t[1] - s[1]);
    x[2] = s[2] + along * (t[2] - s[2]);
}

void polyline_closest(const float* x, int n, const float* points, int& segment, float& parameter, float* closest,
                      float& distance, int& status)
{
    distance = kFarAway;
    status = n >= 2 && points != nullptr ? kGoOn : kFailed;
    for (int s = 0; status == 0 && s + 1 < n; ++s) {
        const float* p = points + 3 * s;
        const float* q = p + 3;
        float nearest[2], foot = 0.0f, d = 0.0f;
        int found = 0;
        dislp2(kSegmentOnly, x, p, q, nearest, foot, d, found);
        if (found != 0 || d >= distance) continue;
        distance = d;
        segment = s;
        closest[0] = nearest[0];
        closest[1] = nearest[1];
        closest[2] = x[2];
        if (!eqval(p[0], q[0]))
            parameter = (nearest[0] - p[0]) / (q[0] - p[0]);
        else if (!eqval(p[1], q[1]))
            parameter = (nearest[1] - p[1]) / (q[1] - p[1]);
        else
            parameter = 0.0f;
    }
}

void path_along_loop(const float* a, const float* b, float tolerance, int room, float* run, int& strings, int& count,
                     int* ids, int& status)
{
    status = kGoOn;
    strings = 1;
    count = 0;
    std::vector<float> points;
    const auto* loops = static_cast<const float*>(mmcptr(ls.points));
    const auto* counts = static_cast<const int*>(mmcptr(ls.counts));
    if (ls.loop_count < 1 || loops == nullptr || counts == nullptr) {
        add_point(points, a);
        add_point(points, b);
    } else {
        // The first loop; a later one when it is nearer to both points, or nearer to one of them
        // and chosen last time.
        int best = 0;
        long best_first = 0, first = 0;
        closest_point best_a, best_b;
        for (int k = 0; k < ls.loop_count; first += counts[k], ++k) {
            const closest_point ca = closest_on(a, counts[k], loops + 3 * first);
            const closest_point cb = closest_on(b, counts[k], loops + 3 * first);
            const bool both = ca.distance < best_a.distance && cb.distance < best_b.distance;
            const bool one = ca.distance < best_a.distance || cb.distance < best_b.distance;
            if (k == 0 || both || (one && k + 1 == ls.chosen)) {
                best = k;
                best_first = first;
                best_a = ca;
                best_b = cb;
            }
        }
        ls.chosen = best + 1;
        points = run_along(loops + 3 * best_first, counts[best], best_a, best_b, tolerance);
        if (ls.debug == 1) show_debug(counts[best], loops + 3 * best_first, points);
    }
    const int n = static_cast<int>(points.size() / 3);
    if (n > room || run == nullptr || ids == nullptr) {
        eroutc("path_along_loop, RUN IS LONGER THAN ITS ROOM", 0);
        status = kFailed;
        return;
    }
    std::memcpy(run, points.data(), sizeof(float) * points.size());
    std::memset(ids, 0, sizeof(int) * static_cast<std::size_t>(n));
    count = n;
}
