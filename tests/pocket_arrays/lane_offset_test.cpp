// Raw offset of a loop: the corner rule on worked examples, arcs growing and shrinking, refused
// loops, and seeded properties (every offset point at distance d from an element of its source;
// a convex loop offset out and back comes home).
#include "pocket_lanes/lane_test_support.hpp"

#include "pocket_arrays/lane_offset.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"

#include <algorithm>
#include <cmath>

namespace {

// The square 0..10 counter-clockwise, restarted in the middle of its bottom edge.
std::vector<xy> square_loop() { return {{5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {5, 0}}; }

pokarr offset_of(const std::vector<xy>& entries, int side, double d, int& status)
{
    pokarr loop = make_from(entries);
    pokarr result;
    pokarr_init(2, result);
    lane_offset_2d3d(side, 1, d, loop, result, status);
    return result;
}

double distance(xy a, xy b) { return std::hypot(a.x - b.x, a.y - b.y); }

}  // namespace

TEST_F(LaneTest, SquareOutwardGivesMitrePointsWithSwitchOff)
{
    int status = -5;
    pokarr r = offset_of(square_loop(), kSideRight, 1.0, status);
    ASSERT_EQ(status, 0);
    const std::vector<xy> got = entries_of(r);
    ASSERT_EQ(got.size(), 6u);
    const xy corners[4] = {{10, 0}, {10, 10}, {0, 10}, {0, 0}};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(distance(got[k + 1], corners[k]), std::sqrt(2.0), 1e-12) << "corner " << k;
    EXPECT_NEAR(got[1].x, 11.0, 1e-12);
    EXPECT_NEAR(got[1].y, -1.0, 1e-12);
    EXPECT_NEAR(got.front().x, 5.0, 1e-12);
    EXPECT_NEAR(got.front().y, -1.0, 1e-12);
    EXPECT_NEAR(got.back().y, -1.0, 1e-12);
}

TEST_F(LaneTest, SquareOutwardGivesQuarterArcsWithSwitchOn)
{
    pocket_work_block.corner_arcs = 1;
    int status = -5;
    pokarr r = offset_of(square_loop(), kSideRight, 1.0, status);
    ASSERT_EQ(status, 0);
    const std::vector<xy> got = entries_of(r);
    // Start, four corners of (point + arc record of 4 entries), end.
    ASSERT_EQ(got.size(), 1u + 4u * 5u + 1u);
    const xy corners[4] = {{10, 0}, {10, 10}, {0, 10}, {0, 0}};
    for (int k = 0; k < 4; ++k) {
        const int q1 = 1 + 5 * k;
        EXPECT_GT(got[q1 + 1].x, 1e20) << "corner " << k;
        EXPECT_DOUBLE_EQ(got[q1 + 2].x, 1.0);  // radius d
        EXPECT_DOUBLE_EQ(got[q1 + 2].y, 1.0);  // counter-clockwise
        EXPECT_NEAR(got[q1 + 3].x, corners[k].x, 1e-12);
        EXPECT_NEAR(got[q1 + 3].y, corners[k].y, 1e-12);
        EXPECT_NEAR(distance(got[q1], corners[k]), 1.0, 1e-12);
        EXPECT_NEAR(distance(got[q1 + 4], corners[k]), 1.0, 1e-12);
        // A quarter turn: the two arc ends are perpendicular radii.
        const double ax = got[q1].x - corners[k].x, ay = got[q1].y - corners[k].y;
        const double bx = got[q1 + 4].x - corners[k].x, by = got[q1 + 4].y - corners[k].y;
        EXPECT_NEAR(ax * bx + ay * by, 0.0, 1e-12);
    }
}

TEST_F(LaneTest, ConvexTurnOfHundredDegreesGivesSquarePair)
{
    const double a = 100.0 * std::acos(-1.0) / 180.0;
    const double u[2] = {1.0, 0.0};
    const double p0[2] = {0.0, 0.0};
    const double p1[2] = {5.0 * std::cos(a), 5.0 * std::sin(a)};
    double q1[2], q2[2], v[2], len2 = 0.0;
    int count = 0, arc = 0;
    const double d = 2.0;
    offset_corner(kCornerInner, u, p0, p1, 0, 0, arc, 100.0, kSideRight, d, q1, q2, count, v, len2);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(arc, 0);
    // Pushed d beyond the vertex along both elements, each at d from its own element.
    EXPECT_NEAR(q1[0], d, 1e-12);
    EXPECT_NEAR(q1[1], -d, 1e-12);
    EXPECT_NEAR(q2[0], d * v[1] - d * v[0], 1e-12);
    EXPECT_NEAR(q2[1], -d * v[0] - d * v[1], 1e-12);
    EXPECT_NEAR(len2, 25.0, 1e-12);
}

TEST_F(LaneTest, CornerRuleDecisionTable)
{
    struct row {
        const char* name;
        double turn_degrees;  // left turn of the path
        int side;
        int corner_arcs;
        int count, arc;
    };
    const row rows[] = {
        {"straight on", 0.3, kSideRight, 0, 1, 0},           {"convex 90 mitre", 90.0, kSideRight, 0, 1, 0},
        {"convex 90 arc", 90.0, kSideRight, 1, 2, 1},        {"convex 120 square", 120.0, kSideRight, 0, 2, 0},
        {"concave 90 mitre", 90.0, kSideLeft, 1, 1, 0},      {"reversal with arcs", 180.0, kSideRight, 1, 2, 1},
        {"reversal square cap", 180.0, kSideRight, 0, 2, 0},
    };
    for (const row& r : rows) {
        pocket_work_block.corner_arcs = r.corner_arcs;
        const double a = r.turn_degrees * std::acos(-1.0) / 180.0;
        const double u[2] = {1.0, 0.0};
        const double p0[2] = {0.0, 0.0};
        const double p1[2] = {10.0 * std::cos(a), 10.0 * std::sin(a)};
        double q1[2], q2[2], v[2], len2 = 0.0;
        int count = 0, arc = 0;
        offset_corner(kCornerInner, u, p0, p1, 0, 0, arc, 100.0, r.side, 1.0, q1, q2, count, v, len2);
        EXPECT_EQ(count, r.count) << r.name;
        EXPECT_EQ(arc, r.arc) << r.name;
    }
}

TEST_F(LaneTest, ArcGrowsToTheRightAndShrinksToTheLeft)
{
    // Half disc of radius 5: line out, counter-clockwise arc back, line home.
    std::vector<xy> e = {{0, 0}, {5, 0}};
    push_arc(e, 5.0, 1.0, 0.0, 0.0, -5.0, 0.0);
    e.push_back({0, 0});
    int status = -5;
    pokarr right = offset_of(e, kSideRight, 1.0, status);
    ASSERT_EQ(status, 0);
    std::vector<xy> got = entries_of(right);
    auto marker = std::find_if(got.begin(), got.end(), [](xy p) { return p.x > 1e20; });
    ASSERT_NE(marker, got.end());
    EXPECT_DOUBLE_EQ(marker[1].x, 6.0);
    EXPECT_DOUBLE_EQ(marker[1].y, 1.0);
    EXPECT_NEAR(marker[3].x, -6.0, 1e-12);
    EXPECT_NEAR(marker[3].y, 0.0, 1e-12);

    pokarr left = offset_of(e, kSideLeft, 1.0, status);
    ASSERT_EQ(status, 0);
    got = entries_of(left);
    marker = std::find_if(got.begin(), got.end(), [](xy p) { return p.x > 1e20; });
    ASSERT_NE(marker, got.end());
    EXPECT_DOUBLE_EQ(marker[1].x, 4.0);

    // Offset by more than the radius: only the end point remains of the arc.
    pokarr gone = offset_of(e, kSideLeft, 5.0, status);
    ASSERT_EQ(status, 0);
    got = entries_of(gone);
    EXPECT_TRUE(std::none_of(got.begin(), got.end(), [](xy p) { return p.x > 1e20; }));
}

TEST_F(LaneTest, RefusedLoopsGiveElevenAndAppendNothing)
{
    pokarr result;
    pokarr_init(2, result);
    int status = 0;
    pokarr empty;
    pokarr_init(2, empty);
    pokarr_offset_2d(kSideRight, 1, 1.0, empty, result, status);
    EXPECT_EQ(status, kOffsetFailed);

    std::vector<double> x(7001), y(7001);
    for (int i = 0; i < 7001; ++i) x[i] = i, y[i] = 0.0;
    pokarr big;
    pokarr_init_static(2, x.data(), y.data(), nullptr, nullptr, 7001, 7001, big, status);
    ASSERT_EQ(status, 0);
    pokarr_offset_2d(kSideRight, 1, 1.0, big, result, status);
    EXPECT_EQ(status, kOffsetFailed);
    EXPECT_EQ(result.count, 0);

    // A broken arc record at the end is refused rather than read past the loop.
    std::vector<xy> broken = {{0, 0}, {5, 0}, {kMarkerX, 0}, {5, 1}};
    pokarr b = make_from(broken);
    pokarr_offset_2d(kSideRight, 1, 1.0, b, result, status);
    EXPECT_EQ(status, kOffsetFailed);
}

TEST_F(LaneTest, SmallLoopsHaveDefinedOffsets)
{
    int status = -5;
    pokarr two = offset_of({{0, 0}, {4, 0}}, kSideRight, 1.0, status);
    EXPECT_EQ(status, 0);
    const std::vector<xy> got = entries_of(two);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_NEAR(got[0].y, -1.0, 1e-12);
    EXPECT_NEAR(got[1].y, -1.0, 1e-12);

    offset_of({{1, 1}}, kSideRight, 1.0, status);
    EXPECT_EQ(status, kOffsetFailed);

    // Zero-length elements do not make NaNs.
    pokarr flat = offset_of({{0, 0}, {3, 0}, {3, 0}, {3, 3}, {0, 0}}, kSideRight, 1.0, status);
    EXPECT_EQ(status, 0);
    for (const xy& p : entries_of(flat)) {
        EXPECT_TRUE(std::isfinite(p.x));
        EXPECT_TRUE(std::isfinite(p.y));
    }
}

TEST_F(LaneTest, OffsetPointsLieAtDistanceFromTheirSource)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        pocket_work_block.corner_arcs = static_cast<int>(seed % 2);
        const std::vector<xy> source = random_star_loop(rng, 5 + static_cast<int>(seed % 9), 0.4);
        const double d = 0.1 + 0.05 * (seed % 7);
        const int side = seed % 3 == 0 ? kSideLeft : kSideRight;
        int status = -5;
        pokarr r = offset_of(source, side, d, status);
        ASSERT_EQ(status, 0);
        const std::vector<xy> got = entries_of(r);
        for (std::size_t i = 0; i < got.size(); ++i) {
            if (got[i].x > 1e20) {
                // An arc: around a source vertex with radius d, or around a source arc's centre
                // with its radius changed by d.
                const xy c = got[i + 2];
                const double radius = got[i + 1].x;
                bool explained = false;
                for (std::size_t k = 0; k < source.size(); ++k) {
                    if (source[k].x > 1e20) {
                        const bool centre = distance(source[k + 2], c) < 1e-9;
                        if (centre && std::fabs(std::fabs(radius - source[k + 1].x) - d) < 1e-9) explained = true;
                        k += 2;  // the arc's end point is a vertex too
                    } else if (distance(source[k], c) < 1e-9 && std::fabs(radius - d) < 1e-9) {
                        explained = true;
                    }
                }
                EXPECT_TRUE(explained) << "arc at entry " << i << " r " << radius << " c " << c.x << "," << c.y << " d "
                                       << d;
                EXPECT_NEAR(std::fabs(distance(got[i + 3], c) - radius), 0.0, 1e-9);
                i += 2;  // the end point is checked as a point below
                continue;
            }
            const std::vector<double> dist = carrier_distances(source, got[i].x, got[i].y);
            const bool on_offset =
                std::any_of(dist.begin(), dist.end(), [d](double v) { return std::fabs(v - d) < 1e-9; });
            EXPECT_TRUE(on_offset) << "point " << i << " (" << got[i].x << ", " << got[i].y << ")";
        }
    }
}

TEST_F(LaneTest, ConvexLoopOffsetOutAndBackComesHome)
{
    pocket_work_block.corner_arcs = 1;
    pocket_work_block.working_tolerance = 0.001;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        // A convex polygon: points on a circle at sorted random angles.
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        const int n = 4 + static_cast<int>(seed % 6);
        std::vector<xy> v;
        for (int k = 0; k < n; ++k) {
            const double a = 2.0 * std::acos(-1.0) * (k + 0.2 + 0.6 * unit(rng)) / n;
            v.push_back({10.0 * std::cos(a), 10.0 * std::sin(a)});
        }
        std::vector<xy> source = {{0.5 * (v[0].x + v[1].x), 0.5 * (v[0].y + v[1].y)}};
        for (int k = 1; k <= n; ++k) source.push_back(v[k % n]);
        source.push_back(source.front());
        const double d = 0.5 + unit(rng);
        int status = -5;
        pokarr out = offset_of(source, kSideRight, d, status);
        ASSERT_EQ(status, 0);
        pokarr back;
        pokarr_init(2, back);
        pokarr_offset_2d(kSideLeft, 1, d, out, back, status);
        ASSERT_EQ(status, 0);
        int closed = 1;
        pokarr_drop_redundant(closed, 0, back);
        const std::vector<xy> got = entries_of(back);
        for (int k = 0; k < n; ++k) {
            const bool found = std::any_of(got.begin(), got.end(), [&](xy p) { return distance(p, v[k]) < 1e-9; });
            EXPECT_TRUE(found) << "vertex " << k;
        }
        for (const xy& p : got) {
            ASSERT_LT(p.x, 1e20) << "a corner arc survived the way back";
            const std::vector<double> dist = carrier_distances(source, p.x, p.y);
            EXPECT_LT(*std::min_element(dist.begin(), dist.end()), 1e-9);
        }
    }
}
