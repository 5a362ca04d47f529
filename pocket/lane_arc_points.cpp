// Stepping an arc record of a lane into points from its end back to its start.
#include "pocket/lane_arc_points.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Entries of an arc record after its marker: (radius, direction), the centre and the end point.
constexpr int kArcTail = 3;

}  // namespace

double arc_step_angle(double distance, double radius)
{
    const double cosine = radius != 0.0 ? 1.0 - distance / radius : -1.0;
    const double step = 2.0 * std::acos(std::clamp(std::isfinite(cosine) ? cosine : -1.0, -1.0, 1.0));
    return std::max(step, kSmallestArcStep);
}

double outside_step_angle(double distance, double radius)
{
    return std::min(arc_step_angle(distance, radius + distance), kLargestOutsideStep);
}

bool arc_walk_points(const double* end, const double* centre, double radius, double direction, const double* start,
                     double distance, bool region_left, std::vector<std::array<double, 2>>& points)
{
    points.clear();
    double from[2], to[2], length = 0.0;
    int status = 0, unit_status = 0;
    v2subd(end, centre, from);
    v2subd(start, centre, to);
    const double radius_vector[2] = {from[0], from[1]};
    v2untd(from, length, status);
    v2untd(to, length, unit_status);
    if (status != 0 || unit_status != 0) return false;
    double swept = 0.0;
    arcosd(v2dotd(from, to), swept, status);
    // The walk runs against the arc's direction.
    const bool counter_clockwise = direction > 0.0;
    if (counter_clockwise) swept = -swept;
    // The region lies inside the arc's circle where the arc bends towards it.
    const bool region_inside = counter_clockwise == region_left;
    const double largest =
        region_inside ? arc_step_angle(distance, std::fabs(radius)) : outside_step_angle(distance, std::fabs(radius));
    int count = 1;
    double step = 0.0;
    setdeld_nc(swept, largest, count, step);
    // On the arc: the count - 1 points between the ends. Outside it: a corner in the middle of
    // every step, where the tangents at the step's two ends meet (none when nothing is swept).
    const bool outside = !region_inside && step != 0.0;
    const int corners = outside ? count : count - 1;
    const double first = outside ? 0.5 * step : step, scale = outside ? 1.0 / std::cos(0.5 * step) : 1.0;
    double v[2] = {scale * (radius_vector[0] * std::cos(first) - radius_vector[1] * std::sin(first)),
                   scale * (radius_vector[0] * std::sin(first) + radius_vector[1] * std::cos(first))};
    const double c = std::cos(step), s = std::sin(step);
    for (int i = 0; i < corners; ++i) {
        points.push_back({centre[0] + v[0], centre[1] + v[1]});
        const double x = v[0] * c - v[1] * s;
        v[1] = v[0] * s + v[1] * c;
        v[0] = x;
    }
    return true;
}

std::vector<std::array<double, 2>> lane_points_reversed(const double* x, const double* y, int count, double distance,
                                                        bool region_left)
{
    std::vector<std::array<double, 2>> points;
    std::vector<std::array<double, 2>> arc;
    for (int i = count - 1; i >= 0; --i) {
        if (!pk_is_marker(x[i])) {
            points.push_back({x[i], y[i]});
            continue;
        }
        // The walk has written the end point, the centre and (radius, direction): the last two
        // give way to the points of the arc; the start point before the marker follows.
        if (i + kArcTail >= count || i < 1 || points.size() < kArcTail) continue;
        points.resize(points.size() - 2);
        const double end[2] = {x[i + 3], y[i + 3]}, centre[2] = {x[i + 2], y[i + 2]};
        const double start[2] = {x[i - 1], y[i - 1]};
        if (arc_walk_points(end, centre, x[i + 1], y[i + 1], start, distance, region_left, arc))
            points.insert(points.end(), arc.begin(), arc.end());
    }
    return points;
}

double lane_signed_area(const double* x, const double* y, int count)
{
    constexpr double kTurn = 2.0 * std::numbers::pi;
    double twice = 0.0;
    int from = -1;  // the entry of the last point passed
    for (int i = 0; i < count; ++i) {
        if (pk_is_marker(x[i])) {
            if (from < 0 || i + kArcTail >= count) break;
            const double radius = std::fabs(x[i + 1]), direction = y[i + 1] < 0.0 ? -1.0 : 1.0;
            const int end = i + kArcTail;
            const double t0 = std::atan2(y[from] - y[i + 2], x[from] - x[i + 2]);
            const double t1 = std::atan2(y[end] - y[i + 2], x[end] - x[i + 2]);
            const double sweep = std::fmod(std::fmod(direction * (t1 - t0), kTurn) + kTurn, kTurn);
            // The chord, and the segment between it and the arc on the arc's turning side.
            twice += x[from] * y[end] - x[end] * y[from] + direction * radius * radius * (sweep - std::sin(sweep));
            from = end;
            i = end;
            continue;
        }
        if (from >= 0) twice += x[from] * y[i] - x[i] * y[from];
        from = i;
    }
    if (from > 0) twice += x[from] * y[0] - x[0] * y[from];
    return 0.5 * twice;
}
