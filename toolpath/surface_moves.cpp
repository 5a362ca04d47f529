// The lateral directions, arc points and gouge check of the surface approach and retract (see
// the header). The gouge check reads connect_params (E, the check values, G), the machining type
// and HEI8 word 73, which it clears for the query and restores.
#include "toolpath/surface_moves.hpp"

#include "host/tolerance.hpp"
#include "host/vantu_compare.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/segment_z_at_xy.hpp"
#include "nc_services/srf_switches_least.hpp"
#include "nc_services/warn_at_point.hpp"
#include "toolpath/surface_query_seams.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// A located tool point more than this above the move gouges the surfaces.
constexpr float kGougeTolerance = 0.01f;
// The arc of kind 7 and the bounds of its step (degrees).
constexpr float kHorizontalSweep = 45.0f, kSmallestStep = 0.01f, kLargestStep = 11.25f;
constexpr float kDegree = std::numbers::pi_v<float> / 180.0f;

float length_of(const point3& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// The step of kind 7: 2 acos(1 - E / (2R)) degrees within 0.01 .. 11.25; the cosine is held
// within -1 .. 1, so a tolerance beyond 4R or a radius of 0 gives the largest step.
float horizontal_step(float tolerance, float radius)
{
    const float cosine = radius > 0.0f ? std::clamp(1.0f - tolerance / (2.0f * radius), -1.0f, 1.0f) : -1.0f;
    return std::clamp(2.0f * std::acos(cosine) / kDegree, kSmallestStep, kLargestStep);
}

point3 rotated_about(const std::array<float, 2>& centre, const point3& p, float radians)
{
    const float c = std::cos(radians), s = std::sin(radians);
    const float x = p[0] - centre[0], y = p[1] - centre[1];
    return {centre[0] + c * x - s * y, centre[1] + s * x + c * y, p[2]};
}

// Whether the located point lies off the move in XY (beyond the host's tolerance).
bool off_the_move(const point3& located, const point3& from, const point3& to)
{
    const float dx = to[0] - from[0], dy = to[1] - from[1];
    const float length2 = dx * dx + dy * dy;
    float t = length2 > 0.0f ? ((located[0] - from[0]) * dx + (located[1] - from[1]) * dy) / length2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float ex = located[0] - (from[0] + t * dx), ey = located[1] - (from[1] + t * dy);
    return std::sqrt(ex * ex + ey * ey) > vantu::kRealTolerance;
}

}  // namespace

bool unit_vector(const point3& v, point3& unit)
{
    const float length = length_of(v);
    if (!(length > vantu::kRealNoLength)) return false;
    unit = {v[0] / length, v[1] / length, v[2] / length};
    return true;
}

bool horizontal_unit(const point3& from, const point3& to, point3& unit)
{
    return unit_vector({to[0] - from[0], to[1] - from[1], 0.0f}, unit);
}

point3 offset_point(const point3& p, const point3& direction, float distance)
{
    return {p[0] + distance * direction[0], p[1] + distance * direction[1], p[2] + distance * direction[2]};
}

bool lateral_line_point(int kind, const point3& point, const point3& neighbour, const point3& normal, point3& end)
{
    point3 unit{};
    bool found = false;
    if (kind == kKindNormal)
        found = unit_vector(normal, unit);
    else if (kind == kKindPath)
        found = horizontal_unit(neighbour, point, unit);
    else
        found = unit_vector({normal[0], normal[1], 0.0f}, unit);
    if (found) end = offset_point(point, unit, connect_params_block().lateral_distance);
    return found;
}

point3 vertical_arc_point(const point3& point, const point3& horizontal, float radius, float degrees)
{
    const float c = std::cos(degrees * kDegree), s = std::sin(degrees * kDegree);
    return {point[0] + radius * c * horizontal[0], point[1] + radius * c * horizontal[1],
            point[2] + radius + radius * s};
}

bool horizontal_arc_points(const point3& point, const point3& path, const point3& normal, float radius, float tolerance,
                           horizontal_arc& arc)
{
    point3 across{};
    if (!unit_vector({normal[0], normal[1], 0.0f}, across)) return false;
    const float cross = path[0] * across[1] - path[1] * across[0];
    if (eqval0(cross) != 0) return false;
    const float side = cross > 0.0f ? 1.0f : -1.0f;
    arc.centre = {point[0] - side * radius * path[1], point[1] + side * radius * path[0]};
    arc.points.assign(1, point);
    const float step = horizontal_step(tolerance, radius);
    // Walking back from P by the step until 45 degrees are passed; the last point is the start.
    for (float angle = step; angle - step < kHorizontalSweep; angle += step)
        arc.points.push_back(rotated_about(arc.centre, point, -side * std::min(angle, kHorizontalSweep) * kDegree));
    arc.sweep = side * kHorizontalSweep * kDegree;
    return true;
}

bool lateral_gouges(const point3& from, const point3& to, const char* prefix, const char* suffix)
{
    const connect_params& c = connect_params_block();
    const point3 move{to[0] - from[0], to[1] - from[1], to[2] - from[2]};
    point3 unit{};
    if (c.gouge_check == 0 || !unit_vector(move, unit)) return false;
    const int type = machining_type();
    const bool strict = type == 2 || type == 3;
    const point3 end = type == 2 ? offset_point(to, unit, c.check_tolerance) : to;
    int status = 0;
    srf_state_2_to_4(status);
    heights_state& h = HEI8();
    const word clearance_flag = h.at(heights_state::kClearancePlane);
    h.at(heights_state::kClearancePlane) = 0;
    float located[3 * kTouchPointsMost] = {};
    int strings = 0, string_counts[kTouchStringsMost] = {}, count = 0;
    surface_query_table().linnet_touch_point(kTouchPartSurfaces, kTouchPointMode, from.data(), end.data(),
                                             c.check_tolerance, c.check_values[0], c.check_values[1], kTouchPointsMost,
                                             located, nullptr, nullptr, strings, kTouchStringsMost, string_counts,
                                             count, status);
    h.at(heights_state::kClearancePlane) = clearance_flag;
    int switched = 0;
    srf_state_4_to_2(switched);
    count = std::clamp(count, 0, kTouchPointsMost);
    if (strict && count == 0) {
        warn_at_point(prefix, to.data(), suffix);
        return true;
    }
    for (int i = 0; i < count; ++i) {
        const point3 p{located[3 * i], located[3 * i + 1], located[3 * i + 2]};
        float z = 0.0f;
        int vertical = 0;
        segment_z_at_xy(from.data(), to.data(), p.data(), z, vertical);
        if (p[2] > z + kGougeTolerance || (strict && off_the_move(p, from, to))) {
            warn_at_point(prefix, p.data(), suffix);
            return true;
        }
    }
    return false;
}

void report_point(const char* prefix, const point3& point) { warn_at_point(prefix, point.data(), ""); }
