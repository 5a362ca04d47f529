// Point in loop: boundary band, arc sampling bounds, loops with many arcs, agreement with a
// winding-number oracle away from the boundary, invariance under translation and reversal.
#include "pocket_lanes/lane_test_support.hpp"

#include "host/vantu_polygon.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_work.hpp"

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
    arc_points(0.001, 1000.0, -1, 0, 0, 1000, 0, 1000 * std::cos(0.01), -1000 * std::sin(-0.01), x, y, count);
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

namespace {

// The inside test as it always ran: the loop sampled whole (arc_points, repeated points dropped)
// and the host's polygon test over the list.
int sampled_inside(const std::vector<xy>& e, double px, double py, double band)
{
    std::vector<double> list;
    auto add = [&](double x, double y) {
        const std::size_t n = list.size();
        if (n >= 2 && std::fabs(x - list[n - 2]) < 1e-6 && std::fabs(y - list[n - 1]) < 1e-6) return;
        list.push_back(x), list.push_back(y);
    };
    add(e[0].x, e[0].y);
    for (std::size_t i = 1; i < e.size();) {
        if (e[i].x < 1e20) {
            add(e[i].x, e[i].y);
            ++i;
            continue;
        }
        double ax[kArcPointsMax], ay[kArcPointsMax];
        int n = 0;
        arc_points(0.001, e[i + 1].x, e[i + 1].y < 0 ? -1 : 1, e[i + 2].x, e[i + 2].y, e[i - 1].x, e[i - 1].y,
                   e[i + 3].x, e[i + 3].y, ax, ay, n);
        for (int k = 0; k < n; ++k) add(ax[k], ay[k]);
        i += 4;
    }
    const double p[2] = {px, py};
    int where = kInpolOutside;
    inpold(band, list.data(), static_cast<int>(list.size() / 2), p, where);
    return where == kInpolInside ? kLoopInside : where == kInpolOnBoundary ? kLoopOnBoundary : kLoopOutside;
}

// Points on, near and away from every vertex, arc (on and off its span) and chord of a loop.
std::vector<xy> probe_points(const std::vector<xy>& e, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double offsets[] = {0.0, 2e-4, 9e-4, 1.1e-3, 2e-3, 3.5e-3, 0.02, 0.3};
    std::vector<xy> points;
    auto around = [&](double x, double y) {
        for (const double d : offsets) {
            const double a = 2.0 * std::acos(-1.0) * unit(rng);
            points.push_back({x + d * std::cos(a), y + d * std::sin(a)});
        }
    };
    for (std::size_t i = 0; i < e.size(); ++i) {
        if (e[i].x > 1e20) {
            const double r = e[i + 1].x;
            const xy c = e[i + 2], s = e[i - 1], t = e[i + 3];
            for (int k = 0; k < 12; ++k) {
                const double a = 2.0 * std::acos(-1.0) * k / 12.0 + 0.01;
                for (const double d : offsets)
                    for (const double sign : {-1.0, 1.0})
                        points.push_back({c.x + (r + sign * d) * std::cos(a), c.y + (r + sign * d) * std::sin(a)});
            }
            around(0.5 * (s.x + t.x), 0.5 * (s.y + t.y));
            i += 3;
            continue;
        }
        around(e[i].x, e[i].y);
    }
    return points;
}

}  // namespace

TEST_F(LaneTest, InsideShortcutsAgreeWithTheSampledPolygonTest)
{
    pocket_work_block.tolerance = 0.001;
    const double pi = std::acos(-1.0);
    std::vector<std::vector<xy>> loops;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        loops.push_back(random_star_loop(rng, 4 + static_cast<int>(seed % 9), 0.7));
    }
    // Loops of many elements: asked about many points, they get their elements sorted in rows.
    for (const int corners : {40, 90}) {
        std::mt19937 rng(static_cast<unsigned>(corners));
        loops.push_back(random_star_loop(rng, corners, 0.5));
    }
    // A keyhole: a major arc closed by a line; a disc of four arcs; a loop passing its first point
    // again (the polygon test then splits its list).
    std::vector<xy> keyhole = {{1, 0}};
    push_arc(keyhole, 1.0, 1.0, 0, 0, std::cos(5 * pi / 3), std::sin(5 * pi / 3));
    keyhole.push_back({1, 0});
    loops.push_back(keyhole);
    std::vector<xy> disc = {{2, 0}};
    for (int k = 1; k <= 4; ++k) push_arc(disc, 2.0, -1.0, 0, 0, 2 * std::cos(-k * pi / 2), 2 * std::sin(-k * pi / 2));
    loops.push_back(disc);
    loops.push_back({{0, 10}, {10, 10}, {0, 10}, {0, 0}, {5, 0}, {0, 0}, {10, 0}, {0, 5}});
    for (std::size_t n = 0, m = loops.size(); n < m; ++n) {
        pokarr r = make_from(loops[n]);
        pokarr_reverse(r);
        loops.push_back(entries_of(r));
        pokarr_free(r);
    }
    const unsigned seed = 7;
    std::mt19937 rng(seed);
    for (std::size_t n = 0; n < loops.size(); ++n) {
        pokarr loop = make_from(loops[n]);
        // Made ready for many points, a loop answers from its rows from the first point on.
        inside_loop prepared, many;
        inside_loop_make(loop, prepared);
        inside_loop_make_many(loop, many);
        for (const xy& p : probe_points(loops[n], rng)) {
            const int want = sampled_inside(loops[n], p.x, p.y, 0.001);
            int result = -1, status = -5;
            pnt_in_pokarr(p.x, p.y, loop, result, status);
            EXPECT_EQ(status, 0);
            EXPECT_EQ(result, want) << "seed " << seed << ", loop " << n << " at (" << p.x << ", " << p.y << ")";
            pnt_in_inside_loop(p.x, p.y, prepared, result, status);
            EXPECT_EQ(result, want) << "made ready, loop " << n << " at (" << p.x << ", " << p.y << ")";
            pnt_in_inside_loop(p.x, p.y, many, result, status);
            EXPECT_EQ(result, want) << "made ready for many, loop " << n << " at (" << p.x << ", " << p.y << ")";
        }
        pokarr_free(loop);
    }
}

// The island merge passes by a loop whose box lies beyond kApartBoxReach from another's: the two
// must then neither cross (nor touch) nor hold a point of each other, inside or on the boundary,
// whatever the pocket's tolerance. Seeded loops with arcs, the second moved just beyond the reach
// along x, along y and corner to corner.
TEST_F(LaneTest, LoopsBeyondTheApartReachNeitherCrossNorHoldEachOther)
{
    struct row {
        double tolerance, along_x, along_y;
    };
    const row rows[] = {{0.005, 1, 0}, {0.005, 0, 1}, {0.005, -1, -1}, {0.01, -1, 0}, {0.1, 0, -1}, {0.1, 1, 1}};
    const double gap = 1.001 * kApartBoxReach;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        for (const row& r : rows) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " tolerance " << r.tolerance << " direction "
                                            << r.along_x << ", " << r.along_y);
            pocket_work_block.tolerance = r.tolerance;
            std::mt19937 rng(seed);
            const std::vector<xy> first = random_star_loop(rng, 5 + static_cast<int>(seed % 8), 0.5);
            std::vector<xy> second = random_star_loop(rng, 4 + static_cast<int>(seed % 5), 0.5);
            pokarr a = make_from(first), b = make_from(second);
            double box_a[4], box_b[4];
            pokarr_box(a, box_a);
            pokarr_box(b, box_b);
            // The shift that puts b's box the gap beyond a's on the named sides.
            const double dx = r.along_x > 0   ? box_a[2] - box_b[0] + gap
                              : r.along_x < 0 ? box_a[0] - box_b[2] - gap
                                              : 0.0;
            const double dy = r.along_y > 0   ? box_a[3] - box_b[1] + gap
                              : r.along_y < 0 ? box_a[1] - box_b[3] - gap
                                              : 0.0;
            // Points and arc centres move; an arc record's marker and its radius entry stay.
            for (std::size_t i = 0; i < second.size(); ++i) {
                if (second[i].x >= kMarkerX)
                    ++i;
                else
                    second[i] = {second[i].x + dx, second[i].y + dy};
            }
            pokarr_free(b);
            b = make_from(second);
            for (const int mode : {kLuplupFirstOnly, kLuplupFirstOnly + 2}) {
                int crossing = -1;
                pokarr_intersect_test(mode, a, b, crossing);
                EXPECT_EQ(crossing, 0) << "mode " << mode;
            }
            int status = 0;
            EXPECT_EQ(points_against_loop(a, b, status), kLoopOutside);
            EXPECT_EQ(status, 0);
            EXPECT_EQ(points_against_loop(b, a, status), kLoopOutside);
            EXPECT_EQ(status, 0);
            pokarr_free(a);
            pokarr_free(b);
        }
    }
}
