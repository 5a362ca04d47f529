// The clearance of a drawn tool path from round islands: every feed move (path_lengths.hpp, arcs as
// arcs) against every island's circle grown by its offset, at the exact distance. A move nearer an
// island's centre than its radius and offset less the tolerance cuts into the island's offset: a
// gouge.
#pragma once

#include "path_lengths.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace bench {

struct round_island {
    double x, y, radius;
};

// What the path did to the islands: the moves (move and island pairs) that come too near, cutting
// moves and approaches apart, and the deepest of them (how far within the offset, where, which).
struct island_gouges {
    int cutting = 0, approach = 0;
    double depth = 0.0;
    double x = 0.0, y = 0.0;
    int island = -1;
};

namespace detail {

// Whether the direction of (px, py) from the arc's centre lies within its turn.
inline bool within_turn(const xy_move& m, double px, double py)
{
    const double from = std::atan2(m.y0 - m.cy, m.x0 - m.cx), at = std::atan2(py - m.cy, px - m.cx);
    double turn = m.sweep > 0.0 ? at - from : from - at;
    turn = std::fmod(turn + 4.0 * std::numbers::pi, 2.0 * std::numbers::pi);
    return turn <= std::fabs(m.sweep);
}

// The point of the move nearest (px, py), into (nx, ny).
inline void nearest_on_move(const xy_move& m, double px, double py, double& nx, double& ny)
{
    if (m.sweep != 0.0) {
        const double r = std::hypot(m.x0 - m.cx, m.y0 - m.cy), d = std::hypot(px - m.cx, py - m.cy);
        if (d > 0.0 && within_turn(m, px, py)) {
            nx = m.cx + (px - m.cx) * r / d, ny = m.cy + (py - m.cy) * r / d;
            return;
        }
        const bool start = std::hypot(px - m.x0, py - m.y0) <= std::hypot(px - m.x1, py - m.y1);
        nx = start ? m.x0 : m.x1, ny = start ? m.y0 : m.y1;
        return;
    }
    const double dx = m.x1 - m.x0, dy = m.y1 - m.y0, l2 = dx * dx + dy * dy;
    const double t = l2 > 0.0 ? std::clamp(((px - m.x0) * dx + (py - m.y0) * dy) / l2, 0.0, 1.0) : 0.0;
    nx = m.x0 + t * dx, ny = m.y0 + t * dy;
}

// The move's box: its ends, and for an arc its whole circle.
inline void move_box(const xy_move& m, double* box)
{
    box[0] = std::min(m.x0, m.x1), box[1] = std::min(m.y0, m.y1);
    box[2] = std::max(m.x0, m.x1), box[3] = std::max(m.y0, m.y1);
    if (m.sweep == 0.0) return;
    const double r = std::hypot(m.x0 - m.cx, m.y0 - m.cy);
    box[0] = std::min(box[0], m.cx - r), box[1] = std::min(box[1], m.cy - r);
    box[2] = std::max(box[2], m.cx + r), box[3] = std::max(box[3], m.cy + r);
}

}  // namespace detail

// The gouges of the moves into the islands, each grown by `offset` less `tolerance`.
inline island_gouges gouges_of(const std::vector<xy_move>& moves, const std::vector<round_island>& islands,
                               double offset, double tolerance)
{
    island_gouges out;
    for (const xy_move& m : moves) {
        double box[4];
        detail::move_box(m, box);
        for (std::size_t k = 0; k < islands.size(); ++k) {
            const round_island& c = islands[k];
            const double reach = c.radius + offset - tolerance;
            if (c.x + reach < box[0] || c.x - reach > box[2] || c.y + reach < box[1] || c.y - reach > box[3]) continue;
            double nx = 0.0, ny = 0.0;
            detail::nearest_on_move(m, c.x, c.y, nx, ny);
            const double depth = reach - std::hypot(nx - c.x, ny - c.y);
            if (depth <= 0.0) continue;
            ++(m.cutting ? out.cutting : out.approach);
            if (depth > out.depth) out.depth = depth, out.x = nx, out.y = ny, out.island = static_cast<int>(k);
        }
    }
    return out;
}

}  // namespace bench
