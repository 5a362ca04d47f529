// Longest element, length, the two arc-tidying passes and the arc re-fit at a moved end point.
#include "pocket_test_support.hpp"

#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pokarr_join_arc.hpp"
#include "pocket_arrays/pokarr_measures.hpp"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

void add_arc(pokarr& a, double ex, double ey, double cx, double cy, double r, int d)
{
    int status = 0;
    pokarr_add_arc(ex, ey, nullptr, cx, cy, r, d, a, status);
}

void add_point(pokarr& a, double x, double y)
{
    int status = 0;
    const double p[2] = {x, y};
    pokarr_add_pnt(p, a, status);
}

// A 2-D array from (0, 0): an arc of the given radius and sweep (degrees) about a centre below
// the start, then a line onward.
pokarr arc_then_line(double r, double sweep_degrees)
{
    pokarr a = make_2d({{0, 0}});
    const double angle = sweep_degrees * kPi / 180.0;
    // Centre (0, -r); clockwise from the top of the circle.
    add_arc(a, r * std::sin(angle), -r + r * std::cos(angle), 0, -r, r, -1);
    add_point(a, 50, -50);
    return a;
}

}  // namespace

TEST_F(PocketTest, LongestElementWeighsArcChords)
{
    // Square of side 10 whose top edge is replaced by an arc of chord 8.3.
    pokarr a = make_2d({{0, 0}, {10, 0}, {10, 10}, {8.3, 10}});
    add_arc(a, 0, 10, 4.15, 20, 11, 1);
    add_point(a, 0, 0);
    int index = 0;
    pokarr_longest_elem(a, index);
    EXPECT_EQ(index, 4);
    pokarr equal = make_2d({{0, 0}, {3, 0}, {3, 3}});
    pokarr_longest_elem(equal, index);
    EXPECT_EQ(index, 1);
    pokarr one = make_2d({{1, 1}});
    pokarr_longest_elem(one, index);
    EXPECT_EQ(index, -1);
    for (pokarr* p : {&a, &equal, &one}) pokarr_free(*p);
}

TEST_F(PocketTest, LengthOfAHalfCircleAndTheParallelLengthsArray)
{
    pokarr a = make_2d({{5, 0}});
    add_arc(a, -5, 0, 0, 0, 5, 1);
    add_point(a, -5, -3);
    pokarr lengths;
    pokarr_init(1, lengths);
    double total = 0;
    int status = 9;
    pokarr_length(0, a, &lengths, total, status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(total, 5 * kPi + 3, 1e-12);
    ASSERT_EQ(lengths.count, a.count - 1);
    EXPECT_NEAR(lengths.x[0], 5 * kPi, 1e-12);
    EXPECT_EQ(lengths.x[1], 0.0);
    EXPECT_EQ(lengths.x[3], 0.0);
    EXPECT_EQ(lengths.x[4], 3.0);

    pokarr three;
    pokarr_init(3, three);
    const double p[3] = {0, 0, 0}, q[3] = {3, 0, 4};
    pokarr_add_pnt(p, three, status);
    pokarr_add_pnt(q, three, status);
    pokarr_length(0, three, nullptr, total, status);
    EXPECT_EQ(total, 5.0);
    pokarr_length(2, three, nullptr, total, status);
    EXPECT_EQ(total, 3.0);
    for (pokarr* x : {&a, &lengths, &three}) pokarr_free(*x);
}

TEST_F(PocketTest, ShortArcsBecomeChordsAgainstTheEngineStep)
{
    struct row {
        double step;
        double chord;
        bool becomes_chords;
    };
    // Step 2: limit 0.1, chords below about 0.0316; step 0.5: below about 0.0158.
    const row rows[] = {{2.0, 0.030, true}, {2.0, 0.033, false}, {0.5, 0.015, true}, {0.5, 0.017, false}};
    for (const row& r : rows) {
        pocket_work_block.engine_step = r.step;
        pokarr a = make_2d({{0, 0}});
        add_arc(a, r.chord, 0, r.chord / 2, -1, std::hypot(r.chord / 2, 1.0), -1);
        add_point(a, 1, 1);
        pokarr_tidy_pass1(a);
        EXPECT_EQ(a.count, 6);
        EXPECT_EQ(pk_is_marker(a.x[1]), !r.becomes_chords) << r.step << " " << r.chord;
        if (r.becomes_chords) {
            EXPECT_NEAR(a.x[2], r.chord / 2, 1e-12);  // the point at 0.5 is the arc's midpoint
            EXPECT_GT(a.y[2], 0.0);
        }
        pokarr_free(a);
    }
}

TEST_F(PocketTest, FlatArcsBecomeLines)
{
    struct row {
        double radius;
        bool becomes_line;
    };
    for (const row& r : {row{10.0, true}, row{100.0, false}}) {
        pokarr a = arc_then_line(r.radius, 0.5);
        pokarr_tidy_pass2(a);
        EXPECT_EQ(a.count, r.becomes_line ? 3 : 6) << r.radius;
        EXPECT_EQ(a.x[a.count - 1], 50.0);
        pokarr_free(a);
    }
    pokarr small = make_2d({{0, 0}});
    add_arc(small, 1, 0, 0.5, 0, 0.5, 1);  // 4 entries... plus the start: exactly 5
    small.count = 4;                       // an array of 4 entries passes unchanged
    pokarr_tidy_pass2(small);
    pokarr_tidy_pass1(small);
    EXPECT_EQ(small.count, 4);
    pokarr_free(small);
}

TEST_F(PocketTest, FlatArcsGoWhereverTheyStand)
{
    // Two arcs of half a degree, each followed by a line: radius 10 is flat, 100 is not. The
    // records of the flat ones go; every other entry keeps its place in order.
    struct row {
        double first, second;
    };
    for (const row r : {row{10, 10}, row{10, 100}, row{100, 10}, row{100, 100}}) {
        pokarr a = arc_then_line(r.first, 0.5);
        const double angle = 0.5 * kPi / 180.0;
        add_arc(a, 50 + r.second * std::sin(angle), -50 - r.second + r.second * std::cos(angle), 50, -50 - r.second,
                r.second, -1);
        add_point(a, 100, -100);
        std::vector<xy> expected = entries_of(a);
        if (r.second == 10) expected.erase(expected.begin() + 6, expected.begin() + 9);
        if (r.first == 10) expected.erase(expected.begin() + 1, expected.begin() + 4);
        pokarr_tidy_pass2(a);
        const std::vector<xy> got = entries_of(a);
        ASSERT_EQ(got.size(), expected.size()) << r.first << " " << r.second;
        for (std::size_t k = 0; k < got.size(); ++k) {
            EXPECT_EQ(got[k].x, expected[k].x) << k;
            EXPECT_EQ(got[k].y, expected[k].y) << k;
        }
        pokarr_free(a);
    }
}

TEST_F(PocketTest, ArcRefitMovesTheCentreToTheNewEnd)
{
    pocket_work_block.tolerance = 0.01;
    // Quarter arc of radius 5 about (0, 0) from (5, 0) to (0, 5), then a short line and on.
    pokarr a = make_2d({{5, 0}});
    add_arc(a, 0, 5, 0, 0, 5, 1);
    add_point(a, -0.2, 5.0);
    add_point(a, -3, 5);
    add_point(a, 5, 0);
    pokarr_join_arc(0, 5, 0, a);  // the arc now ends at (-0.2, 5)
    const double centre[2] = {a.x[3], a.y[3]};
    EXPECT_NEAR(std::hypot(5 - centre[0], 0 - centre[1]), 5.0, 1e-12);
    EXPECT_NEAR(std::hypot(-0.2 - centre[0], 5 - centre[1]), 5.0, 1e-12);
    EXPECT_LT(std::hypot(centre[0], centre[1]), 0.5);  // the one near the old centre
    EXPECT_EQ(a.count, 8);

    // An end 1.999 radii from the start changes nothing.
    pokarr wide = make_2d({{5, 0}});
    add_arc(wide, 0, 5, 0, 0, 5, 1);
    add_point(wide, -4.995, 0.0);
    pokarr_join_arc(0, 5, 0, wide);
    EXPECT_EQ(wide.x[3], 0.0);
    EXPECT_EQ(wide.y[3], 0.0);
    // An incomplete record changes nothing either.
    pokarr cut = make_2d({{5, 0}, {1e25, 0}, {5, 1}, {0, 0}});
    pokarr_join_arc(0, 3, 0, cut);
    EXPECT_EQ(cut.x[3], 0.0);
    for (pokarr* p : {&a, &wide, &cut}) pokarr_free(*p);
}

TEST_F(PocketTest, ArcRefitMovesANearJunctionAndLeavesAFarOne)
{
    // Two arcs meeting at (0, 5): the first about (0, 0), the second about (0, 10) with a radius
    // a little larger, so that its circle crosses the first's about 0.07 from the junction. The
    // first is re-fitted in mode 1 to start at a point moved slightly; the junction follows onto
    // the crossing of the circles only within twice the tolerance.
    for (double tolerance : {0.05, 0.001}) {
        pocket_work_block.tolerance = tolerance;
        pokarr a = make_2d({{5.02, 0}, {5, 0}});
        add_arc(a, 0, 5, 0, 0, 5, 1);
        add_arc(a, -5.001, 10, 0, 10, 5.001, -1);
        add_point(a, 5.02, 0);
        pokarr_join_arc(1, 0, 1, a);  // the arc from entry 1 now starts at entry 0
        const double c[2] = {a.x[4], a.y[4]};
        EXPECT_NEAR(std::hypot(5.02 - c[0], -c[1]), 5.0, 1e-9);
        const double shift = std::hypot(a.x[5] - 0.0, a.y[5] - 5.0);
        if (tolerance > 0.01) {
            EXPECT_GT(shift, 0.0) << tolerance;
            EXPECT_NEAR(std::hypot(a.x[5] - c[0], a.y[5] - c[1]), 5.0, 1e-9);
            EXPECT_NEAR(std::hypot(a.x[5], a.y[5] - 10.0), 5.001, 1e-9);
            EXPECT_LT(shift, 0.1);
        } else {
            EXPECT_EQ(shift, 0.0) << tolerance;
        }
        pokarr_free(a);
    }
}

TEST_F(PocketTest, ArcRefitPutsAJunctionBeyondAShortFollowingArcAtItsEnd)
{
    // A quarter arc re-fitted in mode 0 to end at (-0.01, 5); the short clockwise arc that
    // follows crosses the new circle beyond its own end, so the junction takes that end.
    pocket_work_block.tolerance = 0.05;
    pokarr a = make_2d({{5, 0}});
    add_arc(a, 0, 5, 0, 0, 5, 1);
    add_point(a, -0.01, 5.0);
    const double r = 5.001;
    const double end_angle = std::atan2(-5.0, -0.01) - 0.004;
    add_arc(a, r * std::cos(end_angle), 10 + r * std::sin(end_angle), 0, 10, r, -1);
    add_point(a, -5, 10);
    add_point(a, 5, 0);
    pokarr_join_arc(0, 5, 0, a);
    EXPECT_NE(a.y[3], 0.0);  // the centre moved
    EXPECT_EQ(a.x[5], a.x[9]);
    EXPECT_EQ(a.y[5], a.y[9]);
    pokarr_free(a);
}
