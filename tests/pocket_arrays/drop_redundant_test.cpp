// Removal of redundant points: duplicates, straight runs, the chord check of pending points,
// arc records kept whole, and the closing point.
#include "pocket_test_support.hpp"

#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

class RedundantTest : public PocketTest {
protected:
    void SetUp() override
    {
        PocketTest::SetUp();
        pocket_state_block.pocket_dimension = 2;
    }
};

}  // namespace

TEST_F(RedundantTest, DuplicatesAndStraightPointsGo)
{
    pokarr a = make_2d({{0, 0}, {5, 0}, {5, 0}, {7, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    int closed = 1;
    pokarr_drop_redundant(closed, 0, a);
    // (5,0) is judged before its double goes: with no step after it, it stays; its double and
    // the straight (7,0) go.
    const std::vector<xy> got = entries_of(a);
    const std::vector<xy> want = {{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_DOUBLE_EQ(got[i].x, want[i].x) << i;
        EXPECT_DOUBLE_EQ(got[i].y, want[i].y) << i;
    }
}

TEST_F(RedundantTest, TurnBackStaysAndArcEndsStay)
{
    pokarr spike = make_2d({{0, 0}, {10, 0}, {5, 0.00001}, {10, 10}, {0, 0}});
    int closed = 0;
    pokarr_drop_redundant(closed, 0, spike);
    EXPECT_EQ(spike.count, 5);

    // (5,0) on the straight run goes; (10,0) starts the half circle back and stays, and the arc
    // record stays whole.
    pokarr arc = make_2d({{0, 0}, {5, 0}, {10, 0}, {1e25, 0}, {5, 1}, {5, 0}, {0, 0}});
    pokarr_drop_redundant(closed, 0, arc);
    ASSERT_EQ(arc.count, 6);
    EXPECT_DOUBLE_EQ(arc.x[1], 10.0);
    EXPECT_GT(arc.x[2], 1e20);
    EXPECT_DOUBLE_EQ(arc.x[3], 5.0);
    EXPECT_DOUBLE_EQ(arc.x[5], 0.0);
}

TEST_F(RedundantTest, DriftingRunStopsBeingThinned)
{
    // Each point 0.00006 off its local chord (below 0.0001) but drifting away from the first
    // kept point: not everything may go.
    std::vector<xy> e;
    for (int k = 0; k <= 10; ++k) e.push_back({static_cast<double>(k), 0.00003 * k * k});
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    for (const xy& p : e) {
        const double q[2] = {p.x, p.y};
        pokarr_add_pnt(q, a, status);
    }
    int closed = 0;
    pokarr_drop_redundant(closed, 0, a);
    EXPECT_GT(a.count, 2);
    EXPECT_LT(a.count, 11);
    // Every original point stays within 0.0001 of the thinned polyline.
    for (const xy& p : e) {
        double best = 1e9;
        for (int i = 1; i < a.count; ++i) {
            const double dx = a.x[i] - a.x[i - 1], dy = a.y[i] - a.y[i - 1];
            const double l2 = dx * dx + dy * dy;
            double t = ((p.x - a.x[i - 1]) * dx + (p.y - a.y[i - 1]) * dy) / l2;
            t = std::max(0.0, std::min(1.0, t));
            best = std::min(best, std::hypot(p.x - a.x[i - 1] - t * dx, p.y - a.y[i - 1] - t * dy));
        }
        EXPECT_LT(best, 0.0002) << p.x;
    }
}

TEST_F(RedundantTest, ClosingPointOnlyWithTheClosedFlag)
{
    // The closing point (5,0) lies on the bottom edge.
    const auto loop = [] { return make_2d({{5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {5, 0}}); };
    pokarr open = loop();
    int closed = 0;
    pokarr_drop_redundant(closed, 0, open);
    EXPECT_EQ(open.count, 6);
    pokarr shut = loop();
    closed = 1;
    pokarr_drop_redundant(closed, 0, shut);
    ASSERT_EQ(shut.count, 5);
    EXPECT_DOUBLE_EQ(shut.x[0], 0.0);
    EXPECT_DOUBLE_EQ(shut.x[4], 0.0);
    EXPECT_DOUBLE_EQ(shut.y[4], 0.0);
}

TEST_F(RedundantTest, DenseLoopsStayWithinTheDeviationOfTheirThinning)
{
    // Dense circles and wavy loops of 2,000 to 20,000 points: long runs go, and every point of
    // the loop stays within the deviation limit (0.0001) of the thinned polyline.
    constexpr unsigned kSeed = 4123;
    std::mt19937 rng(kSeed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int trial = 0; trial < 12; ++trial) {
        const int n = 2000 + static_cast<int>(18000 * u(rng));
        const double radius = std::pow(10.0, 3.0 * u(rng)), wave = radius * 0.1 * u(rng);
        std::vector<xy> points;
        for (int i = 0; i <= n; ++i) {
            const double t = 2.0 * M_PI * (i % n) / n;
            const double r = radius + wave * std::sin(3.0 * t) + 1e-6 * u(rng);
            points.push_back({r * std::cos(t), r * std::sin(t)});
        }
        points.back() = points.front();
        pokarr a;
        pokarr_init(2, a);
        int status = 0;
        for (const xy& p : points) {
            const double q[2] = {p.x, p.y};
            pokarr_add_pnt(q, a, status);
        }
        int closed = 0;
        pokarr_drop_redundant(closed, 0, a);
        const std::vector<xy> kept = entries_of(a);
        EXPECT_LT(kept.size(), points.size()) << "seed " << kSeed << " trial " << trial;
        // The kept points are points of the loop in order: each point lies between two of them.
        double worst = 0.0;
        std::size_t j = 0;
        for (const xy& p : points) {
            if (j + 2 < kept.size() && p.x == kept[j + 1].x && p.y == kept[j + 1].y) ++j;
            const xy s = kept[j], e = kept[j + 1];
            const double dx = e.x - s.x, dy = e.y - s.y, l2 = dx * dx + dy * dy;
            const double t = l2 > 0.0 ? std::clamp(((p.x - s.x) * dx + (p.y - s.y) * dy) / l2, 0.0, 1.0) : 0.0;
            worst = std::max(worst, std::hypot(p.x - s.x - t * dx, p.y - s.y - t * dy));
        }
        EXPECT_LT(worst, 1.0001e-4) << "seed " << kSeed << " trial " << trial << ", radius " << radius;
        pokarr_free(a);
    }
}

TEST_F(RedundantTest, ShortLeggedCornerGoesOnlyWhileItTurnsLessThanARightAngle)
{
    // The corner (5e-5, 0) between legs of 5e-5: turning by less than a right angle it lies
    // within the deviation limit of its chord and goes; at a right angle or more it stays. The
    // rows straddle the right angle by amounts far below the rounding of the unit vectors.
    struct row {
        double lean;  // x step of the second leg: > 0 turns less than a right angle
        bool stays;
    };
    const row rows[] = {{0.0, true},    {1e-12, false},  {-1e-12, true}, {1e-20, false},
                        {-1e-20, true}, {-2.5e-5, true}, {2.5e-5, false}};
    for (const row& r : rows) {
        pokarr a = make_2d({{0, 0}, {5e-5, 0}, {5e-5 + r.lean, 5e-5}, {5e-5 + r.lean, 10}});
        int closed = 0;
        pokarr_drop_redundant(closed, 0, a);
        bool corner = false;
        for (const xy& p : entries_of(a)) corner = corner || (p.x == 5e-5 && p.y == 0.0);
        EXPECT_EQ(corner, r.stays) << "lean " << r.lean;
        pokarr_free(a);
    }
}
