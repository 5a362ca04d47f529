// Arcs of the loop trimming measured in their own plane: the polygon of an arc (ARC2PL), its
// segment count (arc_segments) and the signed angle between two points about its centre
// (arc_sweep_angle). The in-plane coordinates of plane 1 are x, y; of 2 x, z; of 3 y, z.
#include "edit/editor/loop_trimming.hpp"

#include "host/tolerance.hpp"
#include "host/vantu.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A step this much smaller than the angle is no step (an arc of a huge radius with a coarse
// tolerance, or a tolerance of 0): the arc is then split in the fewest segments.
constexpr double kNegligibleStepRatio = 1.0e-6;
constexpr int kFewestSegments = 4;

struct plane_axes {
    std::size_t u = 0, v = 1, across = 2;
};

plane_axes axes_of(int plane)
{
    if (plane == 2) return {0, 2, 1};
    if (plane == 3) return {1, 2, 0};
    return {};
}

}  // namespace

void arc_segments(double angle, double& step, int& count)
{
    if (std::abs(step) <= std::abs(angle) * kNegligibleStepRatio) {
        count = kFewestSegments;
    } else {
        // Bounded before the conversion: a count this large never fits a point string anyway.
        const double n = std::min(std::abs(angle / step) + 0.5, static_cast<double>(std::numeric_limits<int>::max()));
        count = std::max(static_cast<int>(n), kFewestSegments);
    }
    step = angle / count;
}

void arc_sweep_angle(int plane, const std::array<float, 2>& centre, const point3& from, const point3& to, float& angle,
                     int& status)
{
    const plane_axes a = axes_of(plane);
    float u[2] = {from[a.u] - centre[0], from[a.v] - centre[1]};
    float w[2] = {to[a.u] - centre[0], to[a.v] - centre[1]};
    float length = 0.0f;
    angle = 0.0f;
    v2unit(u, length, status);
    if (status == 0) v2unit(w, length, status);
    if (status != 0) {
        status = -1;
        return;
    }
    angle = std::atan2(u[0] * w[1] - u[1] * w[0], u[0] * w[0] + u[1] * w[1]);
}

void ARC2PL(int include_start, int plane, float angle, float tolerance, const std::array<float, 2>& centre,
            const point3& start, const point3& start_direction, const point3& end, const point3& end_direction,
            int room, std::span<point3> points, std::span<point3> directions, int& count, int& status)
{
    const plane_axes a = axes_of(plane);
    const double ru = start[a.u] - centre[0], rv = start[a.v] - centre[1];
    const double radius = std::hypot(ru, rv);
    room = std::min({room, static_cast<int>(points.size()), static_cast<int>(directions.size())});
    count = 0;
    status = 0;
    const int first = include_start != 0 ? 1 : 0;
    // A point-sized arc has no chords: it only moves to its end.
    int n = 1;
    double step = angle;
    if (radius > vantu::kRealNoLength) {
        // The chord height of one step equals the tolerance; beyond 2R any step will do.
        step = 2.0 * std::acos(std::clamp(1.0 - tolerance / radius, -1.0, 1.0));
        arc_segments(angle, step, n);
    }
    if (n > room - first) {
        userrc("ARC2PL, POLIGON BUFFER IS NOT BIG ENOUGH");
        status = -1;
        return;
    }
    if (first == 1) {
        points[0] = start;
        directions[0] = start_direction;
    }
    for (int k = 1; k <= n; ++k) {
        point3 p = end;
        if (radius > vantu::kRealNoLength) {
            const double turn = k * step, c = std::cos(turn), s = std::sin(turn);
            p[a.u] = static_cast<float>(centre[0] + c * ru - s * rv);
            p[a.v] = static_cast<float>(centre[1] + s * ru + c * rv);
            p[a.across] = start[a.across];
        }
        const float along = static_cast<float>(n - k) / static_cast<float>(n);
        point3 d{};
        for (std::size_t i = 0; i < 3; ++i) d[i] = along * start_direction[i] + (1.0f - along) * end_direction[i];
        float length = 0.0f;
        int unit_status = 0;
        v3unit(d.data(), length, unit_status);
        if (unit_status != 0) d = end_direction;
        points[static_cast<std::size_t>(first + k - 1)] = p;
        directions[static_cast<std::size_t>(first + k - 1)] = d;
    }
    count = first + n;
}
