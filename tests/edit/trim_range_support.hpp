// A contour trim driven the way the trimming driver's range loop drives it: the motions are cut at
// the contour by the motion walk, then every stretch of motions inside it is handed to the trim
// action, with the contour positions where the stretch begins and ends. The tests and the
// trimming benchmark share it; the zig-zag paths they trim, and the judge of the result.
#pragma once

#include "edit/trim/motion_walk.hpp"
#include "edit/trim/trim_action.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "toolpath/motion_end_points.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace trim_test {

// A closed polygon: x, y per vertex, the last equal to the first.
using polygon = std::vector<double>;

inline bool strictly_inside(const polygon& p, double x, double y)
{
    const double q[2] = {x, y};
    int result = 0;
    inpold(kWalkSideTolerance, p.data(), int(p.size() / 2), q, result);
    return result == 1;
}

// The segment (from 1) and fraction along it of the polygon point nearest to (x, y), and the
// distance.
struct contour_position {
    int segment = 1;
    double along = 0.0, distance = 1e30;
};
inline contour_position position_on(const polygon& p, double x, double y)
{
    contour_position best;
    for (std::size_t i = 0; i + 3 < p.size(); i += 2) {
        const double ax = p[i], ay = p[i + 1], dx = p[i + 2] - ax, dy = p[i + 3] - ay;
        const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        const double d = std::hypot(x - ax - t * dx, y - ay - t * dy);
        if (d < best.distance) best = {int(i / 2) + 1, t, d};
    }
    return best;
}

// Cuts every motion at the contour (the walk to the list's end, turning side at each change).
inline void cut_at_contour(const polygon& p, point3 start)
{
    trim_state& t = trim_words();
    t.contour = p.data();
    t.contour_vertices = int(p.size() / 2);
    t.walk_direction = strictly_inside(p, start[0], start[1]) ? 1 : 3;
    int status = 0;
    lacces(2, status);
    point3 current = start, previous{}, direction{0, 0, 1}, previous_direction{};
    for (status = 0; status >= 0;) {
        int boundary = 0, first = 0, second = 0, type = 0, number = 0, segment = 0, kind = 0;
        double along = 0;
        get_next_movment(current, previous, direction, previous_direction, 1, boundary, first, second, type, number,
                         segment, along, kind, status);
        if (first != second) t.walk_direction = 4 - t.walk_direction;
    }
}

// Hands one stretch to the trim action: the list put on its first block (marker 10), the stretch's
// contour positions recorded. Returns the trim action's status.
inline int trim_stretch(const polygon& p, int first, int last, const point3& from, const point3& to, float clear_z,
                        int end_flag)
{
    trim_state& t = trim_words();
    const contour_position s = position_on(p, from[0], from[1]), e = position_on(p, to[0], to[1]);
    t.range_start_segment = s.segment;
    t.range_start_along = s.along;
    t.range_end_segment = e.segment;
    t.range_end_along = e.along;
    int status = 0;
    lmark(1, 10, status);
    point3 point{}, direction{0, 0, 1};
    int surfaces = 0, start_flag = 0, dimension = 1;
    float z_plane = 0.0f;
    delete_trimed_blocks(first, last, point, direction, clear_z, surfaces, start_flag, dimension, end_flag, z_plane,
                         status);
    return status;
}

// Trims every stretch of motions inside the polygon, the motions cut at it already
// (cut_at_contour), with the page's words in trim_words() (operation, connection). The path
// starts at `start`. Returns the number of trim operations, or the first negative status.
inline int trim_inside(const polygon& p, point3 start, float clear_z)
{
    constexpr int kAfterStretch = 17;
    int status = 0, count = 0, first = -1, last = -1;
    lacces(2, status);
    point3 at = start, from{}, to{};
    for (bool stepped = true, ended = false;; stepped = true) {
        int number = 0, type = 0;
        float end[3] = {at[0], at[1], at[2]}, axis[3] = {0, 0, 1};
        if (!ended) trim_read_motion(1, number, type, end, axis, status);
        const bool more = !ended && status >= 0;
        const bool inside = more && strictly_inside(p, (at[0] + end[0]) / 2, (at[1] + end[1]) / 2);
        if (inside && first < 0) {
            first = number;
            from = at;
            lmark(1, 10, status);
        }
        if (inside) last = number, to = {end[0], end[1], end[2]};
        if (!inside && first >= 0) {
            int marked = 0;
            if (more) lmark(1, kAfterStretch, marked);
            tp_list_top_mark(10, status);
            status = trim_stretch(p, first, last, from, to, clear_z, more ? 0 : 1);
            if (status < 0) return status;
            ++count;
            first = -1;
            if (!more) return count;
            tp_list_top_mark(kAfterStretch, status);
            at = to;
            stepped = false;
        }
        if (!more) return count;
        if (stepped) {
            at = {end[0], end[1], end[2]};
            int moved = 0;
            lacces(1, moved);
            ended = moved < 0;
        }
    }
}

// A zig-zag of `passes` feed lines across the rectangle 0..10 wide (each from x -5 to 15 or back,
// so crossing the contour twice) joined outside it; the passes `step` apart from y 0.5 on.
inline std::vector<std::vector<word>> zig_zag(int passes, float step)
{
    auto r = [](float v) { return real_to_word(v); };
    std::vector<std::vector<word>> blocks{{1, 1, 1, 0, r(100.0f)}};
    int number = 2;
    for (int i = 0; i < passes; ++i) {
        const float y = 0.5f + step * float(i);
        const float x0 = i % 2 == 0 ? -5.0f : 15.0f, x1 = 10.0f - x0;
        if (i > 0) blocks.push_back({2, number++, r(x0), r(y), 0});
        blocks.push_back({2, number++, r(x1), r(y), 0});
    }
    return blocks;
}

// The rectangle 0..10 by 0..height, counter-clockwise from the origin.
inline polygon rectangle(double height) { return {0, 0, 10, 0, 10, height, 0, height, 0, 0}; }

}  // namespace trim_test
