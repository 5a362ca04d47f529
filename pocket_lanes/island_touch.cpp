// Island lanes that lie on each other: the test of a stretch along which one lane runs on the
// other, and the copy of a lane pushed into the other along it. ilscom calls both.
#include "pocket_lanes/island_touch.hpp"

#include "pocket/lane_arc_points.hpp"
#include "pocket_arrays/pk_primitives.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Samples inside a segment in the stretch test: a segment lies on the other lane when its ends
// and every sample lie within the reach.
constexpr int kSamplesPerSegment = 8;

bool has_arc(const pokarr& a)
{
    for (int i = 0; i < a.count; ++i)
        if (pk_is_marker(a.x[i])) return true;
    return false;
}

// The distance in plan of (px, py) from the loop's nearest segment.
double plan_distance(const pokarr& loop, double px, double py)
{
    double least = HUGE_VAL;
    for (int i = 0; i + 1 < loop.count; ++i) {
        double d = 0.0, nx = 0.0, ny = 0.0;
        seg_dist2(2, px, py, loop.x[i], loop.y[i], loop.x[i + 1], loop.y[i + 1], d, nx, ny);
        least = std::min(least, d);
    }
    return least;
}

struct plan_point {
    double x = 0.0, y = 0.0, z = 0.0;
};

// b's points with a's corners that lie on b's segments between their ends added in order along
// each segment.
std::vector<plan_point> with_corners_of(const pokarr& a, const pokarr& b, double reach)
{
    std::vector<plan_point> points;
    for (int i = 0; i < b.count; ++i) {
        const double z = b.z != nullptr ? b.z[i] : 0.0;
        points.push_back({b.x[i], b.y[i], z});
        if (i + 1 == b.count) break;
        const double zn = b.z != nullptr ? b.z[i + 1] : 0.0;
        const double dx = b.x[i + 1] - b.x[i], dy = b.y[i + 1] - b.y[i], length2 = dx * dx + dy * dy;
        if (!(length2 > reach * reach)) continue;
        std::vector<std::pair<double, int>> on_segment;
        for (int k = 0; k + 1 < a.count; ++k) {
            const double t = ((a.x[k] - b.x[i]) * dx + (a.y[k] - b.y[i]) * dy) / length2;
            const double d = std::hypot(a.x[k] - b.x[i] - t * dx, a.y[k] - b.y[i] - t * dy);
            // Within the segment and off its ends by more than the reach.
            if (d <= reach && t * t * length2 > reach * reach && (1.0 - t) * (1.0 - t) * length2 > reach * reach &&
                t > 0.0 && t < 1.0)
                on_segment.emplace_back(t, k);
        }
        std::sort(on_segment.begin(), on_segment.end());
        for (const auto& [t, k] : on_segment) points.push_back({a.x[k], a.y[k], z + t * (zn - z)});
    }
    return points;
}

// Whether the segment from p to q lies within the reach of a in plan: its ends and its samples.
bool segment_lies_on(const pokarr& a, const plan_point& p, const plan_point& q, double reach)
{
    for (int s = 0; s <= kSamplesPerSegment + 1; ++s) {
        const double t = static_cast<double>(s) / (kSamplesPerSegment + 1);
        if (plan_distance(a, p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)) > reach) return false;
    }
    return true;
}

}  // namespace

bool lanes_lie_on_each_other(const pokarr& a, const pokarr& b, double reach, double least_length)
{
    if (a.count < 3 || b.count < 3 || has_arc(a) || has_arc(b)) return false;
    // With a's corners on b's segments added, a stretch of b lying on a runs from one point of
    // the list to the next: segments only part of which lies within the reach are the sides of
    // a point where the lanes meet at an angle, and count for nothing, however shallow it is.
    const std::vector<plan_point> points = with_corners_of(a, b, reach);
    double lying = 0.0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        if (!segment_lies_on(a, points[i], points[i + 1], reach)) continue;
        lying += std::hypot(points[i + 1].x - points[i].x, points[i + 1].y - points[i].y);
        if (lying > least_length) return true;
    }
    return false;
}

void lane_pushed_into(const pokarr& a, const pokarr& b, double reach, double push, pokarr& out, int& status)
{
    status = 0;
    out.count = 0;
    const std::vector<plan_point> points = with_corners_of(a, b, reach);
    const int n = static_cast<int>(points.size());
    // The loop is closed: its last point repeats the first, whose neighbours are the second and
    // the one before the last.
    const double outward = lane_signed_area(b.x, b.y, b.count) >= 0.0 ? 1.0 : -1.0;
    for (int i = 0; i < n && status == 0; ++i) {
        plan_point p = points[static_cast<std::size_t>(i)];
        if (plan_distance(a, p.x, p.y) <= reach) {
            const plan_point& before = points[static_cast<std::size_t>(i > 0 ? i - 1 : std::max(n - 2, 0))];
            const plan_point& after = points[static_cast<std::size_t>(i + 1 < n ? i + 1 : std::min(1, n - 1))];
            // The normal of the chord from the point before to the point after, on the side away
            // from the enclosed region: right of the travel for a loop running counter-clockwise.
            const double tx = after.x - before.x, ty = after.y - before.y, length = std::hypot(tx, ty);
            if (length > 0.0) {
                p.x += outward * push * ty / length;
                p.y -= outward * push * tx / length;
            }
        }
        pokarr_add_xyz(p.x, &p.y, &p.z, nullptr, out, status);
    }
}
