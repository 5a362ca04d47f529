// Shared set-up of the lane tests: the pocket-array fixture with a planar pocket and fresh offset
// working values, builders of loops with arcs, and geometric measures for property checks.
#pragma once

#include "pocket/pocket_tool_radius.hpp"
#include "pocket_arrays/pocket_test_support.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/current_tool.hpp"

#include <cmath>
#include <random>
#include <vector>

class LaneTest : public PocketTest {
protected:
    void SetUp() override
    {
        PocketTest::SetUp();
        pocket_state_block.pocket_dimension = 2;
    }
    // The lanes' main arrays live in host memory that the next test's host reset frees: they
    // are given back with the test.
    void TearDown() override
    {
        int status = 0;
        POKREL(1, status);
        PocketTest::TearDown();
    }
};

// The drawing and entry tests run with no current tool; the tool radius they read is set as a
// pocket run's start sets it.
inline void start_without_tool()
{
    PRM9().words[machine_params::kToolId] = kNoTool;
    set_pocket_tool_radius();
}

inline constexpr double kMarkerX = 1.0e25;

// Entries of an arc record ending at (ex, ey).
inline void push_arc(std::vector<xy>& e, double r, double dir, double cx, double cy, double ex, double ey)
{
    e.push_back({kMarkerX, 0.0});
    e.push_back({r, dir});
    e.push_back({cx, cy});
    e.push_back({ex, ey});
}

inline pokarr make_from(const std::vector<xy>& entries)
{
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    for (const xy& p : entries) {
        const double q[2] = {p.x, p.y};
        pokarr_add_pnt(q, a, status);
    }
    return a;
}

// A random star-shaped counter-clockwise loop: vertices at sorted angles and random radii, some
// edges replaced by outward bulging arcs (below a half turn); restarted in the middle of its
// first edge, which stays a line. Returns the entries.
inline std::vector<xy> random_star_loop(std::mt19937& rng, int corners, double arc_share)
{
    std::uniform_real_distribution<double> radius(6.0, 10.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<xy> v;
    const double two_pi = 2.0 * std::acos(-1.0);
    for (int k = 0; k < corners; ++k) {
        const double a = two_pi * (k + 0.2 + 0.6 * unit(rng)) / corners;
        const double r = radius(rng);
        v.push_back({r * std::cos(a), r * std::sin(a)});
    }
    std::vector<xy> e;
    const xy mid{0.5 * (v[0].x + v[1].x), 0.5 * (v[0].y + v[1].y)};
    e.push_back(mid);
    for (int k = 1; k <= corners; ++k) {
        const xy s = v[k - 1 < corners ? k - 1 : 0];
        const xy t = v[k % corners];
        if (k == 1) {
            e.push_back(t);
            continue;
        }
        if (unit(rng) < arc_share) {
            // A shallow outward bulge: centre on the inner side of the chord.
            const double cx = 0.5 * (s.x + t.x), cy = 0.5 * (s.y + t.y);
            const double dx = t.x - s.x, dy = t.y - s.y;
            const double half = 0.5 * std::hypot(dx, dy);
            const double depth = half * (1.0 + 2.0 * unit(rng));
            const double nx = -dy / (2.0 * half), ny = dx / (2.0 * half);  // left normal (inside)
            const double ccx = cx + depth * nx, ccy = cy + depth * ny;
            push_arc(e, std::hypot(s.x - ccx, s.y - ccy), 1.0, ccx, ccy, t.x, t.y);
        } else {
            e.push_back(t);
        }
    }
    e.push_back(mid);
    return e;
}

// Distance of a point from the carrying line (line element) or circle (arc element) of every
// element of a loop, and from the tangent lines at the ends of arcs (the corner rule treats an
// arc as its tangent at the corner), as a list.
inline std::vector<double> carrier_distances(const std::vector<xy>& e, double px, double py)
{
    std::vector<double> out;
    for (std::size_t i = 1; i < e.size();) {
        if (e[i].x > 1.0e20) {
            const double r = e[i + 1].x;
            out.push_back(std::fabs(std::hypot(px - e[i + 2].x, py - e[i + 2].y) - r));
            for (const xy& end : {e[i - 1], e[i + 3]}) {
                // The tangent at an end is perpendicular to its radius.
                const double rx = end.x - e[i + 2].x, ry = end.y - e[i + 2].y;
                const double l = std::hypot(rx, ry);
                if (l > 0.0) out.push_back(std::fabs((px - end.x) * rx + (py - end.y) * ry) / l);
            }
            i += 4;
            continue;
        }
        const double dx = e[i].x - e[i - 1].x, dy = e[i].y - e[i - 1].y;
        const double l = std::hypot(dx, dy);
        if (l > 0.0) out.push_back(std::fabs((px - e[i - 1].x) * dy - (py - e[i - 1].y) * dx) / l);
        i += 1;
    }
    return out;
}
