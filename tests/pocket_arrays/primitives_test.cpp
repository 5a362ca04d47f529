// Geometric primitives: arc boxes, positions on arcs, parameters on segments, and the
// intersections of segments, circles and arcs in the plane and in space.
#include "pocket_test_support.hpp"

#include "pocket_arrays/pk_primitives.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr double kAbsent[2] = {kDirectionAbsent, 0.0};

struct box {
    double xmin, ymin, xmax, ymax;
};

box box_of_arc(double r, int d, double sx, double sy, double ex, double ey)
{
    box b{};
    arc_box(0, 0, r, d, sx, sy, ex, ey, b.xmin, b.ymin, b.xmax, b.ymax);
    return b;
}

// The box of the arc from angle a, sweep (signed) s about (cx, cy), from points sampled along it.
box sampled_box(double cx, double cy, double r, double a, double s, double sx, double sy, double ex, double ey)
{
    constexpr int kSamples = 4096;
    box b{std::min(sx, ex), std::min(sy, ey), std::max(sx, ex), std::max(sy, ey)};
    for (int i = 1; i < kSamples; ++i) {
        const double t = a + s * i / kSamples, x = cx + r * std::cos(t), y = cy + r * std::sin(t);
        b = {std::min(b.xmin, x), std::min(b.ymin, y), std::max(b.xmax, x), std::max(b.ymax, y)};
    }
    return b;
}

}  // namespace

TEST_F(PocketTest, ArcBoxesFollowTheSweptExtremes)
{
    struct row {
        const char* what;
        int d;
        double sx, sy, ex, ey;
        box expected;
    };
    const double h = std::sqrt(0.5) * 2;
    const row rows[] = {
        {"ccw half circle from (r,0)", 1, 2, 0, -2, 0, {-2, 0, 2, 2}},
        {"cw half circle from (r,0)", -1, 2, 0, -2, 0, {-2, -2, 2, 0}},
        {"ends in one quadrant", 1, 2, 0.1, h, h, {h, 0.1, 2, h}},
        {"ccw three quarters", 1, 2, 0, 0, -2, {-2, -2, 2, 2}},
        {"cw quarter through the bottom", -1, 0, -2, -2, 0, {-2, -2, 0, 0}},
        {"cw three quarters over the top", -1, -2, 0, 0, -2, {-2, -2, 2, 2}},
    };
    for (const row& r : rows) {
        const box b = box_of_arc(2, r.d, r.sx, r.sy, r.ex, r.ey);
        EXPECT_DOUBLE_EQ(b.xmin, r.expected.xmin) << r.what;
        EXPECT_DOUBLE_EQ(b.ymin, r.expected.ymin) << r.what;
        EXPECT_DOUBLE_EQ(b.xmax, r.expected.xmax) << r.what;
        EXPECT_DOUBLE_EQ(b.ymax, r.expected.ymax) << r.what;
    }
}

TEST_F(PocketTest, ArcBoxesHoldEverySampledPoint)
{
    // Ends in every quadrant, on the axes and a hair either side of them; a pair of equal angles
    // is a full circle (start equals end).
    constexpr double kHair = 1.0e-12, kPi = 3.14159265358979323846;
    std::vector<double> angles = {0.4, 1.1, 2.0, 2.9, 3.5, 4.4, 5.0, 6.0};
    for (int k = 0; k < 4; ++k)
        for (double off : {0.0, kHair, -kHair}) angles.push_back(0.5 * kPi * k + off);
    const double cx = 3.0, cy = -2.0, r = 2.5;
    // Sampled points lie on chords of at most this sag inside the arc, and rounding apart.
    const double sag = r * (1.0 - std::cos(kPi / 4096)) + 1e-12;
    for (double a : angles)
        for (double b : angles)
            for (int d : {1, -1}) {
                const double sx = cx + r * std::cos(a), sy = cy + r * std::sin(a);
                const double ex = a == b ? sx : cx + r * std::cos(b), ey = a == b ? sy : cy + r * std::sin(b);
                double sweep = std::fmod(d * (b - a) + 4.0 * kPi, 2.0 * kPi);
                if (a == b) sweep = 2.0 * kPi;
                const box want = sampled_box(cx, cy, r, a, d * sweep, sx, sy, ex, ey);
                box got{};
                arc_box(cx, cy, r, d, sx, sy, ex, ey, got.xmin, got.ymin, got.xmax, got.ymax);
                char what[96];
                std::snprintf(what, sizeof what, "from %.15g to %.15g, direction %d", a, b, d);
                EXPECT_LE(got.xmin, want.xmin + 1e-12) << what;
                EXPECT_LE(got.ymin, want.ymin + 1e-12) << what;
                EXPECT_GE(got.xmax, want.xmax - 1e-12) << what;
                EXPECT_GE(got.ymax, want.ymax - 1e-12) << what;
                // Not bigger than the arc, but for sweeps too small to tell from a whole circle.
                if (sweep < 10.0 * kHair) continue;
                EXPECT_GE(got.xmin, want.xmin - sag) << what;
                EXPECT_GE(got.ymin, want.ymin - sag) << what;
                EXPECT_LE(got.xmax, want.xmax + sag) << what;
                EXPECT_LE(got.ymax, want.ymax + sag) << what;
            }
}

TEST_F(PocketTest, PointOnArcCodes)
{
    const double c[2] = {0, 0}, s[2] = {1, 0}, e[2] = {0, 1};
    const double inside[2] = {std::sqrt(0.5), std::sqrt(0.5)}, outside[2] = {-1, 0};
    for (int d : {1, -1}) {
        EXPECT_EQ(pnt_on_arc(c, d, s, e, s), 2);
        EXPECT_EQ(pnt_on_arc(c, d, s, e, e), 3);
    }
    EXPECT_EQ(pnt_on_arc(c, 1, s, e, inside), 1);
    EXPECT_EQ(pnt_on_arc(c, 1, s, e, outside), 0);
    EXPECT_EQ(pnt_on_arc(c, -1, s, e, inside), 0);
    EXPECT_EQ(pnt_on_arc(c, -1, s, e, outside), 1);  // the clockwise arc is three quarters
    const double below[2] = {std::sqrt(0.5), -std::sqrt(0.5)};
    EXPECT_EQ(pnt_on_arc(c, -1, s, e, below), 1);
}

TEST_F(PocketTest, SegmentParameters)
{
    double t = 0;
    seg_param_of_pnt(0, 0, 0, 0, 0, 0, t);
    EXPECT_EQ(t, 0.0);
    seg_param_of_pnt(0, 0, 0, 0, 1, 5, t);
    EXPECT_EQ(t, 1.5);
    seg_param_of_pnt(0, 0, 4, 8, 1, 2, t);
    EXPECT_EQ(t, 0.25);
    const double a[3] = {0, 0, 0}, b[3] = {1, 2, 8}, p[3] = {0, 0, 2};
    seg_param_of_pnt_nd(3, a, b, p, t);
    EXPECT_EQ(t, 0.25);
    double distance = 0, nx = 0, ny = 0;
    seg_dist2(2, 5, 3, 0, 0, 4, 0, distance, nx, ny);
    EXPECT_DOUBLE_EQ(distance, std::sqrt(10.0));
    EXPECT_EQ(nx, 4.0);
    seg_dist2(1, 5, 3, 0, 0, 4, 0, distance, nx, ny);
    EXPECT_EQ(distance, 3.0);
    EXPECT_EQ(nx, 5.0);
}

TEST_F(PocketTest, CircleIntersections)
{
    double p1x, p1y, p2x, p2y;
    int count = 9;
    circle_circle_intersect_xy(0, 0, 3, 5, 0, 2, count, p1x, p1y, p2x, p2y);  // touching outside
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(p1x, 3.0, 1e-12);
    EXPECT_NEAR(p1y, 0.0, 1e-12);
    circle_circle_intersect_xy(0, 0, 5, 6, 0, 5, count, p1x, p1y, p2x, p2y);
    EXPECT_EQ(count, 2);
    EXPECT_NEAR(p1x, 3.0, 1e-12);
    EXPECT_NEAR(std::fabs(p1y), 4.0, 1e-12);
    EXPECT_NEAR(p2y, -p1y, 1e-12);
    circle_circle_intersect_xy(1, 1, 2, 1, 1, 2, count, p1x, p1y, p2x, p2y);
    EXPECT_EQ(count, -1);
    circle_circle_intersect_xy(1, 1, 2, 1, 1, 3, count, p1x, p1y, p2x, p2y);
    EXPECT_EQ(count, 0);
    circle_circle_intersect_xy(0, 0, 1, 5, 0, 1, count, p1x, p1y, p2x, p2y);
    EXPECT_EQ(count, 0);
}

TEST_F(PocketTest, ArcArcIntersections)
{
    // Two quarter arcs of the unit circle, the first ending where the second starts.
    const pk_arc first{0, 0, 1, 1, 1, 0, 0, 1};
    const pk_arc second{0, 0, 1, 1, 0, 1, -1, 0};
    double x = 0, y = 0;
    int status = 9;
    arc_arc_intersect(1, 0, first, second, x, y, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 1.0);
    arc_arc_intersect(1, 1, first, second, x, y, status);
    EXPECT_EQ(status, 2);
    // Two half circles of radius 5 about (0, 0) and (6, 0), crossing at (3, 4).
    const pk_arc upper{0, 0, 5, 1, 5, 0, -5, 0};
    const pk_arc left{6, 0, 5, 1, 6, -5, 6, 5};  // clockwise? no: ccw from bottom through left
    const pk_arc left_ccw{6, 0, 5, -1, 6, -5, 6, 5};
    arc_arc_intersect(1, 0, upper, left_ccw, x, y, status);
    EXPECT_EQ(status, 1);
    EXPECT_NEAR(x, 3.0, 1e-12);
    EXPECT_NEAR(y, 4.0, 1e-12);
    arc_arc_intersect(1, 0, upper, left, x, y, status);  // the right half of the second circle
    EXPECT_EQ(status, 0);
}

TEST_F(PocketTest, SegmentArcIntersections)
{
    const double c[2] = {0, 0};
    const double s[2] = {1, 0}, e[2] = {-1, 0};  // upper half of the unit circle
    const double a[2] = {-2, 1}, b[2] = {2, 1};  // tangent at the top
    double point[2] = {9, 9};
    int status = 9;
    seg_arc_intersect(2, 0, 0, 2, c, 1, 1, a, b, s, e, a, b, point, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(point[0], 0.0);
    EXPECT_EQ(point[1], 1.0);
    seg_arc_intersect(1, 0, 0, 2, c, 1, 1, a, b, s, e, a, b, point, status);
    EXPECT_EQ(status, 0);
    // A vertical line through x = 0.6 meets the upper half once, at (0.6, 0.8).
    const double v1[2] = {0.6, -2}, v2[2] = {0.6, 2};
    seg_arc_intersect(1, 0, 0, 1, c, 1, 1, v1, v2, s, e, v1, v2, point, status);
    EXPECT_EQ(status, 1);
    EXPECT_NEAR(point[0], 0.6, 1e-12);
    EXPECT_NEAR(point[1], 0.8, 1e-12);
    // A horizontal line at y = 0.6 meets it twice: mode 4 picks by arc order.
    const double h1[2] = {-2, 0.6}, h2[2] = {2, 0.6};
    seg_arc_intersect(1, 0, 0, 1, c, 1, 1, h1, h2, s, e, h1, h2, point, status);
    EXPECT_EQ(status, 1);
    EXPECT_NEAR(point[0], 0.8, 1e-12);  // first along the arc from (1, 0)
    seg_arc_intersect(1, 0, 0, 2, c, 1, 1, h1, h2, s, e, h1, h2, point, status);
    EXPECT_NEAR(point[0], -0.8, 1e-12);
    seg_arc_intersect(1, 0, 2, 1, c, 1, 1, h1, h2, s, e, h1, h2, point, status);  // segment order
    EXPECT_NEAR(point[0], -0.8, 1e-12);
    // A short segment between the crossings touches neither: two circle points, none valid.
    const double m1[2] = {-0.5, 0.6}, m2[2] = {0.5, 0.6};
    seg_arc_intersect(1, 0, 0, 1, c, 1, 1, h1, h2, s, e, m1, m2, point, status);
    EXPECT_EQ(status, 2);
    // The lower half is missed entirely by the same line.
    const double far1[2] = {-2, 3}, far2[2] = {2, 3};
    seg_arc_intersect(1, 0, 0, 1, c, 1, 1, far1, far2, s, e, far1, far2, point, status);
    EXPECT_EQ(status, 0);
    double x = 0, y = 0;
    seg_arc_intersect_xy(1, 0, 0, 1, 0, 0, 1, 1, 0.6, -2, 0.6, 2, 1, 0, -1, 0, 0.6, -2, 0.6, 2, x, y, status);
    EXPECT_EQ(status, 1);
    EXPECT_NEAR(y, 0.8, 1e-12);
}

TEST_F(PocketTest, SegmentSegmentIntersections)
{
    struct row {
        const char* what;
        double p1[2], p2[2], q1[2], q2[2];
        int status;
        double x, y;
    };
    const row rows[] = {
        {"crossing", {0, 0}, {2, 2}, {0, 2}, {2, 0}, 1, 1, 1},
        {"near an end snaps to it", {0, 0}, {2, 0}, {2 + 4e-7, -1}, {2 + 4e-7, 1}, 1, 2, 0},
        {"collinear overlap", {0, 0}, {2, 0}, {1, 0}, {3, 0}, 2, 0, 0},
        {"parallel", {0, 0}, {2, 0}, {0, 1}, {2, 1}, 2, 0, 0},
        {"apart", {0, 0}, {1, 0}, {2, -1}, {2, 1}, 0, 0, 0},
        {"degenerate", {0, 0}, {0, 0}, {0, -1}, {0, 1}, 2, 0, 0},
    };
    for (const row& r : rows) {
        double point[2] = {-99, -99};
        int status = 9;
        seg_seg_intersect(r.p1, r.p2, r.q1, r.q2, point, status);
        EXPECT_EQ(status, r.status) << r.what;
        if (r.status == 1) {
            EXPECT_EQ(point[0], r.x) << r.what;  // exact: snapping gives the end itself
            EXPECT_NEAR(point[1], r.y, 1e-15) << r.what;
        }
    }
}

TEST_F(PocketTest, SegmentsWithTrueEndsAndDirections)
{
    double x = 0, y = 0;
    int status = 9;
    // Crossing within 1e-6 of an end of the first segment: exactly that end.
    seg_seg_intersect_xy(0, 0, 0, 2, 0, 2 + 5e-7, -1, 2 + 5e-7, 1, 0, 0, 2, 0, 2 + 5e-7, -1, 2 + 5e-7, 1, kAbsent,
                         kAbsent, x, y, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(x, 2.0);
    EXPECT_EQ(y, 0.0);
    // Mode 1: the crossing of the lines, wherever it lies.
    seg_seg_intersect_xy(1, 0, 0, 1, 0, 5, -1, 5, 1, 0, 0, 1, 0, 5, -1, 5, 1, kAbsent, kAbsent, x, y, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(x, 5.0);
    seg_seg_intersect_xy(0, 0, 0, 1, 0, 5, -1, 5, 1, 0, 0, 1, 0, 5, -1, 5, 1, kAbsent, kAbsent, x, y, status);
    EXPECT_EQ(status, 0);
    // Near-parallel segments meeting at the end of the first, directions given: status 3 there.
    const double along[2] = {1, 0};
    seg_seg_intersect_xy(0, 0, 0, 10, 0, 10, 0, 20, 1e-5, 0, 0, 10, 0, 10, 0, 20, 1e-5, along, along, x, y, status);
    EXPECT_EQ(status, 3);
    EXPECT_EQ(x, 10.0);
    EXPECT_EQ(y, 0.0);
    // A true segment shorter than 1e-6 is degenerate.
    seg_seg_intersect_xy(0, 0, 0, 1, 0, 0, -1, 0, 1, 0, 0, 1e-7, 0, 0, -1, 0, 1, kAbsent, kAbsent, x, y, status);
    EXPECT_EQ(status, 2);

    // The same pair in the pocket's dimension 3: the segments meet at height 1.
    pocket_state_block.pocket_dimension = 3;
    const double p1[3] = {0, 0, 0}, p2[3] = {2, 2, 2}, q1[3] = {0, 2, 1}, q2[3] = {2, 0, 1};
    double point[3] = {0, 0, 0};
    seg_seg_intersect_nd(0, p1, p2, q1, q2, p1, p2, q1, q2, nullptr, nullptr, point, status);
    EXPECT_EQ(status, 1);
    EXPECT_NEAR(point[0], 1.0, 1e-12);
    EXPECT_NEAR(point[2], 1.0, 1e-12);
    const double q3[3] = {0, 2, 5}, q4[3] = {2, 0, 5};  // passes above: skew
    seg_seg_intersect_nd(0, p1, p2, q3, q4, p1, p2, q3, q4, nullptr, nullptr, point, status);
    EXPECT_EQ(status, 0);
    pocket_state_block.pocket_dimension = 2;
    const double r1[2] = {0, 0}, r2[2] = {2, 2}, r3[2] = {0, 2}, r4[2] = {2, 0};
    seg_seg_intersect_nd(0, r1, r2, r3, r4, r1, r2, r3, r4, kAbsent, kAbsent, point, status);
    EXPECT_EQ(status, 1);
    EXPECT_NEAR(point[1], 1.0, 1e-12);
}

TEST_F(PocketTest, PropertySegmentIntersectionIsSymmetric)
{
    const unsigned seed = 4242;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(-100.0, 100.0);
    int crossings = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        double p1[2] = {value(random), value(random)}, p2[2] = {value(random), value(random)};
        double q1[2] = {value(random), value(random)}, q2[2] = {value(random), value(random)};
        // Away from near-parallel pairs, where the order of the arguments decides.
        const double u[2] = {p2[0] - p1[0], p2[1] - p1[1]}, v[2] = {q2[0] - q1[0], q2[1] - q1[1]};
        const double sine = (u[0] * v[1] - u[1] * v[0]) / (std::hypot(u[0], u[1]) * std::hypot(v[0], v[1]));
        if (std::fabs(sine) < 1e-3) continue;
        double a[2] = {0, 0}, b[2] = {0, 0};
        int status_pq = 9, status_qp = 9;
        seg_seg_intersect(p1, p2, q1, q2, a, status_pq);
        seg_seg_intersect(q1, q2, p1, p2, b, status_qp);
        ASSERT_EQ(status_pq, status_qp) << "seed " << seed << " trial " << trial;
        if (status_pq != 1) continue;
        ++crossings;
        EXPECT_NEAR(a[0], b[0], 1e-9) << "seed " << seed << " trial " << trial;
        EXPECT_NEAR(a[1], b[1], 1e-9) << "seed " << seed << " trial " << trial;
        // The point lies on both segments.
        double t = 0;
        seg_param_of_pnt(p1[0], p1[1], p2[0], p2[1], a[0], a[1], t);
        EXPECT_GE(t, -1e-6);
        EXPECT_LE(t, 1 + 1e-6);
    }
    EXPECT_GT(crossings, 100);
}

TEST_F(PocketTest, SpaceIntersections)
{
    // Lines meeting at (1, 1, 1).
    const double p[3] = {0, 0, 0}, s = 1.0 / std::sqrt(3.0), dp[3] = {s, s, s};
    const double q[3] = {1, 1, 0}, dq[3] = {0, 0, 1};
    double point[3], tp = 0, tq = 0;
    int status = 9;
    line_line_intersect3(p, dp, q, dq, point, tp, tq, status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(point[0], 1.0, 1e-12);
    EXPECT_NEAR(point[2], 1.0, 1e-12);
    EXPECT_NEAR(tp, std::sqrt(3.0), 1e-12);
    const double skew_q[3] = {1, 2, 0}, dx[3] = {1, 0, 0};
    line_line_intersect3(p, dp, skew_q, dx, point, tp, tq, status);
    EXPECT_EQ(status, -3);
    const double on_line[3] = {2, 2, 2};
    line_line_intersect3(p, dp, on_line, dp, point, tp, tq, status);
    EXPECT_EQ(status, -2);

    // Segments: crossing, parallel, degenerate, boxes apart, near miss beyond an end.
    const double crossing[12] = {0, 0, 0, 2, 2, 2, 1, 1, 0, 1, 1, 4};
    elem_dist3(crossing, nullptr, point, tp, tq, status);
    EXPECT_EQ(status, 1);
    EXPECT_NEAR(tp, 0.5, 1e-12);
    EXPECT_NEAR(tq, 0.25, 1e-12);
    const double parallel[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
    elem_dist3(parallel, nullptr, point, tp, tq, status);
    EXPECT_EQ(status, 2);
    const double degenerate[12] = {0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1, 0};
    elem_dist3(degenerate, nullptr, point, tp, tq, status);
    EXPECT_EQ(status, -1);
    const double degenerate_q[12] = {0, 0, 0, 1, 0, 0, 5, 5, 5, 5, 5, 5};
    elem_dist3(degenerate_q, nullptr, point, tp, tq, status);
    EXPECT_EQ(status, -2);
    const double boxes[12] = {0, 0, 0, 2, 2, 2, 3, 3, 3, 4, 4, 4};
    elem_dist3(crossing, boxes, point, tp, tq, status);
    EXPECT_EQ(status, 0);
    const double slack[12] = {0, 0, 0, 1, 0, 0, 1 + 5e-7, -1, 0, 1 + 5e-7, 1, 0};
    elem_dist3(slack, nullptr, point, tp, tq, status);  // within the slack: the end itself
    EXPECT_EQ(status, 1);
    EXPECT_EQ(point[0], 1.0);
    EXPECT_NEAR(tp, 1.0, 1e-6);
    const double beyond[12] = {0, 0, 0, 1, 0, 0, 1 + 5e-6, 1, 0, 1 + 5e-6, -1, 0};
    elem_dist3(beyond, nullptr, point, tp, tq, status);  // a near miss moved onto the end
    EXPECT_EQ(status, 1);
    EXPECT_EQ(point[0], 1.0);
    EXPECT_EQ(tp, 1.0);
    EXPECT_NEAR(tq, 0.5, 1e-12);
    const double beyond_other_way[12] = {0, 0, 0, 1, 0, 0, 1 + 5e-6, -1, 0, 1 + 5e-6, 1, 0};
    elem_dist3(beyond_other_way, nullptr, point, tp, tq, status);
    EXPECT_EQ(status, 0);
    const double apart[12] = {0, 0, 0, 1, 0, 0, 3, -1, 0, 3, 1, 0};
    elem_dist3(apart, nullptr, point, tp, tq, status);
    EXPECT_EQ(status, 0);
}
