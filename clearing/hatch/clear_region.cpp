// The region of the clearing point list and the test whether a straight way stays inside it.
#include "clearing/hatch/clear_region.hpp"

#include "clearing/hatch/clear_block.hpp"

#include <algorithm>
#include <cmath>

namespace {

using corner = std::array<double, 2>;

// Sine of the angle below which the way and an edge count as parallel: such an edge meets the way
// nowhere or along a stretch whose pieces the slack test takes as on the boundary.
constexpr double kParallelSine = 1.0e-9;

double cross(const corner& u, const corner& v) { return u[0] * v[1] - u[1] * v[0]; }
corner minus(const corner& u, const corner& v) { return {u[0] - v[0], u[1] - v[1]}; }

// Calls f(p, q) for every edge of every polygon, the closing edge included.
template <class F> void for_each_edge(F f)
{
    const clear_state& b = clear_block;
    int first = 0;
    for (const int end : b.region_ends) {
        for (int i = first; i < end; ++i) {
            const int next = i + 1 < end ? i + 1 : first;
            f(b.region_corners[static_cast<std::size_t>(i)], b.region_corners[static_cast<std::size_t>(next)]);
        }
        first = end;
    }
}

// The places along the way from a to b (0 at a, 1 at b) where it meets an edge.
std::vector<double> crossings_along(const corner& a, const corner& b)
{
    std::vector<double> at{0.0, 1.0};
    const corner d = minus(b, a);
    for_each_edge([&](const corner& p, const corner& q) {
        const corner e = minus(q, p);
        const double denominator = cross(d, e);
        if (std::fabs(denominator) <= kParallelSine * std::hypot(d[0], d[1]) * std::hypot(e[0], e[1])) return;
        const corner w = minus(p, a);
        const double t = cross(w, e) / denominator, u = cross(w, d) / denominator;
        if (t > 0.0 && t < 1.0 && u >= 0.0 && u <= 1.0) at.push_back(t);
    });
    std::sort(at.begin(), at.end());
    return at;
}

bool inside(const corner& m)
{
    bool in = false;
    for_each_edge([&](const corner& p, const corner& q) {
        if ((p[1] > m[1]) == (q[1] > m[1])) return;
        const double x = p[0] + (m[1] - p[1]) * (q[0] - p[0]) / (q[1] - p[1]);
        if (x > m[0]) in = !in;
    });
    return in;
}

bool near_boundary(const corner& m, double slack)
{
    bool near = false;
    for_each_edge([&](const corner& p, const corner& q) {
        if (near) return;
        const corner e = minus(q, p), w = minus(m, p);
        const double length2 = e[0] * e[0] + e[1] * e[1];
        const double t = length2 > 0.0 ? std::clamp((w[0] * e[0] + w[1] * e[1]) / length2, 0.0, 1.0) : 0.0;
        near = std::hypot(w[0] - t * e[0], w[1] - t * e[1]) <= slack;
    });
    return near;
}

}  // namespace

void clr_region_add(const word* polygon)
{
    clear_state& b = clear_block;
    const int count = polygon[0];
    for (int i = 0; i < count; ++i)
        b.region_corners.push_back({word_to_real(polygon[1 + 2 * i]), word_to_real(polygon[2 + 2 * i])});
    b.region_ends.push_back(static_cast<int>(b.region_corners.size()));
}

void clr_region_forget()
{
    clear_block.region_corners.clear();
    clear_block.region_ends.clear();
}

bool clr_way_in_region(const float* a, const float* b, double slack)
{
    if (clear_block.region_ends.empty()) return false;
    const corner from{a[0], a[1]}, to{b[0], b[1]};
    const std::vector<double> at = crossings_along(from, to);
    for (std::size_t i = 1; i < at.size(); ++i) {
        const double t = 0.5 * (at[i - 1] + at[i]);
        const corner m{from[0] + t * (to[0] - from[0]), from[1] + t * (to[1] - from[1])};
        if (!inside(m) && !near_boundary(m, slack)) return false;
    }
    return true;
}
