// Loop intersection: disjoint and crossing loops, touching vertices, the table limit with its
// message, the any-crossing tests, self crossings, junction tests, and agreement of the points
// found when the two loops are swapped, and the self search after nudges keeping what a fresh
// search finds.
#include "kernel_geometry.hpp"
#include "pocket_lanes/lane_test_support.hpp"

#include "pocket_arrays/delups.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokarr_nudge.hpp"

#include <algorithm>
#include <cmath>

namespace {

struct table {
    std::vector<int> a = std::vector<int>(kLuplupSelfRows), b = std::vector<int>(kLuplupSelfRows);
    std::vector<double> x = std::vector<double>(kLuplupSelfRows), y = std::vector<double>(kLuplupSelfRows);
    int count = 0, result = 0;
};

table run(int mode, pokarr& a, const pokarr& b)
{
    static pk_box_table boxes;
    pokarr_get_boxes(b, boxes);
    table t;
    LUPLUP(mode, a, b, boxes, t.a.data(), t.b.data(), t.x.data(), t.y.data(), t.count, t.result);
    return t;
}

pokarr square(double x0, double y0, double side)
{
    return make_from({{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}, {x0, y0}});
}

// A zigzag loop whose n rising segments each cross the line y = 0 once between x 0 and 1000.
pokarr zigzag(int n)
{
    std::vector<xy> e;
    for (int k = 0; k <= n; ++k) e.push_back({0.5 + 0.5 * k, k % 2 == 0 ? -1.0 : 0.5});
    if (n % 2 == 1) e.push_back({0.5 + 0.5 * n + 0.5, -1.0});
    e.push_back({e.back().x, -5.0});
    e.push_back({0.5, -5.0});
    e.push_back(e.front());
    return make_from(e);
}

}  // namespace

TEST_F(LaneTest, DisjointLoopsGiveNoRows)
{
    pokarr a = square(0, 0, 10);
    const table t = run(3, a, square(20, 0, 10));
    EXPECT_EQ(t.count, 0);
    EXPECT_EQ(t.result, 0);
}

TEST_F(LaneTest, OverlappingSquaresCrossTwiceInOrderAlongA)
{
    pokarr a = square(0, 0, 10), b = square(5, 5, 10);
    const table t = run(0, a, b);
    ASSERT_EQ(t.count, 2);
    // Along A: first on its right edge (element 2) at (10, 5), then on its top edge at (5, 10).
    EXPECT_EQ(t.a[0], 2);
    EXPECT_NEAR(t.x[0], 10.0, 1e-12);
    EXPECT_NEAR(t.y[0], 5.0, 1e-12);
    EXPECT_EQ(t.a[1], 3);
    EXPECT_NEAR(t.x[1], 5.0, 1e-12);
    EXPECT_NEAR(t.y[1], 10.0, 1e-12);
    EXPECT_EQ(t.b[0], 1);
    EXPECT_EQ(t.b[1], 4);

    const table first = run(100, a, b);
    EXPECT_EQ(first.count, 1);
    int status = -5;
    pokarr_intersect_test(100, a, b, status);
    EXPECT_EQ(status, 1);
    pokarr_intersect_test(100, a, square(30, 30, 1), status);
    EXPECT_EQ(status, 0);
}

TEST_F(LaneTest, TouchingVertexIsMarkedNegative)
{
    pokarr a = square(0, 0, 10);
    const pokarr b = make_from({{10, 10}, {15, 12}, {15, 8}, {10, 10}});
    const table t = run(3, a, b);
    ASSERT_GE(t.count, 1);
    for (int i = 0; i < t.count; ++i) {
        EXPECT_LT(t.b[i], 0) << "row " << i;
        EXPECT_NEAR(t.x[i], 10.0, 1e-12);
        EXPECT_NEAR(t.y[i], 10.0, 1e-12);
    }
    // Crossing at a vertex instead: B passes through A's corner into A.
    const pokarr c = make_from({{10, 10}, {15, 12}, {15, 15}, {5, 5}, {10, 10}});
    const table crossing = run(3, a, c);
    int positive = 0;
    for (int i = 0; i < crossing.count; ++i) positive += crossing.b[i] > 0 ? 1 : 0;
    EXPECT_GE(positive, 1);
}

TEST_F(LaneTest, TableLimitGivesMinusOneWithTheMessage)
{
    pokarr a = make_from({{0, 0}, {1000, 0}, {1000, 1}, {0, 1}, {0, 0}});
    const table full = run(0, a, zigzag(740));
    EXPECT_EQ(full.count, 740);
    EXPECT_TRUE(errors().empty());

    const table over = run(0, a, zigzag(741));
    EXPECT_EQ(over.count, -1);
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0], "LUPLUP,TOO MANY INTERSECTION POINTS WITH ISLAND ");

    // A failure is never read as "no crossing".
    int status = 0;
    pokarr_intersect_test(0, a, zigzag(741), status);
    EXPECT_LT(status, 0);

    // Outside the pocket procedure the engine is silent.
    const std::size_t lines = errors().size();
    pocket_mode_word = 1;
    const table quiet = run(0, a, zigzag(741));
    EXPECT_EQ(quiet.count, -1);
    EXPECT_EQ(errors().size(), lines);
    pocket_mode_word = 0;
}

TEST_F(LaneTest, SelfCrossingIsFound)
{
    // A figure eight crosses itself at the origin; a square does not.
    double ex[] = {0, 5, 5, -5, -5, 0};
    double ey[] = {0, 5, -5, 5, -5, 0};
    int status = -5;
    xy_self_intersect(ex, ey, 6, status);
    EXPECT_EQ(status, 1);
    double sx[] = {0, 10, 10, 0, 0};
    double sy[] = {0, 0, 10, 10, 0};
    xy_self_intersect(sx, sy, 5, status);
    EXPECT_EQ(status, 0);
}

TEST_F(LaneTest, JunctionTestsTable)
{
    struct row {
        double a_in[2], a_out[2], b_in[2], b_out[2];
        int touching;
    };
    // A runs along x through the origin; B comes in and leaves on one side, or crosses.
    const row rows[] = {
        {{1, 0}, {1, 0}, {0, 1}, {0, 1}, 0},             // crossing upwards
        {{1, 0}, {1, 0}, {0.6, 0.8}, {0.6, -0.8}, 1},    // dips down to touch from above
        {{1, 0}, {1, 0}, {-0.6, -0.8}, {-0.6, 0.8}, 1},  // comes from above, goes back up
        {{1, 0}, {0, 1}, {0, 1}, {1, 0}, 1},             // a mirror corner touching the corner
    };
    for (const row& r : rows) {
        int result = -1;
        chkjunc(1, r.a_in, r.a_out, r.b_in, r.b_out, result);
        EXPECT_EQ(result, r.touching);
    }
    const double zero[2] = {0, 0}, e[2] = {1, 0};
    int result = -1;
    chkjunc(1, e, e, zero, e, result);
    EXPECT_EQ(result, 0);
    ASSERT_FALSE(errors().empty());
    EXPECT_EQ(errors().back(), "[chkjunc] UNABLE TO CALCULATE 2D PROJECTION");

    // Angles are measured counter-clockwise from the reversed reference (-1, 0): (0, -1) lies a
    // quarter turn on, (1, 0) a half turn, (-1, -1) an eighth.
    const double ref[2] = {1, 0}, down[2] = {0, -1}, right[2] = {1, 0}, low_left[2] = {-1, -1};
    junction_crosses(down, down, right, low_left, ref, result);
    EXPECT_EQ(result, 1);  // only "d3 after d1" holds
    junction_crosses(down, down, right, right, ref, result);
    EXPECT_EQ(result, 0);  // both hold
    int flag = -1;
    angle_after(std::acos(-1.0), 0.0, std::acos(-1.0) / 2.0, flag);
    EXPECT_EQ(flag, 1);
    angle_after(std::acos(-1.0), std::acos(-1.0) / 2.0, 0.0, flag);
    EXPECT_EQ(flag, 0);
}

TEST_F(LaneTest, SwappedLoopsGiveTheSamePoints)
{
    for (unsigned seed = 1; seed <= 25; ++seed) {
        std::mt19937 rng(seed);
        const std::vector<xy> ea = random_star_loop(rng, 5 + static_cast<int>(seed % 7), 0.0);
        std::vector<xy> eb = random_star_loop(rng, 4 + static_cast<int>(seed % 5), 0.0);
        for (xy& p : eb) p.x += 3.0, p.y += 1.5;
        pokarr a = make_from(ea), b = make_from(eb);
        const table ab = run(0, a, b);
        const table ba = run(0, b, a);
        ASSERT_EQ(ab.count, ba.count) << "seed " << seed;
        EXPECT_EQ(ab.count % 2, 0) << "seed " << seed;
        for (int i = 0; i < ab.count; ++i) {
            bool found = false;
            for (int j = 0; j < ba.count; ++j)
                found = found || (std::hypot(ab.x[i] - ba.x[j], ab.y[i] - ba.y[j]) < 1e-9 &&
                                  std::abs(ab.a[i]) == std::abs(ba.b[j]) && std::abs(ab.b[i]) == std::abs(ba.a[j]));
            EXPECT_TRUE(found) << "seed " << seed << " row " << i;
        }
    }
}

TEST_F(LaneTest, SortOnBAndListComparison)
{
    pokarr a = square(0, 0, 10), b = square(5, 5, 10);
    const table t = run(0, a, b);
    ASSERT_EQ(t.count, 2);
    int sa[2], sb[2];
    double sx[2], sy[2];
    isect_sort_on_b(t.count, t.a.data(), t.b.data(), t.x.data(), t.y.data(), b, sa, sb, sx, sy);
    EXPECT_EQ(sb[0], 1);
    EXPECT_EQ(sb[1], 4);
    EXPECT_EQ(isect_lists_differ(2, t.a.data(), t.b.data(), t.x.data(), t.y.data(), sa, sb, sx, sy), 0);
    sx[1] += 0.5;
    EXPECT_EQ(isect_lists_differ(2, t.a.data(), t.b.data(), t.x.data(), t.y.data(), sa, sb, sx, sy), 2);
}

TEST_F(LaneTest, TinyLoopsIntersectToNothing)
{
    for (int n = 0; n <= 2; ++n) {
        std::vector<xy> e;
        for (int k = 0; k < n; ++k) e.push_back({static_cast<double>(k), 0.0});
        pokarr a = make_from(e);
        const table t = run(3, a, square(-1, -1, 3));
        EXPECT_LE(t.count, 2) << n;
        EXPECT_GE(t.count, 0) << n;
    }
    // Coincident loops: a defined, bounded answer.
    pokarr first = square(0, 0, 10);
    const table same = run(3, first, square(0, 0, 10));
    EXPECT_GE(same.count, 0);
}

TEST_F(LaneTest, NudgeMovesOneStraightElementToItsRight)
{
    pocket_work_block.working_tolerance = 0.001;
    pokarr a = square(0, 0, 10);
    int status = -5;
    pokarr_nudge_elem(a, 1, 1, status);  // the bottom edge, travelling +x: right is -y
    ASSERT_EQ(status, 0);
    EXPECT_NEAR(a.y[0], -kNudgeDistance, 1e-15);
    EXPECT_NEAR(a.y[1], -kNudgeDistance, 1e-15);
    EXPECT_NEAR(a.y[a.count - 1], -kNudgeDistance, 1e-15);  // the closing point went along
    EXPECT_DOUBLE_EQ(a.x[2], 10.0);
    EXPECT_DOUBLE_EQ(a.y[2], 10.0);

    // Two arcs: nothing moves.
    std::vector<xy> e = {{10, 0}};
    push_arc(e, 10.0, 1.0, 0, 0, 0, 10);
    push_arc(e, 10.0, 1.0, 0, 0, -10, 0);
    e.push_back({10, 0});
    pokarr arcs = make_from(e);
    pokarr_nudge_elem(arcs, 1, 5, status);
    EXPECT_EQ(status, kNudgeBothArcs);
    EXPECT_DOUBLE_EQ(arcs.y[4], 10.0);

    // A line after an arc: the arc is re-fitted to the moved point and stays joined.
    pokarr mixed = make_from(e);
    pokarr_nudge_elem(mixed, 1, 9, status);  // 9: the line from (-10, 0) back to (10, 0)
    ASSERT_EQ(status, 0);
    const int last = mixed.count - 1;
    EXPECT_NEAR(mixed.y[last], -kNudgeDistance, 1e-12);  // travelling +x: right is -y
    EXPECT_NEAR(std::hypot(mixed.x[last - 1] - mixed.x[last - 2], mixed.y[last - 1] - mixed.y[last - 2]),
                mixed.x[last - 3], 1e-9);
}

TEST_F(LaneTest, TouchingAndSharedPiecesAreMarked)
{
    pocket_work_block.working_tolerance = 0.001;
    // A notch from the top touches the bottom edge at (5, 0) and leaves: a touching point,
    // nothing moves.
    pokarr notch = make_from({{0, 0}, {10, 0}, {10, 10}, {6, 10}, {5, 0}, {4, 10}, {0, 10}, {0, 0}});
    const std::vector<xy> kept = entries_of(notch);
    table t = run(13, notch, notch);
    ASSERT_GE(t.count, 1);
    for (int i = 0; i < t.count; ++i) EXPECT_LT(t.b[i], 0);
    EXPECT_EQ(entries_of(notch).size(), kept.size());

    // Two loops running together along the piece (2,0)-(6,0) of A's bottom edge: rows at both
    // ends, at least one marked, and nothing moves outside a self search.
    pokarr a = square(0, 0, 10);
    pokarr b = make_from({{2, 0}, {6, 0}, {6, -3}, {2, -3}, {2, 0}});
    const std::vector<xy> before = entries_of(a);
    t = run(3, a, b);
    ASSERT_EQ(t.count, 2);
    EXPECT_NEAR(t.x[0], 2.0, 1e-12);
    EXPECT_NEAR(t.x[1], 6.0, 1e-12);
    EXPECT_TRUE(t.b[0] < 0 || t.b[1] < 0);
    const std::vector<xy> after = entries_of(a);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) EXPECT_DOUBLE_EQ(after[i].y, before[i].y);

    // A simple loop against itself has no rows and nothing moves.
    pokarr s = square(0, 0, 10);
    t = run(10, s, s);
    EXPECT_EQ(t.count, 0);
    EXPECT_DOUBLE_EQ(s.y[0], 0.0);
}

TEST_F(LaneTest, SelfSearchRestartedByNudgesFindsWhatItFindsWalkingEveryElement)
{
    // Raw offsets of stars whose spikes fold over their neighbours: their self search (through
    // the loop removal) nudges element after element and starts again each time. Taking the
    // walks a nudge did not touch from the search before gives the loops and the nudged loop of
    // walking every element again.
    namespace kg = kernel_geometry;
    struct row {
        int corners;
        double inner, distance;
    } rows[] = {{2000, 0.75, 2.0}, {1200, 0.8, 1.5}};
    int nudged = 0;
    pocket_work_block.corner_arcs = 1;  // arcs round the valleys, as the lanes have them
    for (const row& r : rows) {
        std::vector<xy> corners;
        const double outer = r.corners / 2 / (2.0 * kg::kPi);
        for (int k = 0; k < r.corners; ++k) {
            const double a = 2.0 * kg::kPi * k / r.corners, radius = k % 2 == 0 ? outer : r.inner * outer;
            corners.push_back({radius * std::cos(a), radius * std::sin(a)});
        }
        int status = 0;
        const kg::loop raw = kg::kernel_offset(kg::closed(corners), r.distance, 0.001, status);
        ASSERT_EQ(status, 0);
        std::vector<kg::loop> loops[2];
        kg::loop after[2];
        for (int kept = 0; kept < 2; ++kept) {
            luplup_memos_block.walks = luplup_memos_block.first_sweep = kept == 1;
            pokarr loop = make_from(raw), out;
            pokarr_init(2, out);
            int count = 0;
            for (int taken = 0; taken <= count && status == 0; ++taken) {
                DELUPS(loop, out, count, status);
                loops[kept].push_back(entries_of(out));
            }
            delups_clear();
            after[kept] = entries_of(loop);
            pokarr_free(out);
            pokarr_free(loop);
        }
        luplup_memos_block.walks = luplup_memos_block.first_sweep = true;
        const std::string name = std::to_string(r.corners) + " corners, d " + std::to_string(r.distance);
        ASSERT_EQ(status, 0) << name;
        const auto same = [](const kg::loop& p, const kg::loop& q) {
            return std::equal(p.begin(), p.end(), q.begin(), q.end(),
                              [](const xy& u, const xy& v) { return u.x == v.x && u.y == v.y; });
        };
        ASSERT_EQ(loops[0].size(), loops[1].size()) << name;
        for (std::size_t i = 0; i < loops[0].size(); ++i)
            EXPECT_TRUE(same(loops[0][i], loops[1][i])) << name << " loop " << i;
        EXPECT_TRUE(same(after[0], after[1])) << name;
        nudged += same(after[0], raw) ? 0 : 1;
    }
    EXPECT_EQ(nudged, 2);
}
