// Visiting order of a set of points (rpath): a nearest-neighbour path from the lowest-left point,
// shortened by 2-opt reversals, open (mode 1) or closed (mode 2). The pocket orders the
// reference points of its regions with it.
#include "host/vantu_polygon.hpp"

#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kOpenPath = 1;
constexpr int kClosedTour = 2;
// Passes of 2-opt beyond one a point; every pass but the last shortens the path, so the bound
// is never met in practice and only guards against rounding.
constexpr int kExtraPasses = 100;

struct point_set {
    const float* points;
    int dimension;
    double distance(int a, int b) const
    {
        const float* p = points + static_cast<long>(a) * dimension;
        const float* q = points + static_cast<long>(b) * dimension;
        return std::hypot(static_cast<double>(p[0]) - q[0], static_cast<double>(p[1]) - q[1]);
    }
    double x(int a) const { return points[static_cast<long>(a) * dimension]; }
    double y(int a) const { return points[static_cast<long>(a) * dimension + 1]; }
};

// The lowest-left point: smallest x + y, then smallest x.
int lowest_left(const point_set& s, int count)
{
    int best = 0;
    for (int i = 1; i < count; ++i) {
        const double sum = s.x(i) + s.y(i), best_sum = s.x(best) + s.y(best);
        if (sum < best_sum || (sum == best_sum && s.x(i) < s.x(best))) best = i;
    }
    return best;
}

std::vector<int> nearest_neighbour_path(const point_set& s, int count)
{
    std::vector<int> path{lowest_left(s, count)};
    std::vector<bool> visited(static_cast<std::size_t>(count), false);
    visited[static_cast<std::size_t>(path[0])] = true;
    while (static_cast<int>(path.size()) < count) {
        int best = -1;
        double best_distance = std::numeric_limits<double>::max();
        for (int i = 0; i < count; ++i) {
            if (visited[static_cast<std::size_t>(i)]) continue;
            const double d = s.distance(path.back(), i);
            if (d < best_distance) {
                best_distance = d;
                best = i;
            }
        }
        visited[static_cast<std::size_t>(best)] = true;
        path.push_back(best);
    }
    return path;
}

// Reverses path[i..j] wherever that shortens the path (the first point stays first). An open
// path has no edge after its last point; a closed tour joins its last point to its first.
void two_opt(const point_set& s, std::vector<int>& path, bool closed)
{
    const int n = static_cast<int>(path.size());
    auto edge = [&](int a, int b) {
        if (b == n) return closed ? s.distance(path[static_cast<std::size_t>(a)], path[0]) : 0.0;
        return s.distance(path[static_cast<std::size_t>(a)], path[static_cast<std::size_t>(b)]);
    };
    auto joined = [&](int a, int b) {
        return s.distance(path[static_cast<std::size_t>(a)], path[static_cast<std::size_t>(b)]);
    };
    for (int pass = 0; pass < n + kExtraPasses; ++pass) {
        bool improved = false;
        for (int i = 1; i < n - 1; ++i) {
            for (int j = i + 1; j < n; ++j) {
                const double after = j + 1 < n ? joined(i, j + 1) : (closed ? joined(i, 0) : 0.0);
                const double gain = edge(i - 1, i) + edge(j, j + 1) - joined(i - 1, j) - after;
                if (gain > vantu::kDoubleTolerance) {
                    std::reverse(path.begin() + i, path.begin() + j + 1);
                    improved = true;
                }
            }
        }
        if (!improved) return;
    }
}

}  // namespace

void rpath(const float* points, int dimension, int count, int mode, std::int16_t* order, int& status)
{
    status = (mode == kOpenPath || mode == kClosedTour) && (dimension == 2 || dimension == 3) && count >= 0 &&
                     count <= kRpathMaxPoints && (count == 0 || (points && order))
                 ? 0
                 : -1;
    if (status == 0 && count > 0) {
        const point_set s{points, dimension};
        std::vector<int> path = nearest_neighbour_path(s, count);
        two_opt(s, path, mode == kClosedTour);
        for (int k = 0; k < count; ++k) order[k] = static_cast<std::int16_t>(path[static_cast<std::size_t>(k)] + 1);
    }
    vantu::trace_call("rpath", std::to_string(count) + "," + std::to_string(mode), status);
}
