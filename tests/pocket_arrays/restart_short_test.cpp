// Restart of a loop at a point (in its own block and through a work array), removal of short
// elements and merging of arcs on one circle.
#include "pocket_test_support.hpp"

#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"
#include "pocket_arrays/pokarr_join_arc.hpp"
#include "pocket_arrays/pokarr_restart.hpp"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kM = 1.0e25;

class RestartTest : public PocketTest {
protected:
    void SetUp() override
    {
        PocketTest::SetUp();
        pocket_state_block.pocket_dimension = 2;
    }
};

// An arc of the unit-less circle of radius r around the origin from angle a0 to a1 (degrees,
// counter-clockwise), as entries: marker, radius, centre, end.
std::vector<xy> arc_entries(double r, double a1)
{
    const double t = a1 * std::acos(-1.0) / 180.0;
    return {{kM, 0}, {r, 1.0}, {0, 0}, {r * std::cos(t), r * std::sin(t)}};
}

pokarr from(std::vector<xy> e)
{
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    for (const xy& p : e) {
        const double q[2] = {p.x, p.y};
        pokarr_add_pnt(q, a, status);
    }
    return a;
}

// The short-element pass written plainly: each element taken out moves the rest of the loop down.
void drop_short_plain(pokarr& a)
{
    const double tol = drop_short_tolerance();
    const auto take_out = [&a](int first, int n) {
        std::copy(a.x + first + n, a.x + a.count, a.x + first);
        std::copy(a.y + first + n, a.y + a.count, a.y + first);
        a.count -= n;
    };
    double sum = 0.0;
    for (int i = 1; i < a.count;) {
        const int step = a.x[i] > 1e20 ? 4 : 1;
        const int j = i + step;
        if (j - 1 >= a.count) break;
        const double dx = std::fabs(a.x[i - 1] - a.x[j - 1]), dy = std::fabs(a.y[i - 1] - a.y[j - 1]);
        sum += dx * dx + dy * dy;
        if (dx >= tol || dy >= tol || sum >= tol * tol) {
            sum = 0.0;
            i = j;
            continue;
        }
        if (i > 4 && a.x[i - 4] > 1e20) pokarr_join_arc(i - 5, j - 1, 0, a);
        if (i == 1 && pokarr_is_closed(a)) {
            if (a.count > 4 && a.x[a.count - 4] > 1e20) pokarr_join_arc(a.count - 5, step, 0, a);
            a.x[a.count - 1] = a.x[step], a.y[a.count - 1] = a.y[step];
        }
        if (i > a.count - step)
            a.count -= step;
        else
            take_out(i - 1, step);
    }
    // Arcs on one circle that turn by less than a half circle together become one.
    for (int i = 1; i + 7 < a.count;) {
        const int m = i + 4;
        const double r = a.x[i + 1], d = a.y[i + 1], c1[3] = {a.x[i + 2], a.y[i + 2], 0},
                     c2[3] = {a.x[m + 2], a.y[m + 2], 0};
        const double u[2] = {a.x[i - 1] - c1[0], a.y[i - 1] - c1[1]}, v[2] = {a.x[m + 3] - c1[0], a.y[m + 3] - c1[1]};
        const bool merge = a.x[i] > 1e20 && a.x[m] > 1e20 && !nevldd(r, a.x[m + 1]) && !nevldd(d, a.y[m + 1]) &&
                           pk_eq_pnt(c1, c2) && r > 0.0 && !levl0d((u[0] * v[1] - u[1] * v[0]) * d / (r * r)) &&
                           (u[0] * v[0] + u[1] * v[1]) / (r * r) >= -0.9;
        if (merge)
            take_out(i + 3, 4);
        else
            ++i;
    }
}

}  // namespace

TEST_F(RestartTest, MidpointOfALineComesFirstAndLast)
{
    pokarr a = make_2d({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    double x = 0.0, y = 0.0;
    int status = -5;
    pokarr_restart_at(a, 2, kRestartAtParam, 0.5, x, y, status);
    ASSERT_EQ(status, 0);
    EXPECT_DOUBLE_EQ(x, 10.0);
    EXPECT_DOUBLE_EQ(y, 5.0);
    const std::vector<xy> got = entries_of(a);
    const std::vector<xy> want = {{10, 5}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 5}};
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_DOUBLE_EQ(got[i].x, want[i].x) << i;
        EXPECT_DOUBLE_EQ(got[i].y, want[i].y) << i;
    }
}

TEST_F(RestartTest, IndexOneCopiesInOnePass)
{
    pokarr a = make_2d({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    double x = 0.0, y = 0.0;
    int status = -5;
    pokarr_restart_at(a, 1, kRestartAtParam, 0.5, x, y, status);
    ASSERT_EQ(status, 0);
    const std::vector<xy> got = entries_of(a);
    ASSERT_EQ(got.size(), 5u);
    EXPECT_DOUBLE_EQ(got[0].x, 5.0);
    EXPECT_DOUBLE_EQ(got[1].x, 10.0);
    EXPECT_DOUBLE_EQ(got[3].x, 0.0);
    EXPECT_DOUBLE_EQ(got[4].x, 5.0);
}

TEST_F(RestartTest, ArcEndStartsAtTheNextElement)
{
    // (10,0) -> quarter arc to (0,10) -> (0,0) -> (10,0).
    std::vector<xy> e = {{10, 0}};
    for (const xy& p : arc_entries(10.0, 90.0)) e.push_back(p);
    e.push_back({0, 0});
    e.push_back({10, 0});
    pokarr a = from(e);
    double x = 0.0, y = 0.0;
    int status = -5;
    pokarr_restart_at(a, 1, kRestartAtParam, 1.0, x, y, status);
    ASSERT_EQ(status, 0);
    const std::vector<xy> got = entries_of(a);
    // (0,10) (0,0) (10,0) arc-record to (0,10): no empty arc, no doubled closing point.
    ASSERT_EQ(got.size(), 7u);
    EXPECT_NEAR(got[0].x, 0.0, 1e-9);
    EXPECT_NEAR(got[0].y, 10.0, 1e-9);
    EXPECT_GT(got[3].x, 1e20);
    EXPECT_NEAR(got[6].y, 10.0, 1e-9);

    // The split of the arc's middle leaves two records of one circle.
    pokarr b = from(e);
    pokarr_restart_at(b, 1, kRestartAtParam, 0.5, x, y, status);
    ASSERT_EQ(status, 0);
    EXPECT_NEAR(std::hypot(x, y), 10.0, 1e-9);
    EXPECT_EQ(b.count, 1 + 4 + 1 + 1 + 4);
    EXPECT_NEAR(b.x[b.count - 1], x, 1e-12);
}

TEST_F(RestartTest, BadIndexIsRefusedAndLoopKept)
{
    pokarr a = make_2d({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    double x = 0.0, y = 0.0;
    for (int index : {0, -1, 4, 99}) {
        int status = 0;
        pokarr_restart_at(a, index, kRestartAtParam, 0.5, x, y, status);
        EXPECT_EQ(status, kRestartFailed) << index;
        EXPECT_EQ(a.count, 4);
    }
}

TEST_F(RestartTest, DropShortToleranceFollowsW)
{
    struct row {
        double w;
        int planar;
        double tolerance;
    };
    const row rows[] = {{0.001, 1, 0.0005},  {0.002, 1, 0.001}, {0.01, 1, 0.001},
                        {0.0001, 1, 0.0001}, {0.0, 1, 0.0001},  {0.01, 0, 1e-6}};
    for (const row& r : rows) {
        pocket_work_block.working_tolerance = r.w;
        pocket_state_block.pocket_dimension = r.planar ? 2 : 3;
        EXPECT_DOUBLE_EQ(drop_short_tolerance(), r.tolerance) << r.w;
    }
}

TEST_F(RestartTest, ShortRunGoesWhileItsSquaredSumStaysBelow)
{
    pocket_work_block.working_tolerance = 0.002;  // tolerance 0.001
    // Four steps of 0.0004 along x: sums 1.6e-7, 3.2e-7, 4.8e-7, 6.4e-7 < 1e-6: all go; the
    // fifth brings it to 8e-7, the sixth to 9.6e-7, the seventh to 1.12e-6 and stays.
    std::vector<xy> e = {{0, 0}, {5, 0}};
    for (int k = 1; k <= 7; ++k) e.push_back({5.0 + 0.0004 * k, 0.0});
    e.push_back({5.0028, 5.0});
    e.push_back({0, 0});
    pokarr a = from(e);
    pokarr_drop_short(a);
    const std::vector<xy> got = entries_of(a);
    ASSERT_EQ(got.size(), 5u);
    EXPECT_NEAR(got[2].x, 5.0028, 1e-12);
}

TEST_F(RestartTest, ShortFirstElementTakesTheClosingPoint)
{
    pocket_work_block.working_tolerance = 0.002;
    pokarr a = make_2d({{0, 0}, {0.0002, 0}, {10, 0}, {10, 10}, {0, 0}});
    pokarr_drop_short(a);
    ASSERT_EQ(a.count, 4);
    EXPECT_DOUBLE_EQ(a.x[0], 0.0002);
    EXPECT_DOUBLE_EQ(a.x[a.count - 1], 0.0002);

    pokarr tiny = make_2d({{0, 0}, {0.0001, 0}, {0.0001, 0.0001}, {0, 0}});
    pokarr_drop_short(tiny);
    EXPECT_EQ(tiny.count, 1);
}

TEST_F(RestartTest, ArcsOnOneCircleMergeBelowAHalfTurn)
{
    struct row {
        double first, second;  // end angles of the two arcs, degrees
        int records;
    };
    const row rows[] = {{60, 120, 1}, {90, 180, 2}, {80, 160, 2}};
    for (const row& r : rows) {
        std::vector<xy> e = {{10, 0}};
        for (const xy& p : arc_entries(10.0, r.first)) e.push_back(p);
        for (const xy& p : arc_entries(10.0, r.second)) e.push_back(p);
        e.push_back({10, 0});
        pokarr a = from(e);
        pokarr_merge_arcs(a);
        int markers = 0;
        for (int i = 0; i < a.count; ++i) markers += a.x[i] > 1e20 ? 1 : 0;
        EXPECT_EQ(markers, r.records) << r.first << " + " << r.second;
        if (r.records == 1) {
            EXPECT_EQ(a.count, 6);
            EXPECT_NEAR(a.x[4], 10.0 * std::cos(r.second * std::acos(-1.0) / 180.0), 1e-9);
        }
    }
}

TEST_F(RestartTest, XyDropShortWritesTheCountBack)
{
    pocket_work_block.working_tolerance = 0.002;
    double x[] = {0, 5, 5.0001, 5, 0};
    double y[] = {0, 0, 0, 5, 0};
    int count = 5;
    xy_drop_short(x, y, count);
    EXPECT_EQ(count, 4);
    int none = 0;
    xy_drop_short(x, y, none);
    EXPECT_EQ(none, 0);
}

TEST_F(RestartTest, DynamicLoopRestartsAsAStaticCopyDoes)
{
    // A small dynamic loop is rebuilt in its own block, a static one through a work array; both
    // must give the same entries, bit for bit, and a failed restart leaves either unchanged.
    std::vector<xy> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    std::vector<xy> with_arc = {{10, 0}};
    for (const xy& p : arc_entries(10.0, 90.0)) with_arc.push_back(p);
    with_arc.push_back({0, 0});
    with_arc.push_back({10, 0});
    std::vector<xy> stray = square;  // a marker in the closing element: the copy runs past the end
    stray[3].x = kM;
    std::vector<xy> polygon;
    for (int k = 0; k <= 100; ++k) {
        const double angle = 0.02 * M_PI * (k % 100);
        polygon.push_back({std::cos(angle), std::sin(angle)});
    }
    struct row {
        const std::vector<xy>* entries;
        int dimension, index;
        double t;
        int status;
    };
    const row rows[] = {{&square, 2, 2, 0.5, 0},
                        {&square, 3, 3, 0.25, 0},
                        {&square, 2, 1, 0.0, 0},
                        {&with_arc, 2, 1, 0.5, 0},
                        {&with_arc, 2, 1, 1.0, 0},
                        {&with_arc, 3, 5, 0.5, 0},
                        {&stray, 2, 1, 0.5, kRestartFailed},
                        {&polygon, 2, 40, 0.5, 0}};
    for (const row& r : rows) {
        const int n = static_cast<int>(r.entries->size());
        std::vector<double> x, y, z;
        for (int i = 0; i < n; ++i) {
            x.push_back((*r.entries)[i].x);
            y.push_back((*r.entries)[i].y);
            z.push_back(i % 3 == 0 ? 0.5 * i : 0.0);
        }
        pokarr dynamic;
        pokarr_init(r.dimension, dynamic);
        int status = 0;
        for (int i = 0; i < n; ++i) pokarr_add_xyz(x[i], &y[i], &z[i], nullptr, dynamic, status);
        dynamic.indicator = 7;
        const int room = n + 8;
        std::vector<double> sx(x), sy(y), sz(z);
        sx.resize(room), sy.resize(room), sz.resize(room);
        pokarr fixed;
        pokarr_init_static(r.dimension, sx.data(), sy.data(), r.dimension == 3 ? sz.data() : nullptr, nullptr, n, room,
                           fixed, status);
        double dx = 0.0, dy = 0.0, fx = 0.0, fy = 0.0;
        int dynamic_status = -5, fixed_status = -5;
        pokarr_restart_at(dynamic, r.index, kRestartAtParam, r.t, dx, dy, dynamic_status);
        pokarr_restart_at(fixed, r.index, kRestartAtParam, r.t, fx, fy, fixed_status);
        const std::string label = "row of " + std::to_string(n) + " entries, index " + std::to_string(r.index);
        EXPECT_EQ(dynamic_status, r.status) << label;
        EXPECT_EQ(fixed_status, r.status) << label;
        ASSERT_EQ(dynamic.count, fixed.count) << label;
        if (r.status != 0) {
            EXPECT_EQ(dynamic.count, n) << label;
        }
        EXPECT_EQ(dx, fx) << label;
        EXPECT_EQ(dy, fy) << label;
        for (int i = 0; i < dynamic.count; ++i) {
            EXPECT_EQ(dynamic.x[i], fixed.x[i]) << label << ", entry " << i;
            EXPECT_EQ(dynamic.y[i], fixed.y[i]) << label << ", entry " << i;
            if (r.dimension == 3) {
                EXPECT_EQ(dynamic.z[i], fixed.z[i]) << label << ", entry " << i;
            }
            if (r.status != 0) {
                EXPECT_EQ(dynamic.x[i], x[i]) << label << ", entry " << i;
            }
        }
        EXPECT_EQ(dynamic.indicator, r.status == 0 ? 0 : 7) << label;
        pokarr_free(dynamic);
    }
}

TEST_F(RestartTest, ThinningPassesStillMergeArcsOfOneCircle)
{
    // Nothing to remove but two arcs of one circle: each pass ends with them merged.
    std::vector<xy> e = {{10, 0}};
    for (const xy& p : arc_entries(10.0, 60.0)) e.push_back(p);
    for (const xy& p : arc_entries(10.0, 120.0)) e.push_back(p);
    e.push_back({10, 0});
    pocket_work_block.working_tolerance = 0.002;
    for (int pass = 0; pass < 2; ++pass) {
        pokarr a = from(e);
        int closed = 1;
        if (pass == 0)
            pokarr_drop_short(a);
        else
            pokarr_drop_redundant(closed, 0, a);
        int markers = 0;
        for (int i = 0; i < a.count; ++i) markers += a.x[i] > 1e20 ? 1 : 0;
        EXPECT_EQ(markers, 1) << (pass == 0 ? "short elements" : "redundant points");
        pokarr_free(a);
    }
}

TEST_F(RestartTest, ShortElementsGoAsThePlainPassTakesThemOut)
{
    // Seeded rings of lines and arcs with runs of short lines and short arcs here and there
    // (after arcs, at the start, at the end) and runs of arcs on one circle: the pass leaves
    // every entry the plain one leaves. Rows: how often a run of short elements, a short arc
    // and a run of arcs on one circle come (a few losses; most elements lost; losses after arcs).
    struct row {
        double runs, arcs, circle;
    };
    const row rows[] = {{0.3, 0.2, 0.05}, {0.02, 0.2, 0.01}, {0.95, 0.05, 0.05}, {0.9, 0.6, 0.2}};
    pocket_work_block.working_tolerance = 0.002;  // short below 0.001
    constexpr unsigned kSeed = 20261208u;
    std::mt19937 rng(kSeed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int ring = 0; ring < 40 * static_cast<int>(std::size(rows)); ++ring) {
        const row& r = rows[ring / 40];
        std::vector<xy> e;
        xy p{10.0, 0.0};
        e.push_back(p);
        const auto add_arc = [&](xy q) {
            const double mx = 0.5 * (p.x + q.x), my = 0.5 * (p.y + q.y), h = 0.3 + unit(rng);
            const double cx = mx - h * (q.y - p.y), cy = my + h * (q.x - p.x);
            e.insert(e.end(), {{kM, 0}, {std::hypot(p.x - cx, p.y - cy), unit(rng) < 0.5 ? 1.0 : -1.0}, {cx, cy}, q});
        };
        for (int k = 1; k <= 300; ++k) {
            const double t = 2.0 * std::acos(-1.0) * k / 300.0;
            const xy q = k == 300 ? e.front() : xy{10.0 * std::cos(t), 10.0 * std::sin(t)};
            for (int runs = unit(rng) < r.runs ? 1 + static_cast<int>(6 * unit(rng)) : 0; runs > 0; --runs) {
                p = {p.x + 0.0006 * (unit(rng) - 0.5), p.y + 0.0006 * (unit(rng) - 0.5)};
                if (unit(rng) < r.arcs)
                    add_arc(p);
                else
                    e.push_back(p);
            }
            // Now and then a run of arcs on one circle, each turning a little.
            for (int pieces = unit(rng) < r.circle ? 2 + static_cast<int>(30 * unit(rng)) : 0, k = 1; k <= pieces;
                 ++k) {
                const double turn = 2.0 * k / pieces, cx = p.x - 1.0, cy = p.y;
                e.insert(e.end(), {{kM, 0}, {1.0, 1.0}, {cx, cy}, {cx + std::cos(turn), cy + std::sin(turn)}});
            }
            if (unit(rng) < 0.2)
                add_arc(q);
            else
                e.push_back(q);
            p = q;
        }
        pokarr fast = from(e), plain = from(e);
        pokarr_drop_short(fast);
        drop_short_plain(plain);
        const std::vector<xy> got = entries_of(fast), want = entries_of(plain);
        ASSERT_EQ(got.size(), want.size()) << "seed " << kSeed << " ring " << ring;
        for (std::size_t k = 0; k < got.size(); ++k)
            ASSERT_TRUE(got[k].x == want[k].x && got[k].y == want[k].y)
                << "seed " << kSeed << " ring " << ring << " entry " << k;
        EXPECT_LT(got.size(), e.size()) << "ring " << ring;
        pokarr_free(fast);
        pokarr_free(plain);
    }
}
