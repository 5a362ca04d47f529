// Area and direction, reversal with arcs, and the splitting of big arcs.
#include "pocket_test_support.hpp"

#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pokarr_measures.hpp"

#include <cmath>
#include <random>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Appends an arc about (cx, cy) from the last entry to the given end.
void add_arc(pokarr& a, double ex, double ey, double cx, double cy, double r, int d)
{
    int status = 0;
    pokarr_add_arc(ex, ey, nullptr, cx, cy, r, d, a, status);
    ASSERT_EQ(status, 0);
}

}  // namespace

TEST_F(PocketTest, AreaOfTheUnitSquareInBothDirections)
{
    struct row {
        std::initializer_list<xy> points;
        double area;
        int direction;
    };
    const row rows[] = {
        {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 1.0, 1},
        {{{0, 0}, {0, 1}, {1, 1}, {1, 0}}, 1.0, -1},
        {{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}, 1.0, 1},  // repeated closing point
        {{{0, 0}, {1, 1}, {2, 2}}, 0.0, -1},                 // degenerate outline
    };
    for (const row& r : rows) {
        pokarr a = make_2d(r.points);
        double area = -1.0;
        int direction = 0;
        pokarr_area_dir(a, area, direction);
        EXPECT_DOUBLE_EQ(area, r.area);
        EXPECT_EQ(direction, r.direction);
        pokarr_free(a);
    }
}

TEST_F(PocketTest, AreaIsCachedUntilTheDirectionIsCleared)
{
    pokarr a = make_2d({{0, 0}, {2, 0}, {2, 2}, {0, 2}});
    pokarr_area(a);
    EXPECT_DOUBLE_EQ(a.area, 4.0);
    a.x[1] = 4.0;  // edited directly: the cache stands until cleared
    pokarr_area(a);
    EXPECT_DOUBLE_EQ(a.area, 4.0);
    a.direction = 0;
    pokarr_area(a);
    EXPECT_DOUBLE_EQ(a.area, 6.0);
    pokarr_free(a);
}

TEST_F(PocketTest, CircleOfThreeArcsHasTheAreaOfTheCircle)
{
    for (int d : {1, -1}) {
        const double r = 2.5, cx = 10.0, cy = -4.0;
        pokarr a;
        pokarr_init(2, a);
        int status = 0;
        const double start[2] = {cx + r, cy};
        pokarr_add_pnt(start, a, status);
        for (int k = 1; k <= 3; ++k) {
            const double angle = d * k * 2.0 * kPi / 3.0;
            add_arc(a, cx + r * std::cos(angle), cy + r * std::sin(angle), cx, cy, r, d);
        }
        pokarr_area(a);
        EXPECT_NEAR(a.area, kPi * r * r, 1e-9);
        EXPECT_EQ(a.direction, d);
        pokarr_free(a);
    }
}

TEST_F(PocketTest, ReversalKeepsArcsValidAndNegatesTheDirection)
{
    // P0, arc (marker, radius, centre, P1), P2: half a unit circle then a line.
    pokarr a = make_2d({{1, 0}});
    add_arc(a, 0, 1, 0, 0, 1, 1);
    int status = 0;
    const double p2[2] = {0, 0};
    pokarr_add_pnt(p2, a, status);
    pokarr_area(a);
    const double area = a.area;
    const int direction = a.direction;
    pokarr_reverse(a);
    const std::vector<xy> expected = {{0, 0}, {0, 1}, {1.0e25, 0}, {1, -1}, {0, 0}, {1, 0}};
    const std::vector<xy> got = entries_of(a);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].x, expected[i].x) << i;
        EXPECT_EQ(got[i].y, expected[i].y) << i;
    }
    EXPECT_EQ(a.direction, -direction);
    EXPECT_EQ(a.area, area);
    a.direction = 0;
    pokarr_area(a);
    EXPECT_NEAR(a.area, area, 1e-12);
    EXPECT_EQ(a.direction, -direction);
    pokarr_free(a);
}

TEST_F(PocketTest, RecordsReverseRoundTripsAndRefusesBadModes)
{
    std::vector<double> records = {0, 0, 1, 1, 0, 2, 2, 2, 4,   // x, y, z records
                                   0, 0, 1, 0, 1, 0, 1, 0, 0};  // their normals
    int status = 0;
    records_reverse(4, records.data(), 3, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(records, (std::vector<double>{2, 2, 4, 1, 0, 2, 0, 0, 1, 1, 0, 0, 0, 1, 0, 0, 0, 1}));
    records_reverse(5, records.data(), 3, status);
    EXPECT_EQ(status, 11);
    double x[3] = {1, 2, 3}, y[3] = {4, 5, 6};
    EXPECT_EQ(xy_reverse(x, y, 3), 3);
    EXPECT_EQ(x[0], 3.0);
    EXPECT_EQ(y[2], 4.0);
}

TEST_F(PocketTest, ArcOf270DegreesSplitsIntoQuarterTurns)
{
    pokarr a = make_2d({{1, 0}});
    add_arc(a, 0, -1, 0, 0, 1, 1);  // counter-clockwise from angle 0 to 270
    int status = 0;
    pokarr_split_big_arcs(a, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(a.count, 13);
    const xy ends[3] = {{0, 1}, {-1, 0}, {0, -1}};
    for (int k = 0; k < 3; ++k) {
        const int marker = 1 + 4 * k;
        EXPECT_EQ(a.x[marker], 1.0e25);
        EXPECT_EQ(a.x[marker + 1], 1.0);
        EXPECT_EQ(a.y[marker + 1], 1.0);
        EXPECT_NEAR(a.x[marker + 3], ends[k].x, 1e-15);
        EXPECT_NEAR(a.y[marker + 3], ends[k].y, 1e-15);
    }
    // A quarter arc is left alone.
    pokarr quarter = make_2d({{1, 0}});
    add_arc(quarter, 0, 1, 0, 0, 1, 1);
    pokarr_split_big_arcs(quarter, status);
    EXPECT_EQ(quarter.count, 5);
    pokarr_free(a);
    pokarr_free(quarter);
}

// Arcs of every sweep in one loop, lines between them: each splits into quarter turns and a rest
// below half a turn, ends on its circle where it ended, and the entries after it move up by what
// the splits before them added.
TEST_F(PocketTest, SplitCutsEveryArcOfALoopIntoQuarterTurns)
{
    struct row {
        double sweep;  // degrees
        int direction, records;
    };
    const row rows[] = {{45, 1, 1},   {170, -1, 1},  {179, 1, 2},  {200, -1, 2}, {270, 1, 3},
                        {300, -1, 3}, {358.5, 1, 4}, {359, -1, 4}, {90, 1, 1},   {250, 1, 2}};
    pokarr a = make_2d({{1, 0}});
    int expected = 1, status = 0;
    for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
        const double cx = 10.0 * i, angle = rows[i].direction * rows[i].sweep * kPi / 180.0;
        if (i > 0) {
            const double start[2] = {cx + 1, 0};
            pokarr_add_pnt(start, a, status);
        }
        add_arc(a, cx + std::cos(angle), std::sin(angle), cx, 0, 1, rows[i].direction);
        expected += (i > 0 ? 1 : 0) + kArcRecordEntries * rows[i].records;
    }
    pokarr_split_big_arcs(a, status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(a.count, expected);
    int m = 1;
    for (int i = 0; i < static_cast<int>(std::size(rows)); ++i, ++m) {
        const row& r = rows[i];
        const double cx = 10.0 * i, angle = r.direction * r.sweep * kPi / 180.0;
        for (int k = 0; k < r.records; ++k, m += kArcRecordEntries) {
            ASSERT_TRUE(pk_is_marker(a.x[m])) << "arc " << i << " record " << k;
            EXPECT_EQ(a.y[m + 1], r.direction);
            EXPECT_EQ(a.x[m + 2], cx);
            const double ax = a.x[m - 1] - cx, ay = a.y[m - 1], bx = a.x[m + 3] - cx, by = a.y[m + 3];
            const double turn = r.direction * std::atan2(ax * by - ay * bx, ax * bx + ay * by);
            EXPECT_NEAR(std::hypot(bx, by), 1.0, 1e-12) << "arc " << i << " record " << k;
            if (k + 1 < r.records)
                EXPECT_NEAR(turn, kPi / 2, 1e-12) << "arc " << i << " record " << k;
            else
                EXPECT_TRUE(turn > 0.0 && turn < kPi) << "arc " << i << " turn " << turn;
        }
        EXPECT_EQ(a.x[m - 1], cx + std::cos(angle)) << "arc " << i;
        EXPECT_EQ(a.y[m - 1], std::sin(angle)) << "arc " << i;
    }
    pokarr_free(a);
}

TEST_F(PocketTest, PropertyAreaOfAPolygonAndItsReversalAreEqual)
{
    const unsigned seed = 20240611;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> radius(1.0, 10.0);
    std::uniform_real_distribution<double> shift(-1000.0, 1000.0);
    for (int trial = 0; trial < 200; ++trial) {
        // A star-shaped polygon about a random centre: never degenerate.
        const int n = 3 + trial % 40;
        const double cx = shift(random), cy = shift(random);
        pokarr a;
        pokarr_init(2, a);
        int status = 0;
        for (int i = 0; i < n; ++i) {
            const double angle = 2.0 * kPi * i / n;
            const double r = radius(random);
            const double p[2] = {cx + r * std::cos(angle), cy + r * std::sin(angle)};
            pokarr_add_pnt(p, a, status);
        }
        pokarr_area(a);
        const double area = a.area;
        EXPECT_EQ(a.direction, 1) << "seed " << seed << " trial " << trial;
        pokarr_reverse(a);
        a.direction = 0;
        pokarr_area(a);
        EXPECT_NEAR(a.area, area, 1e-9 * area) << "seed " << seed << " trial " << trial;
        EXPECT_EQ(a.direction, -1) << "seed " << seed << " trial " << trial;
        pokarr_free(a);
    }
}
