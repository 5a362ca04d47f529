// Point in loop: boundary band, arc sampling bounds, loops with many arcs, agreement with a
// winding-number oracle away from the boundary, invariance under translation and reversal.
#include "lane_test_support.hpp"

#include "pocket/pocket_work.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_lanes/loop_inside.hpp"
#include "pocket_lanes/nearest_points.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Winding number of a finely flattened loop about a point (the oracle), and the point's
// distance from the flattened outline.
struct oracle {
    int winding;
    double clearance;
};

oracle wind(const std::vector<xy>& e, double px, double py)
{
    std::vector<xy> pts = {e[0]};
    for (std::size_t i = 1; i < e.size();) {
        if (e[i].x > 1e20) {
            const double r = e[i + 1].x, dir = e[i + 1].y;
            const xy c = e[i + 2], s = pts.back(), t = e[i + 3];
            double a0 = std::atan2(s.y - c.y, s.x - c.x), a1 = std::atan2(t.y - c.y, t.x - c.x);
            double sweep = dir > 0 ? a1 - a0 : a0 - a1;
            while (sweep <= 0) sweep += 2 * std::acos(-1.0);
            for (int k = 1; k <= 200; ++k) {
                const double a = a0 + (dir > 0 ? 1 : -1) * sweep * k / 200;
                pts.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
            }
            i += 4;
        } else {
            pts.push_back(e[i]);
            ++i;
        }
    }
    double total = 0.0, clearance = 1e9;
    for (std::size_t i = 1; i < pts.size(); ++i) {
        const double a0 = std::atan2(pts[i - 1].y - py, pts[i - 1].x - px);
        const double a1 = std::atan2(pts[i].y - py, pts[i].x - px);
        double d = a1 - a0;
        while (d > std::acos(-1.0)) d -= 2 * std::acos(-1.0);
        while (d < -std::acos(-1.0)) d += 2 * std::acos(-1.0);
        total += d;
        const double dx = pts[i].x - pts[i - 1].x, dy = pts[i].y - pts[i - 1].y;
        const double l2 = dx * dx + dy * dy;
        double t = l2 > 0 ? ((px - pts[i - 1].x) * dx + (py - pts[i - 1].y) * dy) / l2 : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        clearance = std::min(clearance, std::hypot(px - pts[i - 1].x - t * dx, py - pts[i - 1].y - t * dy));
    }
    return {static_cast<int>(std::lround(total / (2 * std::acos(-1.0)))), clearance};
}

int inside(double x, double y, const std::vector<xy>& e)
{
    pokarr loop = make_from(e);
    int result = -1, status = -5;
    pnt_in_pokarr(x, y, loop, result, status);
    EXPECT_EQ(status, 0);
    return result;
}

}  // namespace

TEST_F(LaneTest, PointOnAnEdgeIsOnTheBoundary)
{
    pocket_work_block.tolerance = 0.01;
    const std::vector<xy> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    EXPECT_EQ(inside(5, 0, square), kLoopOnBoundary);
    EXPECT_EQ(inside(10, 10, square), kLoopOnBoundary);
    EXPECT_EQ(inside(5, 0.0005, square), kLoopOnBoundary);
    EXPECT_EQ(inside(5, 0.002, square), kLoopInside);
    EXPECT_EQ(inside(5, -0.002, square), kLoopOutside);
    EXPECT_EQ(inside(20, 5, square), kLoopOutside);
}

TEST_F(LaneTest, ArcSamplingStaysBetweenThreeAndNinetyChords)
{
    double x[kArcPointsMax], y[kArcPointsMax];
    int count = 0;
    // A tiny arc against a coarse tolerance: still 3 chords.
    arc_points(0.001, 0.01, 1, 0, 0, 0.01, 0, 0, 0.01, x, y, count);
    EXPECT_EQ(count, 4);
    EXPECT_DOUBLE_EQ(x[count - 1], 0.0);
    // A big near-full circle: never more than 90 chords.
    arc_points(0.001, 1000.0, -1, 0, 0, 1000, 0, 1000 * std::cos(0.01), -1000 * std::sin(-0.01), x,
               y, count);
    EXPECT_EQ(count, kArcPointsMax);
    for (int k = 0; k < count; ++k) EXPECT_NEAR(std::hypot(x[k], y[k]), 1000.0, 1e-6);
    double sweep = 0.0;
    arc_sweep(-1, 0, 0, 1, 0, 0, 1, sweep);
    // Two pi is taken in single precision (6.2831854820251465), 1.7e-7 above the true value.
    EXPECT_NEAR(sweep, 1.5 * std::acos(-1.0), 2e-7);
    EXPECT_GT(sweep, 1.5 * std::acos(-1.0));
}

TEST_F(LaneTest, LoopOfManyArcsDoesNotOverrunTheList)
{
    // A disc made of 400 arcs (each sampled into several chords): far more points than twice the
    // entry count.
    const int arcs = 400;
    std::vector<xy> e = {{10, 0}};
    for (int k = 1; k <= arcs; ++k) {
        const double a = 2 * std::acos(-1.0) * k / arcs;
        push_arc(e, 10.0, 1.0, 0, 0, 10 * std::cos(a), 10 * std::sin(a));
    }
    e.back() = {10, 0};
    EXPECT_EQ(inside(0, 0, e), kLoopInside);
    EXPECT_EQ(inside(9.99, 0.1, e), kLoopInside);
    EXPECT_EQ(inside(10.1, 0.0, e), kLoopOutside);
}

TEST_F(LaneTest, InsideAgreesWithWindingOracle)
{
    pocket_work_block.tolerance = 0.001;
    for (unsigned seed = 1; seed <= 25; ++seed) {
        std::mt19937 rng(seed);
        const std::vector<xy> loop = random_star_loop(rng, 5 + static_cast<int>(seed % 8), 0.5);
        std::vector<xy> reversed(loop.size());
        {
            pokarr r = make_from(loop);
            pokarr_reverse(r);
            reversed = entries_of(r);
        }
        std::uniform_real_distribution<double> coordinate(-14.0, 14.0);
        // Translated: points and centres move, markers and radius entries stay.
        std::vector<xy> shifted = loop;
        for (std::size_t i = 0; i < shifted.size(); ++i) {
            if (shifted[i].x > 1e20) {
                ++i;  // the radius entry
                continue;
            }
            shifted[i].x += 123.25, shifted[i].y -= 77.5;
        }
        for (int k = 0; k < 60; ++k) {
            const double px = coordinate(rng), py = coordinate(rng);
            const oracle o = wind(loop, px, py);
            if (o.clearance < 0.05) continue;  // the oracle flattens arcs to within 0.001
            const int want = o.winding != 0 ? kLoopInside : kLoopOutside;
            EXPECT_EQ(inside(px, py, loop), want) << "seed " << seed << " (" << px << ", " << py << ")";
            EXPECT_EQ(inside(px, py, reversed), want) << "reversed, seed " << seed;
            EXPECT_EQ(inside(px + 123.25, py - 77.5, shifted), want) << "shifted, seed " << seed;
            int result = -1, status = -5;
            std::vector<double> x, y;
            for (const xy& p : loop) x.push_back(p.x), y.push_back(p.y);
            pnt_in_xy_loop(px, py, x.data(), y.data(), static_cast<int>(x.size()), result, status);
            EXPECT_EQ(status, 0);
            EXPECT_EQ(result, want) << "winding test, seed " << seed;
        }
    }
}

TEST_F(LaneTest, BadLoopsGiveDefinedInsideResults)
{
    pokarr empty;
    pokarr_init(2, empty);
    int result = -1, status = -5;
    pnt_in_pokarr(0, 0, empty, result, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(result, kLoopOutside);
    EXPECT_EQ(inside(0, 0, {{1, 1}}), kLoopOutside);
    EXPECT_EQ(inside(0, 0, {{-1, 0}, {1, 0}}), kLoopOnBoundary);
    pokarr broken = make_from({{0, 0}, {5, 0}, {kMarkerX, 0}, {1, 1}});
    pnt_in_pokarr(0, 0, broken, result, status);
    EXPECT_EQ(status, kInsideFailed);
}
