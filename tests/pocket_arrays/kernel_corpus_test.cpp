// Named cases of the kernel, each one a loop that once went wrong, with what it must give: inward
// offsets judged against Clipper 1 (a notch near a reversal, a crack between two arcs), a zig-zag
// whose neighbours run nearly parallel, two circles of very different radii, a line through an
// arc twice and two arcs meeting twice, a shared piece ending at a loop's first point, crossings
// of a dense raw offset beside one another, and input that holds numbers that are not finite.
#include "kernel_geometry.hpp"

#include "host/control/curve_sets.hpp"
#include "host/control/entities.hpp"
#include "pocket_arrays/delups.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/pk_finite.hpp"
#include "pocket_arrays/pk_primitives.hpp"

#include <cmath>
#include <limits>

namespace kg = kernel_geometry;

namespace {

constexpr double kW = 0.001;
constexpr double kDegree = kg::kPi / 180.0;

class KernelCorpus : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        pocket_work_block.working_tolerance = kW;
        pocket_work_block.tolerance = kW;
        pocket_work_block.side_step = 1.0;
        pocket_work_block.corner_arcs = 1;
    }
};

// The square 0..10 with a notch from the middle of its bottom edge to a tip at height 5 where the
// contour turns by `turn` degrees.
kg::loop notched_square(double turn)
{
    const double half = 5.0 * std::tan(0.5 * (180.0 - turn) * kDegree);
    return {{0, 0}, {5 - half, 0}, {5, 5}, {5 + half, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
}

// The square 0..10 with a crack from its bottom edge to a tip at (5, 4) whose sides are two arcs
// meeting there with opposite tangents, the right one turned so that the tangents' cross product
// is `cross` (the crack still opens: the arcs bend apart).
kg::loop arc_crack(double cross)
{
    kg::loop l{{0, 0}, {3, 0}};
    push_arc(l, 5.0, 1.0, 0.0, 4.0, 5.0, 4.0);
    const double cy = 4.0 - 5.0 * cross;
    const double r = std::hypot(5.0, 4.0 - cy);
    push_arc(l, r, 1.0, 10.0, cy, 10.0 - std::sqrt(r * r - cy * cy), 0.0);
    for (const xy p : {xy{10, 0}, xy{10, 10}, xy{0, 10}, xy{0, 0}}) l.push_back(p);
    return l;
}

// Distance of p from the polyline of the loop's points.
double distance_to_points(xy p, const kg::loop& l)
{
    double best = 1e300;
    for (std::size_t i = 1; i < l.size(); ++i) best = std::min(best, kg::segment_distance(p, l[i - 1], l[i]));
    return best;
}

std::vector<kg::crossing> rows_of(const kg::loop& a, const kg::loop& b, int mode = 0)
{
    pokarr pa = kg::array_of(a), pb = kg::array_of(b);
    int count = 0;
    std::vector<kg::crossing> rows = kg::luplup_rows(mode, pa, pb, count);
    EXPECT_GE(count, 0);
    pokarr_free(pa);
    pokarr_free(pb);
    return rows;
}

bool has_row_at(const std::vector<kg::crossing>& rows, xy p)
{
    for (const kg::crossing& r : rows)
        if (std::hypot(r.x - p.x, r.y - p.y) < 1e-6) return true;
    return false;
}

}  // namespace

TEST_F(KernelCorpus, OffsetsOfNamedLoopsAgreeWithClipper)
{
    struct row {
        const char* name;
        kg::loop source;
        double d;
    };
    const row rows[] = {
        // The corner rule's gap: a reversal of 178.15 degrees once got a square cap 0.414 d off
        // the round join; on either side of the gap the corner arc was right.
        {"notch turning 178.0 degrees", notched_square(178.0), 1.0},
        {"notch turning 178.15 degrees", notched_square(178.15), 1.0},
        {"notch turning 178.5 degrees", notched_square(178.5), 1.0},
        // A cusp between two arcs whose tangent cross product (+1e-4) reads the tip as concave:
        // the offset once ran through the tip and the lane was lost.
        {"crack between two arcs", arc_crack(1e-4), 0.5},
        {"crack between two arcs, exact cusp", arc_crack(0.0), 0.5},
        {"crack between two arcs, other bend", arc_crack(-1e-4), 0.5},
    };
    for (const row& r : rows) {
        const kg::offset_verdict v = kg::judge_offset(r.source, r.d, kW);
        EXPECT_TRUE(v.ok) << r.name << ": " << v.text;
    }
}

TEST_F(KernelCorpus, ZigzagBetweenNearlyParallelLinesStaysOnTheLoop)
{
    // A 9-entry loop with a backward zig-zag of 0.0067 whose neighbours run 2e-5 apart in slope:
    // their carrying lines meet 25 away, where the join once moved.
    const kg::loop source{{0, 0},   {2.5, 0}, {5, 0}, {4.9933, 0.0005}, {7.5, 0.00055}, {10, 0.0006},
                          {10, 10}, {0, 10},  {0, 0}};
    pokarr a = kg::array_of(source);
    double w = kW;
    pokarr_clean_joins(0, 0, w, a);
    const kg::loop cleaned = entries_of(a);
    EXPECT_LT(cleaned.size(), source.size()) << "the zig-zag is cut";
    for (const xy p : cleaned) EXPECT_LT(distance_to_points(p, source), 4.0 * kW) << p.x << ", " << p.y;
    pokarr_free(a);
}

TEST_F(KernelCorpus, CirclesOfRadiusThousandAndPointNineCrossTwice)
{
    // Crossing at right angles: the centres lie sqrt(1000^2 + 0.9^2) apart.
    const double gap = std::sqrt(1e6 + 0.81);
    const double c1[2] = {0, 0}, c2[2] = {gap, 0};
    double p1[2], p2[2];
    int count = 0;
    circle_circle_intersect(c1, 1000.0, c2, 0.9, p1, p2, count);
    ASSERT_EQ(count, 2);
    for (const double* p : {p1, p2}) {
        EXPECT_NEAR(std::hypot(p[0], p[1]), 1000.0, 1e-9);
        EXPECT_NEAR(std::hypot(p[0] - gap, p[1]), 0.9, 1e-9);
    }
    // Through LUPLUP: an arc of radius 1000 closed by its chord against a circle of radius 0.9
    // (two half arcs): two rows on the arc, two on the chord, all on the small circle.
    kg::loop big{{1000 * std::cos(0.01), -1000 * std::sin(0.01)}};
    push_arc(big, 1000.0, 1.0, 0.0, 0.0, 1000 * std::cos(0.01), 1000 * std::sin(0.01));
    big.push_back(big.front());
    kg::loop small{{gap + 0.9, 0}};
    push_arc(small, 0.9, 1.0, gap, 0.0, gap - 0.9, 0.0);
    push_arc(small, 0.9, 1.0, gap, 0.0, gap + 0.9, 0.0);
    const std::vector<kg::crossing> rows = rows_of(big, small);
    ASSERT_EQ(rows.size(), 4u);
    for (const kg::crossing& r : rows) EXPECT_NEAR(std::hypot(r.x - gap, r.y), 0.9, 1e-6) << r.x << ", " << r.y;
}

TEST_F(KernelCorpus, ElementPairsThatMeetTwiceGiveBothRowsInEitherOrder)
{
    // An arc of radius 8 sweeping 166 degrees over the top, closed by its chord.
    kg::loop arc_loop{{8 * std::cos(7 * kDegree), 8 * std::sin(7 * kDegree)}};
    push_arc(arc_loop, 8.0, 1.0, 0.0, 0.0, 8 * std::cos(173 * kDegree), 8 * std::sin(173 * kDegree));
    arc_loop.push_back(arc_loop.front());
    // A rectangle whose bottom edge y = 5 cuts the arc at x = +-6.245.
    const kg::loop band{{10, 5}, {10, 20}, {-10, 20}, {-10, 5}, {10, 5}};
    // The lower arc of a circle of radius 5 about (0, 10), closed by its chord: it meets the arc
    // of radius 8 twice, at y = 6.95.
    kg::loop cap{{5 * std::cos(200 * kDegree), 10 + 5 * std::sin(200 * kDegree)}};
    push_arc(cap, 5.0, 1.0, 0.0, 10.0, 5 * std::cos(340 * kDegree), 10 + 5 * std::sin(340 * kDegree));
    cap.push_back(cap.front());
    const double x_line = std::sqrt(64.0 - 25.0), y_arcs = 6.95, x_arcs = std::sqrt(64.0 - y_arcs * y_arcs);
    struct row {
        const char* name;
        const kg::loop& a;
        const kg::loop& b;
        xy first, second;
    };
    const row rows[] = {
        {"arc against line", arc_loop, band, {x_line, 5}, {-x_line, 5}},
        {"line against arc", band, arc_loop, {x_line, 5}, {-x_line, 5}},
        {"arc against arc", arc_loop, cap, {x_arcs, y_arcs}, {-x_arcs, y_arcs}},
        {"arc against arc, swapped", cap, arc_loop, {x_arcs, y_arcs}, {-x_arcs, y_arcs}},
    };
    for (const row& r : rows) {
        const std::vector<kg::crossing> got = rows_of(r.a, r.b);
        EXPECT_EQ(got.size(), 2u) << r.name;
        EXPECT_TRUE(has_row_at(got, r.first) && has_row_at(got, r.second)) << r.name;
    }
}

TEST_F(KernelCorpus, SharedPieceEndingAtTheFirstPointHasItsRow)
{
    // B is A moved along A's last edge by 0.3 of its length: the loops share a piece of that edge
    // that ends at A's first point and at B's vertex on the edge. Exact and inexact coordinates.
    struct row {
        const char* name;
        double scale, angle, ox, oy;
        int corners;
    };
    const row rows[] = {
        {"integer square", 10.0, 0.0, 0.0, 0.0, 4},
        {"turned square", 3.7, 0.5236, 0.123, 0.456, 4},
        {"turned pentagon", 3.3, 0.7, 0.3, -1.7, 5},
        {"turned triangle", 7.1, 2.1, -2.2, 0.9, 3},
    };
    for (const row& r : rows) {
        kg::loop a;
        for (int i = 0; i <= r.corners; ++i) {
            const double t = 2.0 * kg::kPi * (i % r.corners) / r.corners + r.angle;
            a.push_back({r.ox + r.scale * std::cos(t), r.oy + r.scale * std::sin(t)});
        }
        const std::size_t n = a.size();
        const xy shift{0.3 * (a[n - 1].x - a[n - 2].x), 0.3 * (a[n - 1].y - a[n - 2].y)};
        kg::loop b;
        for (const xy p : a) b.push_back({p.x + shift.x, p.y + shift.y});
        for (const int mode : {0, 3}) {
            const std::vector<kg::crossing> got = rows_of(a, b, mode);
            EXPECT_TRUE(has_row_at(got, a[0])) << r.name << ", mode " << mode;
            EXPECT_TRUE(has_row_at(got, b[n - 2])) << r.name << ", mode " << mode;
        }
    }
}

TEST_F(KernelCorpus, NumbersThatAreNotFiniteAreRefusedAtTheEntryPoints)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    kg::loop square{{5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {5, 0}};
    kg::loop arcs{{5, 0}};
    push_arc(arcs, 5.0, 1.0, 5.0, 5.0, 5.0, 10.0);
    push_arc(arcs, 5.0, 1.0, 5.0, 5.0, 5.0, 0.0);
    struct row {
        const char* name;
        kg::loop loop;
        int side;
        double d;
        double px;
    };
    auto with = [](kg::loop l, std::size_t i, xy p) {
        l[i] = p;
        return l;
    };
    const row rows[] = {
        {"coordinate NaN", with(square, 2, {nan, 10}), kSideLeft, 1.0, 5.0},
        {"coordinate infinite", with(square, 3, {0, inf}), kSideLeft, 1.0, 5.0},
        {"radius infinite", with(arcs, 2, {inf, 1.0}), kSideLeft, 1.0, 5.0},
        {"centre NaN", with(arcs, 3, {nan, 5.0}), kSideLeft, 1.0, 5.0},
        {"side 0", square, 0, 1.0, nan},
        {"side 2", square, 2, 1.0, nan},
        {"distance negative", square, kSideLeft, -1.0, nan},
        {"distance NaN", square, kSideLeft, nan, nan},
        {"distance infinite", square, kSideLeft, inf, inf},
    };
    for (const row& r : rows) {
        vantu::control::clear_messages();
        pokarr loop = kg::array_of(r.loop), result;
        pokarr_init(2, result);
        int status = 0;
        lane_offset_2d3d(r.side, 1, r.d, loop, result, status);
        EXPECT_LT(status, 0) << r.name;
        EXPECT_EQ(result.count, 0) << r.name;
        ASSERT_EQ(errors().size(), 1u) << r.name;
        EXPECT_EQ(errors()[0].rfind("[lane_offset_2d3d]", 0), 0u) << r.name;
        // The inside test and the loop intersection refuse the same loops, and a point that is
        // not finite (the rows whose loop is sound carry one).
        vantu::control::clear_messages();
        int inside = -1;
        pnt_in_pokarr(r.px, 5.0, loop, inside, status);
        EXPECT_LT(status, 0) << r.name;
        EXPECT_EQ(inside, kLoopOutside) << r.name;
        EXPECT_EQ(errors().size(), 1u) << r.name;
        if (pokarr_finite(loop)) continue;
        vantu::control::clear_messages();
        pokarr other = kg::array_of(square);
        int count = 0;
        kg::luplup_rows(0, loop, other, count);
        EXPECT_EQ(count, -1) << r.name;
        EXPECT_EQ(errors().size(), 1u) << r.name;
        pokarr_free(other);
        pokarr_free(loop);
        pokarr_free(result);
    }
}

class KernelPreparation : public PreparedPocketTest {};

TEST_F(KernelPreparation, ContourBeyondTheDoubleRangeIsRefused)
{
    // Corners so far apart that the points relative to the pocket's origin are not finite.
    const std::vector<vantu::control::point3> corners{{-1e300, 0, 0}, {1e300, 0, 0}, {1e300, 1e300, 0}};
    std::vector<vantu::control::curve_in_set> curves;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const auto& a = corners[i];
        const auto& b = corners[(i + 1) % corners.size()];
        curves.push_back({vantu::control::add_line(a, b), 0.0, 1.0, 1.0});
    }
    vantu::control::define_curve_set(1, curves);
    const int types[2] = {0, kContourPart}, sets[2] = {0, 1};
    int status = 0;
    pocket_prepare(1, 0, nullptr, {types, sets, 2}, status);
    EXPECT_LT(status, 0);
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0].rfind("pocket_prepare,", 0), 0u) << errors()[0];
}

TEST_F(KernelCorpus, CrossingsBesideOtherCrossingsOfADenseRawOffsetAreKept)
{
    // A wandering loop of 850 vertices about 30 across, offset by 10, folds over itself thousands
    // of times. Where three of its short elements cross within the tolerance of each other, two
    // of the crossings lie on both lines of a pair away from their ends: they are crossings, not
    // the ends of a piece the pair shares.
    std::mt19937 rng(1850);
    kg::loop source = kg::make_loop(kg::kind::random_walk, 850, rng);
    for (xy& p : source) p.x *= 1.5, p.y *= 1.5;
    // The source cleaned and restarted and its raw offset, as the one offset makes them.
    pocket_work_block.tolerance = 0.01;
    pokarr s = kg::array_of(source);
    pokarr_drop_short(s);
    int closed_flag = 1;
    pokarr_drop_redundant(closed_flag, 0, s);
    int longest = -1, status = 0;
    double x = 0.0, y = 0.0;
    pokarr_longest_elem(s, longest);
    pokarr_restart_at(s, longest, 1, 0.5, x, y, status);
    pokarr_drop_short(s);
    pokarr raw;
    pokarr_init(2, raw);
    lane_offset_2d3d(kSideLeft, 1, 10.0, s, raw, status);
    ASSERT_EQ(status, 0);
    const kg::loop offset = entries_of(raw);
    pokarr out;
    pokarr_init(2, out);
    int count = 0;
    DELUPS(raw, out, count, status);
    // The loop removal's crossing table.
    std::vector<kg::crossing> got;
    for (int m = 0; m < delups_block.records; ++m)
        got.push_back({delups_block.ingo[m], delups_block.ingo1[m], delups_block.xing[m], delups_block.ying[m]});
    delups_clear();
    const std::vector<kg::crossing> want = kg::brute_force_crossings(offset, offset, true);
    EXPECT_GT(want.size(), 1000u);
    EXPECT_EQ(kg::unmatched(want, got, 1e-6).size(), 0u);
    EXPECT_EQ(kg::unmatched(got, want, 1e-6).size(), 0u);
    pokarr_free(out);
    pokarr_free(raw);
    pokarr_free(s);
}
