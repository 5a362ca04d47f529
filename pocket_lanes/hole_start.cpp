// Where the lane of a small hole begins: see hole_start.hpp.
#include "pocket_lanes/hole_start.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pokarr_restart.hpp"

namespace {

// Points taken along each element; the hole's elements are few, so the walk stays cheap.
constexpr int kSamplesPerElement = 8;

// One point along the loop: its place, its element and parameter there, its length from the start.
struct hole_sample {
    double x = 0.0, y = 0.0;
    int element = 0;
    double t = 0.0;
    double along = 0.0;
};

// The loop as points, each element from its start up to (not including) its end.
std::vector<hole_sample> sample_loop(const pokarr& loop)
{
    std::vector<hole_sample> samples;
    for (int i = 1; i < loop.count;) {
        const int element = i;
        for (int k = 0; k < kSamplesPerElement; ++k) {
            int index = element;
            double point[3] = {0.0, 0.0, 0.0};
            const double t = static_cast<double>(k) / kSamplesPerElement;
            pokarr_pnt_at_param(loop, index, t, point);
            samples.push_back({point[0], point[1], element, t, 0.0});
        }
        i += pk_is_marker(loop.x[i]) ? kArcRecordEntries : 1;
    }
    for (std::size_t k = 1; k < samples.size(); ++k)
        samples[k].along =
            samples[k - 1].along + std::hypot(samples[k].x - samples[k - 1].x, samples[k].y - samples[k - 1].y);
    return samples;
}

// The least distance of the lane's opening quarter, begun at sample `start`, to the lane from an
// eighth after that quarter to an eighth before its end.
double opening_clearance(const std::vector<hole_sample>& s, std::size_t start, double total)
{
    const std::size_t n = s.size();
    const auto from_start = [&](std::size_t k) {
        const double d = s[k].along - s[start].along;
        return d < 0.0 ? d + total : d;
    };
    const double quarter = 0.25 * total, gap = 0.125 * total;
    double least = HUGE_VAL;
    for (std::size_t i = 0; i < n; ++i) {
        if (from_start(i) > quarter) continue;
        for (std::size_t j = 0; j < n; ++j) {
            const double d = from_start(j);
            if (d > quarter + gap && d < total - gap)
                least = std::min(least, std::hypot(s[i].x - s[j].x, s[i].y - s[j].y));
        }
    }
    return least;
}

}  // namespace

void hole_start_wide(pokarr& loop)
{
    if (loop.dimension != 2 || loop.count < 3) return;
    const std::vector<hole_sample> s = sample_loop(loop);
    const std::size_t n = s.size();
    const double total = s.back().along + std::hypot(s.front().x - s.back().x, s.front().y - s.back().y);
    if (n < 3 || !(total > 0.0)) return;
    // A start inside an element (not at one of its ends) splits it there.
    std::size_t start = 0;
    double best = -1.0;
    for (std::size_t k = 0; k < n; ++k)
        if (const double c = opening_clearance(s, k, total); s[k].t > 0.0 && c > best) best = c, start = k;
    if (best < 0.0) return;
    double x = 0.0, y = 0.0;
    int status = 0;
    pokarr_restart_at(loop, s[start].element, kRestartAtParam, s[start].t, x, y, status);
}
