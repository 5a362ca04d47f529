// Double-precision vector routines, tolerant comparisons and the thinning of point lists.
#include "host/control.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_vector.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

TEST(HostVector, DifferencesProductsAndCopies)
{
    const double a[3] = {1, 2, 3}, b[3] = {4, 6, 3};
    double d[3] = {0, 0, 0};
    v3subd(b, a, d);
    EXPECT_EQ(d[0], 3.0);
    EXPECT_EQ(d[1], 4.0);
    EXPECT_EQ(d[2], 0.0);
    EXPECT_EQ(distd(3, a, b), 5.0);
    EXPECT_EQ(distd(0, a, b), 0.0);
    EXPECT_EQ(v2dotd(a, b), 16.0);
    EXPECT_EQ(v3dotd(a, b), 25.0);
    EXPECT_EQ(vdotd(1, a, b), 4.0);
    EXPECT_EQ(v2crsd(a, b), -2.0);
    double perp[2] = {a[0], a[1]};
    v2prpd(perp, perp);  // in place: a quarter turn counter-clockwise
    EXPECT_EQ(perp[0], -a[1]);
    EXPECT_EQ(perp[1], a[0]);
    EXPECT_EQ(v2dotd(perp, a), 0.0);
    double c[3];
    v3crsd(a, b, c);
    EXPECT_EQ(c[0], 2 * 3 - 3 * 6);
    EXPECT_EQ(c[1], 3 * 4 - 1 * 3);
    EXPECT_EQ(c[2], 1 * 6 - 2 * 4);
    double p[3];
    v3addd(a, b, 0.5, p);
    EXPECT_EQ(p[1], 5.0);
    v2addd(a, b, -1.0, p);
    EXPECT_EQ(p[0], -3.0);
    double list[5] = {1, 2, 3, 4, 5};
    movd(list, 4, list + 1);  // overlapping copy
    EXPECT_EQ(list[4], 4.0);
    EXPECT_EQ(list[1], 1.0);
    movd(list, -2, list + 1);
    const double rotate[9] = {0, -1, 0, 1, 0, 0, 0, 0, 1};
    double r[3] = {1, 0, 7};
    m3vecd(rotate, r, r);
    EXPECT_EQ(r[0], 0.0);
    EXPECT_EQ(r[1], 1.0);
    EXPECT_EQ(r[2], 7.0);
}

TEST(HostVector, PointBetweenTwoPointsHitsBothEndsExactly)
{
    const double a[3] = {0.1, -7.3, 1e-3}, b[3] = {2.7, 0.3, -5.9};
    const struct {
        double t;
        double expected[3];
    } rows[] = {
        {0.0, {a[0], a[1], a[2]}},
        {1.0, {b[0], b[1], b[2]}},
        {0.5, {1.4, -3.5, -2.9495}},
        {-1.0, {-2.5, -14.9, 5.902}},  // beyond a: extrapolated
    };
    for (const auto& row : rows) {
        double p[3];
        v3btpd(a, b, row.t, p);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(p[k], row.expected[k], 1e-12) << "t " << row.t << " k " << k;
        if (row.t == 0.0 || row.t == 1.0) {
            for (int k = 0; k < 3; ++k) EXPECT_EQ(p[k], row.expected[k]) << "an end is met exactly";
        }
    }
    double in_place[3] = {a[0], a[1], a[2]};
    v3btpd(in_place, b, 0.5, in_place);
    EXPECT_NEAR(in_place[1], -3.5, 1e-12);
}

TEST(HostVector, UnitVectorsRefuseZeroLength)
{
    double v[3] = {3, 0, 4}, length = 0;
    int status = 9;
    v3untd(v, length, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(length, 5.0);
    EXPECT_DOUBLE_EQ(v[2], 0.8);
    double tiny[2] = {1e-7, 0};
    v2untd(tiny, length, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(tiny[0], 1e-7);
    vunitd(0, v, length, status);
    EXPECT_EQ(status, -1);
}

TEST(HostVector, ArcCosineIsClamped)
{
    double angle = -1;
    int status = 9;
    arcosd(1.0 + 1e-12, angle, status);
    EXPECT_EQ(angle, 0.0);
    EXPECT_EQ(status, 0);
    arcosd(-1.5, angle, status);
    EXPECT_DOUBLE_EQ(angle, M_PI);
    EXPECT_EQ(status, 1);
    arcosd(std::nan(""), angle, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(angle, 0.0);
}

TEST(HostVector, LineIntersections)
{
    const double p[2] = {0, 0}, u[2] = {1, 0}, q[2] = {3, -2}, v[2] = {0, 1};
    double x[3] = {0, 0, 0}, s = 0, t = 0;
    int status = 9;
    intvvd(p, u, q, v, x, s, t, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(x[0], 3.0);
    EXPECT_EQ(x[1], 0.0);
    EXPECT_EQ(s, 3.0);
    EXPECT_EQ(t, 2.0);
    const double w[2] = {-1, 0};
    intvvd(p, u, q, w, x, s, t, status);
    EXPECT_EQ(status, -2);
    const double zero[2] = {0, 0};
    intvvd(p, zero, q, v, x, s, t, status);
    EXPECT_EQ(status, -1);

    // Skew lines in space: the midpoint of the closest approach.
    const double p3[3] = {0, 0, 0}, u3[3] = {1, 0, 0}, q3[3] = {2, -1, 2}, v3[3] = {0, 1, 0};
    intvvd3(p3, u3, q3, v3, x, s, t, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(s, 2.0);
    EXPECT_EQ(t, 1.0);
    EXPECT_EQ(x[2], 1.0);
    const double on[3] = {5, 0, 0};
    intvvd3(p3, u3, on, u3, x, s, t, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(s, 5.0);
    const double off[3] = {5, 1, 0};
    intvvd3(p3, u3, off, u3, x, s, t, status);
    EXPECT_EQ(status, -2);
}

TEST(HostVector, DistanceFromSegmentAndLine)
{
    const double a[3] = {0, 0, 0}, b[3] = {4, 0, 0}, p[3] = {6, 3, 0};
    double nearest[3], t = 0, d = 0;
    int status = 9;
    dsdlpt(2, 2, p, a, b, nearest, t, d, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(t, 1.0);
    EXPECT_EQ(nearest[0], 4.0);
    EXPECT_DOUBLE_EQ(d, std::sqrt(13.0));
    dsdlpt(1, 3, p, a, b, nearest, t, d, status);
    EXPECT_EQ(t, 1.5);
    EXPECT_EQ(d, 3.0);
    dsdlpt(1, 3, p, a, a, nearest, t, d, status);
    EXPECT_EQ(t, 0.0);
    EXPECT_DOUBLE_EQ(d, std::sqrt(45.0));
    dsdlpt(3, 2, p, a, b, nearest, t, d, status);
    EXPECT_EQ(status, -1);
    dsdlpt(2, 4, p, a, b, nearest, t, d, status);
    EXPECT_EQ(status, -1);
    const double on[2] = {2, 0.5e-6}, off[2] = {2, 2e-6};
    EXPECT_EQ(tptonl2d(on, a, b), 1);
    EXPECT_EQ(tptonl2d(off, a, b), 0);
    EXPECT_EQ(tptonl2d(on, a, a), 0);
}

// The segment foot clamps its parameter as fmax(0, fmin(1, t)) does, bit for bit: a NaN becomes
// 1 and a parameter that underflows to -0.0 keeps its sign (seen in a foot on a -0.0 start).
TEST(HostVector, SegmentFootClampsAsTheLibrary)
{
    const double nan = std::nan("");
    // Called through pointers: the compiler folds a direct fmax(0.0, t) with its own zero sign.
    double (*const volatile library_fmax)(double, double) = ::fmax;
    double (*const volatile library_fmin)(double, double) = ::fmin;
    struct row {
        double point[3], start[3], end[3];
    };
    const row rows[] = {
        {{2, 1, 1}, {0, 0, 0}, {4, 0, 2}},                     // inside
        {{-3, 1, 0}, {0, 0, 0}, {4, 0, 0}},                    // before the start
        {{9, -1, 5}, {0, 0, 0}, {4, 0, 2}},                    // beyond the end
        {{nan, 1, 0}, {0, 0, 0}, {4, 0, 0}},                   // NaN parameter
        {{-1e-300, 0, 0}, {-0.0, -0.0, -0.0}, {1e150, 0, 0}},  // parameter underflows to -0.0
        {{1, 1, 1}, {2, 2, 2}, {2, 2, 2}},                     // no length
    };
    for (int dimension = 2; dimension <= 3; ++dimension) {
        for (const row& r : rows) {
            double along = 0.0, length2 = 0.0;
            for (int k = 0; k < dimension; ++k) {
                along += (r.point[k] - r.start[k]) * (r.end[k] - r.start[k]);
                length2 += (r.end[k] - r.start[k]) * (r.end[k] - r.start[k]);
            }
            const double expected_t = library_fmax(0.0, library_fmin(1.0, length2 > 0.0 ? along / length2 : 0.0));
            double nearest[3] = {7, 7, 7}, t = 5, d = 5;
            int status = 9;
            dsdlpt(2, dimension, r.point, r.start, r.end, nearest, t, d, status);
            EXPECT_EQ(status, 0);
            EXPECT_EQ(std::signbit(t), std::signbit(expected_t)) << "row " << &r - rows << " dimension " << dimension;
            EXPECT_EQ(t, expected_t) << "row " << &r - rows << " dimension " << dimension;
            for (int k = 0; k < dimension; ++k) {
                const double foot = r.start[k] + expected_t * (r.end[k] - r.start[k]);
                EXPECT_EQ(std::signbit(nearest[k]), std::signbit(foot)) << "row " << &r - rows << " k " << k;
                EXPECT_EQ(nearest[k], foot) << "row " << &r - rows << " k " << k;
            }
        }
    }
}

TEST(HostCompareD, EveryComparisonAtTheToleranceEdge)
{
    const double tol = vantu::kDoubleTolerance;
    const double inside = 0.5 * tol, outside = 2.0 * tol;
    struct row {
        const char* name;
        int (*two)(double, double);
        int at_inside_above;   // a = b + inside
        int at_outside_above;  // a = b + outside
        int at_outside_below;  // a = b - outside
    };
    const row rows[] = {
        {"eqvald", eqvald, 1, 0, 0}, {"nevald", nevald, 0, 1, 1}, {"gtvald", gtvald, 0, 1, 0},
        {"gevald", gevald, 1, 1, 0}, {"ltvald", ltvald, 0, 0, 1}, {"levald", levald, 1, 0, 1},
        {"eqvldd", eqvldd, 1, 0, 0}, {"nevldd", nevldd, 0, 1, 1}, {"gtvldd", gtvldd, 0, 1, 0},
        {"ltvldd", ltvldd, 0, 0, 1}, {"levldd", levldd, 1, 0, 1},
    };
    const double b = 10.0;
    for (const row& r : rows) {
        EXPECT_EQ(r.two(b + inside, b), r.at_inside_above) << r.name;
        EXPECT_EQ(r.two(b + outside, b), r.at_outside_above) << r.name;
        EXPECT_EQ(r.two(b - outside, b), r.at_outside_below) << r.name;
    }
    struct zero_row {
        const char* name;
        int (*one)(double);
        int small_positive, large_positive, large_negative;
    };
    const zero_row zero_rows[] = {
        {"eqvl0d", eqvl0d, 1, 0, 0}, {"nevl0d", nevl0d, 0, 1, 1}, {"gtvl0d", gtvl0d, 0, 1, 0},
        {"gevl0d", gevl0d, 1, 1, 0}, {"levl0d", levl0d, 1, 0, 1}, {"ltvl0d", ltvl0d, 1, 0, 1},
        {"lev0dd", lev0dd, 1, 0, 1},
    };
    for (const zero_row& r : zero_rows) {
        EXPECT_EQ(r.one(inside), r.small_positive) << r.name;
        EXPECT_EQ(r.one(outside), r.large_positive) << r.name;
        EXPECT_EQ(r.one(-outside), r.large_negative) << r.name;
    }
    const double p[3] = {1, 2, 3}, q[3] = {1 + inside, 2, 3 + outside};
    EXPECT_EQ(eqptd(2, p, q), 1);
    EXPECT_EQ(eqptd(3, p, q), 0);
}

TEST(HostCompareD, CallsAreCounted)
{
    vantu::control::reset();
    eqvald(1, 1);
    eqvald(1, 2);
    double v[2] = {1, 0}, length = 0;
    int status = 0;
    v2untd(v, length, status);
    EXPECT_EQ(vantu::control::call_count("eqvald"), 2);
    EXPECT_EQ(vantu::control::call_count("v2untd"), 1);
}

namespace {

// Distance of p from the segment a..b in the plane.
double to_segment(const double* p, const double* a, const double* b)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double l2 = dx * dx + dy * dy;
    double t = l2 > 0 ? ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / l2 : 0.0;
    t = std::fmax(0.0, std::fmin(1.0, t));
    return std::hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy);
}

}  // namespace

TEST(HostThinning, KeepsEndsAndEveryDroppedPointWithinTheTolerance)
{
    const unsigned seed = 99;
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 0.02);
    for (int trial = 0; trial < 30; ++trial) {
        const int n = 20 + 10 * trial;
        std::vector<double> original;
        for (int i = 0; i < n; ++i) {
            original.push_back(0.1 * i);
            original.push_back(std::sin(0.05 * i) + noise(random));
        }
        std::vector<double> points = original;
        int count = n, status = 9;
        const double tolerance = 0.05;
        dladstd(2, tolerance, 0, 0.0, points.data(), count, nullptr, 0, status);
        ASSERT_EQ(status, 0);
        ASSERT_LT(count, n) << "seed " << seed << " trial " << trial;
        ASSERT_GE(count, 2);
        EXPECT_EQ(points[0], original[0]);
        EXPECT_EQ(points[2 * count - 2], original[2 * n - 2]);
        // Every original point lies within the tolerance of the kept chord around it.
        int kept = 0;
        for (int i = 0; i < n; ++i) {
            while (kept + 1 < count && points[2 * (kept + 1)] <= original[2 * i]) ++kept;
            if (kept + 1 >= count) break;
            EXPECT_LE(to_segment(&original[2 * i], &points[2 * kept], &points[2 * kept + 2]), tolerance + 1e-12)
                << "seed " << seed << " trial " << trial << " point " << i;
        }
    }
}

TEST(HostThinning, ModeOneLimitsChordsAndNormalsMoveAlong)
{
    // Eleven collinear points in space with normals numbered by point.
    std::vector<double> points, normals;
    for (int i = 0; i <= 10; ++i) {
        points.insert(points.end(), {double(i), 0.0, 0.0});
        normals.insert(normals.end(), {double(i), 0.0, 1.0});
    }
    int count = 11, status = 9;
    dladstd(3, 1e-3, 1, 3.5, points.data(), count, normals.data(), 24, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(count, 5);  // halved until no chord exceeds 3.5
    const double expected[5] = {0, 2, 5, 7, 10};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(points[3 * k], expected[k]);
        EXPECT_EQ(normals[3 * k], expected[k]);
    }
    count = 11;
    std::vector<double> again;
    for (int i = 0; i <= 10; ++i) again.insert(again.end(), {double(i), 0.0, 0.0});
    dladstd(3, 1e-3, 0, 3.5, again.data(), count, nullptr, 0, status);
    EXPECT_EQ(count, 2);  // mode 0 ignores the extra value
}

TEST(HostThinning, LongStraightRunsThinInOnePass)
{
    // The longest list a pocket array holds, all on one line with a tiny wobble.
    const int n = 150000;
    std::vector<double> points;
    for (int i = 0; i < n; ++i) points.insert(points.end(), {0.01 * i, (i % 2) * 1e-5});
    int count = n, status = 9;
    dladstd(2, 1e-3, 0, 0.0, points.data(), count, nullptr, 0, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(points[2], 0.01 * (n - 1));
}

TEST(HostThinning, BadArgumentsAreRefusedAndShortListsStay)
{
    double points[4] = {0, 0, 1, 1};
    int count = 2, status = 0;
    dladstd(2, 0.1, 0, 0.0, points, count, nullptr, 0, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count, 2);
    struct row {
        int dimension;
        double tolerance;
        int mode;
        int count;
        int stride;
    };
    const row rows[] = {
        {4, 0.1, 0, 2, 0}, {2, -1.0, 0, 2, 0}, {2, 0.1, 2, 2, 0}, {2, 0.1, 0, -1, 0}, {2, 0.1, 0, 2, 12}};
    double normals[6] = {};
    for (const row& r : rows) {
        count = r.count;
        dladstd(r.dimension, r.tolerance, r.mode, 0.0, points, count, r.stride ? normals : nullptr, r.stride, status);
        EXPECT_EQ(status, -1) << r.dimension << " " << r.tolerance << " " << r.mode;
        EXPECT_EQ(count, r.count);
    }
    count = 5;
    dladstd(2, 0.1, 0, 0.0, nullptr, count, nullptr, 0, status);
    EXPECT_EQ(status, -1);
}
