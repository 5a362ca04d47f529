// The intersection search: the box table, one element against a loop (against a brute-force
// all-pairs check on random polylines), and the crossing table of the loop removal.
#include "pocket_arrays/pk_box_kept.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_test_support.hpp"

#include <cmath>
#include <memory>
#include <random>

namespace {

class Search : public PocketTest {};

// A closed polygon of n + 1 entries on a circle (the last repeats the first).
void circle_loop(int n, double radius, std::vector<double>& x, std::vector<double>& y)
{
    x.clear();
    y.clear();
    for (int i = 0; i <= n; ++i) {
        const double a = 2.0 * M_PI * (i % n) / n;
        x.push_back(radius * std::cos(a));
        y.push_back(radius * std::sin(a));
    }
}

TEST_F(Search, BoxTableOfA101EntryLoopHasTenGroupsOfTen)
{
    std::vector<double> x, y;
    circle_loop(100, 10.0, x, y);
    auto table = std::make_unique<pk_box_table>();
    pokarr_boxes(101, x.data(), y.data(), *table);
    ASSERT_EQ(table->groups, 10);
    for (int g = 0; g < 10; ++g) EXPECT_EQ(table->first[g], 1 + 10 * g);
    EXPECT_EQ(table->first[10], 101);
    // Every group's box holds the points of its elements.
    for (int g = 0; g < 10; ++g) {
        for (int i = table->first[g] - 1; i <= table->first[g + 1] - 1; ++i) {
            EXPECT_LE(table->xmin[g], x[i]);
            EXPECT_GE(table->xmax[g], x[i]);
            EXPECT_LE(table->ymin[g], y[i]);
            EXPECT_GE(table->ymax[g], y[i]);
        }
    }
}

TEST_F(Search, BoxTableEdgeCounts)
{
    auto table = std::make_unique<pk_box_table>();
    const double x[1] = {3.0}, y[1] = {4.0};
    pokarr_boxes(0, x, y, *table);
    EXPECT_EQ(table->groups, 0);
    pokarr_boxes(1, x, y, *table);
    ASSERT_EQ(table->groups, 1);
    EXPECT_EQ(table->xmin[0], 3.0);
    EXPECT_EQ(table->ymax[0], 4.0);
    pokarr empty;
    pokarr_init(2, empty);
    pokarr_get_boxes(empty, *table);
    EXPECT_EQ(table->groups, 0);
}

TEST_F(Search, BoxTableIsCappedAt749Groups)
{
    // 600000 elements would give 774 groups of 775.
    std::vector<double> x, y;
    circle_loop(600000, 1000.0, x, y);
    auto table = std::make_unique<pk_box_table>();
    pokarr_boxes(static_cast<int>(x.size()), x.data(), y.data(), *table);
    EXPECT_LE(table->groups, kBoxGroupsMax);
    EXPECT_GE(table->groups, 700);
    EXPECT_EQ(table->first[0], 1);
    EXPECT_EQ(table->first[table->groups], static_cast<int>(x.size()));
}

TEST_F(Search, ArcRecordsCountAsOneElementAndBoxToTheirExtremes)
{
    // (10, 0), half circle through (0, 10) to (-10, 0), then back along the x axis.
    const std::vector<double> x = {10, kArcMarker, 10, 0, -10, 0, 10};
    const std::vector<double> y = {0, 0, 1, 0, 0, 0, 0};
    auto table = std::make_unique<pk_box_table>();
    pokarr_boxes(7, x.data(), y.data(), *table);
    // Three elements (the arc 1, the lines 5 and 6): a group size of 2 gives one group of 3.
    ASSERT_EQ(table->groups, 1);
    EXPECT_EQ(table->first[0], 1);
    EXPECT_EQ(table->first[1], 7);
    EXPECT_NEAR(table->ymax[0], 10.0, 1e-9);
    EXPECT_NEAR(table->ymin[0], 0.0, 1e-9);
    pokarr a = make_2d({{10, 0}, {kArcMarker, 0}, {10, 1}, {0, 0}, {-10, 0}, {0, 0}, {10, 0}});
    double box[4];
    pokarr_box(a, box);
    EXPECT_NEAR(box[3], 10.0, 1e-9);
    EXPECT_NEAR(box[0], -10.0, 1e-9);
    pokarr_free(a);
}

// The groups-only table agrees with the full one on its starts, for points alone, arc records
// in several groups and the edge counts.
TEST_F(Search, GroupsOnlyTableGivesTheStartsOfTheFullTable)
{
    std::vector<std::vector<xy>> rows = {{}, {{1, 2}}, {{0, 0}, {1, 0}}};
    std::vector<xy> points, arcs;
    for (int i = 0; i < 50; ++i) points.push_back({static_cast<double>(i), static_cast<double>(i % 3)});
    for (int i = 0; i < 12; ++i) {
        arcs.push_back({10.0 * i, 0});
        if (i % 2 == 0) arcs.insert(arcs.end(), {{kArcMarker, 0}, {5, 1}, {10.0 * i + 5, 0}});
    }
    rows.push_back(points);
    rows.push_back(arcs);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE(r);
        pokarr a = make_2d({});
        int status = 0;
        for (const xy& e : rows[r]) {
            const double p[2] = {e.x, e.y};
            pokarr_add_pnt(p, a, status);
        }
        auto full = std::make_unique<pk_box_table>();
        auto groups = std::make_unique<pk_box_table>();
        groups->groups = -7;
        pokarr_get_boxes(a, *full);
        pokarr_get_groups(a, *groups);
        ASSERT_EQ(groups->groups, full->groups);
        for (int g = 0; g <= full->groups && rows[r].size() >= 2; ++g) EXPECT_EQ(groups->first[g], full->first[g]) << g;
        pokarr_free(a);
    }
}

// A kept table lends the groups it was made with, kept as rows for a small lane and whole for a
// large one, even into a scratch table left full by a larger lane.
TEST_F(Search, KeptTablesLendTheTableTheyWereMadeFrom)
{
    std::unique_ptr<pk_box_table> scratch;
    for (const int points : {400, 2, 5, 17, 50, 82, 101}) {
        SCOPED_TRACE(points);
        pokarr a = make_2d({});
        int status = 0;
        for (int i = 0; i < points; ++i) {
            const double p[2] = {std::cos(0.1 * i) * i, std::sin(0.1 * i) * i};
            pokarr_add_pnt(p, a, status);
        }
        auto made = std::make_unique<pk_box_table>();
        pokarr_get_boxes(a, *made);
        pk_box_kept kept;
        pk_box_keep(a, kept, scratch);
        EXPECT_EQ(kept.whole != nullptr, made->groups > kBoxKeptRowsMax);
        const pk_box_table& lent = pk_box_lend(kept, scratch);
        ASSERT_EQ(lent.groups, made->groups);
        for (int g = 0; g <= made->groups; ++g) {
            EXPECT_EQ(lent.first[g], made->first[g]) << g;
            if (g == made->groups) break;
            EXPECT_TRUE(lent.xmin[g] == made->xmin[g] && lent.ymin[g] == made->ymin[g] &&
                        lent.xmax[g] == made->xmax[g] && lent.ymax[g] == made->ymax[g])
                << g;
        }
        pokarr_free(a);
    }
}

struct search_result {
    int found = 0, element = 0, group = 0;
    double x = 0, y = 0;
};

// One element of the loop (own > 0) or a free segment (own 0) against the loop, mode 1.
search_result search_line(const std::vector<double>& x, const std::vector<double>& y, const pk_box_table& table,
                          int own, double sx, double sy, double ex, double ey)
{
    const int count = static_cast<int>(x.size());
    const double absent[2] = {kDirectionAbsent, 0.0};
    search_result r;
    elem_pair_intersect(1, own, 1, 0, 0, 0, 0, 1, sx, sy, ex, ey, absent, x.data(), y.data(), x.data(), y.data(), count,
                        count - 1, 1, 0, 0, table, r.element, r.group, r.x, r.y, r.found);
    return r;
}

TEST_F(Search, ConsecutiveElementsNeverCrossAtTheirSharedVertex)
{
    std::vector<double> x, y;
    circle_loop(40, 5.0, x, y);
    auto table = std::make_unique<pk_box_table>();
    pokarr_boxes(41, x.data(), y.data(), *table);
    for (int e = 1; e <= 40; ++e) {
        const search_result r = search_line(x, y, *table, e, x[e - 1], y[e - 1], x[e], y[e]);
        EXPECT_EQ(r.found, kSearchNone) << "element " << e << " at " << r.x << ", " << r.y;
    }
}

TEST_F(Search, TheNearestCrossingWins)
{
    const std::vector<double> x = {0, 10, 10, 0, 0};
    const std::vector<double> y = {0, 0, 10, 10, 0};
    auto table = std::make_unique<pk_box_table>();
    pokarr_boxes(5, x.data(), y.data(), *table);
    search_result r = search_line(x, y, *table, 0, -5, 5, 15, 5);
    ASSERT_EQ(r.found, kSearchFound);
    EXPECT_NEAR(r.x, 0.0, 1e-12);
    EXPECT_EQ(r.element, 4);
    r = search_line(x, y, *table, 0, 15, 5, -5, 5);
    ASSERT_EQ(r.found, kSearchFound);
    EXPECT_NEAR(r.x, 10.0, 1e-12);
    EXPECT_EQ(r.element, 2);
    r = search_line(x, y, *table, 0, 2, 2, 8, 8);  // inside, touching nothing
    EXPECT_EQ(r.found, kSearchNone);
}

TEST_F(Search, AnArcElementFindsItsCrossingWithTheLoop)
{
    const std::vector<double> x = {0, 10, 10, 0, 0};
    const std::vector<double> y = {0, 0, 10, 10, 0};
    auto table = std::make_unique<pk_box_table>();
    pokarr_boxes(5, x.data(), y.data(), *table);
    // Quarter circle about (10, 10) of radius 5 from (15, 10) to (10, 15): outside, no crossing.
    const double absent[2] = {kDirectionAbsent, 0.0};
    search_result r;
    elem_pair_intersect(1, 0, 1, 1, 10, 10, 5, 1, 15, 10, 10, 15, absent, nullptr, nullptr, x.data(), y.data(), 5, 4, 1,
                        0, 0, *table, r.element, r.group, r.x, r.y, r.found);
    EXPECT_EQ(r.found, kSearchNone);
    // Half circle about (10, 5) of radius 3 from (7, 5) clockwise to (13, 5) crosses x = 10 at y 8.
    elem_pair_intersect(1, 0, 1, 1, 10, 5, 3, -1, 7, 5, 13, 5, absent, nullptr, nullptr, x.data(), y.data(), 5, 4, 1, 0,
                        0, *table, r.element, r.group, r.x, r.y, r.found);
    ASSERT_EQ(r.found, kSearchFound);
    EXPECT_NEAR(r.x, 10.0, 1e-9);
    EXPECT_NEAR(r.y, 8.0, 1e-9);
    EXPECT_EQ(r.element, 2);
}

// Brute force: the crossing of two segments by their parameters, for segments in general position.
bool brute_crossing(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy, double& px,
                    double& py)
{
    const double rx = bx - ax, ry = by - ay, sx = dx - cx, sy = dy - cy;
    const double denominator = rx * sy - ry * sx;
    if (std::fabs(denominator) < 1e-12) return false;
    const double t = ((cx - ax) * sy - (cy - ay) * sx) / denominator;
    const double u = ((cx - ax) * ry - (cy - ay) * rx) / denominator;
    if (t < 0.0 || t > 1.0 || u < 0.0 || u > 1.0) return false;
    px = ax + t * rx;
    py = ay + t * ry;
    return true;
}

TEST_F(Search, AgreesWithBruteForceOnRandomPolylines)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> coordinate(0.0, 100.0);
        const int points = 20 + static_cast<int>(seed) * 5;
        std::vector<double> x, y;
        for (int i = 0; i < points; ++i) {
            x.push_back(coordinate(random));
            y.push_back(coordinate(random));
        }
        x.push_back(x[0]);
        y.push_back(y[0]);
        const int count = static_cast<int>(x.size());
        auto table = std::make_unique<pk_box_table>();
        pokarr_boxes(count, x.data(), y.data(), *table);
        for (int e = 1; e < count; ++e) {
            // Brute force over every element that is not e; neighbours meet only at their vertex.
            bool expected = false;
            double best = 1e300, bx = 0, by = 0;
            for (int k = 1; k < count; ++k) {
                const bool neighbour =
                    k == e || k == e - 1 || k == e + 1 || (e == 1 && k == count - 1) || (e == count - 1 && k == 1);
                if (neighbour) continue;
                double px, py;
                if (!brute_crossing(x[e - 1], y[e - 1], x[e], y[e], x[k - 1], y[k - 1], x[k], y[k], px, py)) continue;
                const double d = std::hypot(px - x[e - 1], py - y[e - 1]);
                if (d < best) {
                    best = d;
                    bx = px;
                    by = py;
                }
                expected = true;
            }
            const search_result r = search_line(x, y, *table, e, x[e - 1], y[e - 1], x[e], y[e]);
            ASSERT_EQ(r.found != kSearchNone, expected) << "seed " << seed << " element " << e;
            if (expected) {
                EXPECT_NEAR(r.x, bx, 1e-6) << "seed " << seed << " element " << e;
                EXPECT_NEAR(r.y, by, 1e-6) << "seed " << seed << " element " << e;
            }
        }
    }
}

struct ingo_table {
    int count = 0;
    int hits[kCkintrMax] = {};
    int ingo[kIngoSize] = {}, ingo1[kIngoSize] = {};
    double side1[kIngoSize] = {}, side2[kIngoSize] = {}, x[kIngoSize] = {}, y[kIngoSize] = {};
    double z[kIngoSize] = {}, z2[kIngoSize] = {};
    int enter(int i, int j, double px, double py, int& flag)
    {
        const double start[3] = {-1, -1, 0};
        int status = 0;
        ckintr(count, hits, ingo, ingo1, side1, side2, x, y, z, z2, i, j, px, py, 0, 0, 0, 1, start, flag, status);
        return status;
    }
};

TEST_F(Search, CkintrTakes750CrossingsAndRefusesThe751st)
{
    pocket_state_block.pocket_dimension = 2;
    auto t = std::make_unique<ingo_table>();
    int flag = 0;
    for (int k = 0; k < kCkintrMax; ++k) ASSERT_EQ(t->enter(k + 1, k + 3, k, 2.0 * k, flag), kCkintrEntered) << k;
    EXPECT_EQ(t->count, 750);
    EXPECT_EQ(t->enter(900, 905, -5, -5, flag), kCkintrFull);
    EXPECT_EQ(t->count, 750);
    EXPECT_EQ(t->ingo[750], 0);  // nothing written past the table
    EXPECT_EQ(t->ingo[749], -750);
    EXPECT_EQ(t->ingo1[749], -752);
}

TEST_F(Search, CkintrEnteredAgainWithTheFlagSetEntersNothing)
{
    pocket_state_block.pocket_dimension = 2;
    auto t = std::make_unique<ingo_table>();
    int flag = 1;
    ASSERT_EQ(t->enter(3, 7, 1.0, 1.0, flag), kCkintrEntered);
    EXPECT_EQ(t->ingo[0], 3);
    EXPECT_EQ(t->ingo1[0], -7);
    const int status = t->enter(7, 3, 1.0, 1.0, flag);
    EXPECT_EQ(t->count, 1);
    EXPECT_LT(t->ingo[0], 0);
    EXPECT_LT(t->ingo1[0], 0);
    EXPECT_EQ(t->hits[0], 1);
    EXPECT_NE(status, kCkintrFull);
}

}  // namespace
