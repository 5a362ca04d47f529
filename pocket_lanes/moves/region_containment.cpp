// The containment test of a straight move: the hatch line through its two points against the
// polygons of the current polygon buffer.
#include "pocket_lanes/moves/region_containment.hpp"

#include "host/vantu.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_arrays/pocket_state.hpp"

#include <cmath>
#include <vector>

namespace {

constexpr int kShiftsPerSide = 10;
constexpr float kShiftStep = 0.01f;
constexpr float kToleranceFactor = 1.5f;
constexpr const char* kTableFull = "ZCLRLN,ARRAY OF HATCH POINTS IS NOT LARGE ENOUGH";

// The frame of a line along the unit direction (cos, sin): x along it, y across.
float frame_angle(float cosine, float sine) { return std::atan2(sine, cosine); }

// The crossings of the line at across-value v with every polygon edge; false when the table
// overflowed.
bool collect(const word* polygons, int polygon_count, int words, float angle, float v, std::vector<float>& xs)
{
    xs.clear();
    int at = 0;
    for (int k = 1; k <= polygon_count && at < words; ++k) {
        const int n = polygons[at++];
        if (n < 1) continue;
        if (n > (words - at) / 2) break;
        const std::size_t first_of_polygon = xs.size();
        const word* xy = polygons + at;
        at += 2 * n;
        float a[2], b[2];
        for (int i = 0; i + 1 < n; ++i) {
            const float pa[2] = {word_to_real(xy[2 * i]), word_to_real(xy[2 * i + 1])};
            const float pb[2] = {word_to_real(xy[2 * i + 2]), word_to_real(xy[2 * i + 3])};
            hatchx(angle, pa, a);
            hatchx(angle, pb, b);
            float u = 0.0f;
            if (hatint(v, a, b, u) != kHatintCrossing) continue;
            bool repeated = false;
            for (std::size_t j = first_of_polygon; j < xs.size() && !repeated; ++j) repeated = eqval(xs[j], u) != 0;
            if (repeated) continue;
            if (static_cast<int>(xs.size()) >= kLineCrossingsMost) return false;
            xs.push_back(u);
        }
    }
    return true;
}

// Interval of the along-value x among the sorted crossings (see the header).
int interval_of(const std::vector<float>& xs, float x)
{
    const int n = static_cast<int>(xs.size());
    if (n == 0) return 0;
    if (x < xs.front()) return eqval(x, xs.front()) != 0 ? 1 : 0;
    for (int i = 1; i < n; ++i) {
        const float lo = xs[static_cast<std::size_t>(i - 1)], hi = xs[static_cast<std::size_t>(i)];
        if ((lo <= x || eqval(lo, x) != 0) && (x <= hi || eqval(x, hi) != 0)) return i;
    }
    return n + 1;
}

}  // namespace

void ZCLRLN(const word* polygons, int polygon_count, int words, float tolerance, const float* first,
            const float* second, int& crossing_count, line_crossings& crossings, int& first_interval,
            int& second_interval)
{
    first_interval = second_interval = 0;
    crossing_count = 0;
    float u[2];
    v2sub(second, first, u);
    float length = 0.0f;
    int status = 0;
    v2unit(u, length, status);
    if (status < 0 || polygons == nullptr) return;
    const float angle = frame_angle(u[0], u[1]);
    float q1[2], q2[2];
    hatchx(angle, first, q1);
    hatchx(angle, second, q2);
    std::vector<float> xs;
    bool even = false;
    float v = q1[1];
    for (int attempt = 0; attempt < 2 * (kShiftsPerSide + 1) && !even; ++attempt) {
        const float sign = attempt <= kShiftsPerSide ? 1.0f : -1.0f;
        v = q1[1] + sign * static_cast<float>(attempt % (kShiftsPerSide + 1)) * kShiftStep;
        if (!collect(polygons, polygon_count, words, angle, v, xs)) {
            eroutc(kTableFull, 0);
            first_interval = -1;
            return;
        }
        if (xs.empty()) return;
        even = xs.size() % 2 == 0;
    }
    if (!even) {
        first_interval = -1;
        return;
    }
    if (q1[0] > q2[0]) exgr(q1[0], q2[0]);
    // Neighbour exchanges until none is needed, as the crossings are few per line.
    for (bool moved = true; moved;) {
        moved = false;
        for (std::size_t i = 1; i < xs.size(); ++i)
            if (xs[i] < xs[i - 1]) {
                exgr(xs[i], xs[i - 1]);
                moved = true;
            }
    }
    for (std::size_t j = 0; j + 1 < xs.size(); j += 2) {
        xs[j] -= tolerance;
        xs[j + 1] += tolerance;
    }
    crossing_count = static_cast<int>(xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i) {
        crossings[2 * i] = xs[i];
        crossings[2 * i + 1] = v;
    }
    first_interval = interval_of(xs, q1[0]);
    second_interval = interval_of(xs, q2[0]);
}

int segment_in_region(const float* a, const float* b)
{
    const float tolerance = kToleranceFactor * static_cast<float>(pocket_state_block.working_tolerance);
    float cosine = 0.0f, sine = 0.0f;
    int status = 0;
    polbuf_get_pair(cosine, sine, status);
    if (status != 0) return 0;
    const float angle = frame_angle(cosine, sine);
    float p[2], q[2];
    hatchx(angle, a, p);
    hatchx(angle, b, q);
    int count = 0, capacity = 0;
    polbuf_get_npol(count, status);
    if (status != 0) return 0;
    polbuf_get_size(capacity, status);
    if (status != 0) return 0;
    const word* polygons = polbuf_get_ptr(1, 1, status);
    if (status != 0 || polygons == nullptr) return 0;
    line_crossings crossings{};
    int crossing_count = 0, first = 0, second = 0;
    ZCLRLN(polygons, count, capacity, tolerance, p, q, crossing_count, crossings, first, second);
    return first == second && first >= 1 && first <= crossing_count && first % 2 == 1 ? 1 : 0;
}
