// Arc fitting of point strings: runs on a circle become one arc record, what stays points (short
// strings, huge radii, fits that cross themselves, runs up to an existing arc), the split of wide
// arcs with and without room, and the sweep of an arc.
#include "lane_test_support.hpp"

#include "pocket_lanes/lane_string_fit.hpp"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

class StringFit : public LaneTest {
protected:
    void TearDown() override
    {
        int status = 0;
        lane_string_fit_release(status);
        LaneTest::TearDown();
    }
};

constexpr double kDegree = std::numbers::pi / 180.0;

// n points evenly on the circle of radius r about (cx, cy) from angle a0 over the sweep (degrees).
std::vector<double> on_circle(int n, double r, double cx, double cy, double a0, double sweep)
{
    std::vector<double> p;
    for (int i = 0; i < n; ++i) {
        const double a = (a0 + sweep * i / (n - 1)) * kDegree;
        p.push_back(cx + r * std::cos(a));
        p.push_back(cy + r * std::sin(a));
    }
    return p;
}

int markers(const std::vector<double>& p, int count)
{
    int m = 0;
    for (int i = 0; i < count; ++i) m += p[2 * i] > 1e20 ? 1 : 0;
    return m;
}

struct fit_result {
    std::vector<double> points;
    int count = 0, flag = 0, status = -9;
};

fit_result fit(std::vector<double> p, int room_extra = 40, int flag = 0)
{
    fit_result r;
    r.count = static_cast<int>(p.size() / 2);
    const int capacity = r.count + room_extra;
    p.resize(2 * static_cast<std::size_t>(capacity), 0.0);
    r.flag = flag;
    lane_string_fit(0.01, p.data(), 1, &r.count, capacity, 0, r.flag, r.status);
    r.points = p;
    return r;
}

}  // namespace

TEST_F(StringFit, RunOnACircleBecomesOneArc)
{
    // Dense enough that every chord's middle lies within 1.5 x the tolerance of the circle: six
    // points over 20 degrees, or 12 and more over 60 (six over 60 lie 0.055 off their chords).
    struct row {
        int n;
        double sweep;
    } rows[] = {{6, 20.0}, {12, 60.0}, {30, 60.0}, {6, 60.0}};
    for (const auto& [n, sweep] : rows) {
        const fit_result r = fit(on_circle(n, 10.0, 3.0, -2.0, 10.0, sweep));
        if (sweep == 60.0 && n == 6) {
            EXPECT_EQ(r.count, 6);
            continue;
        }
        ASSERT_EQ(r.status, 0) << n;
        ASSERT_EQ(r.count, 5) << n;  // start, marker, radius and sense, centre, end
        const double* q = r.points.data();
        EXPECT_GT(q[2], 1e20);
        EXPECT_NEAR(q[4], 10.0, 0.01) << n;
        EXPECT_EQ(q[5], 1.0);
        EXPECT_NEAR(q[6], 3.0, 0.01);
        EXPECT_NEAR(q[7], -2.0, 0.01);
        EXPECT_NEAR(q[8], 3.0 + 10.0 * std::cos((10.0 + sweep) * kDegree), 1e-12);
    }
    // Clockwise the same way.
    const fit_result cw = fit(on_circle(10, 10.0, 0.0, 0.0, 60.0, -60.0));
    ASSERT_EQ(cw.count, 5);
    EXPECT_EQ(cw.points[5], -1.0);
}

TEST_F(StringFit, WhatStaysPoints)
{
    // Five points, a radius above 2000, a straight run.
    std::vector<double> line;
    for (int i = 0; i < 10; ++i) line.insert(line.end(), {double(i), 0.0});
    const std::vector<std::vector<double>> rows = {on_circle(5, 10.0, 0, 0, 0, 60), on_circle(12, 3000.0, 0, 0, 0, 1.0),
                                                   line};
    for (const auto& p : rows) {
        const fit_result r = fit(p);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.count, static_cast<int>(p.size() / 2));
        EXPECT_EQ(markers(r.points, r.count), 0);
        for (std::size_t i = 0; i < p.size(); ++i) EXPECT_DOUBLE_EQ(r.points[i], p[i]);
    }
}

TEST_F(StringFit, FitThatCrossesItselfKeepsTheOldPoints)
{
    // A closed string: an arc run of 8 points, then a path that crosses the arc's chord but not
    // the points' own polygon... the arc bulges over the return path.
    std::vector<double> p = on_circle(8, 10.0, 0.0, 0.0, 60.0, 60.0);  // from (5, 8.66) to (-5, 8.66)
    // Back under the arc, close to it: the chord polygon stays simple, the arc crosses it.
    p.insert(p.end(), {-4.0, 9.25, 0.0, 9.9, 4.0, 9.25, 5.0, 8.660254037844387});
    const fit_result r = fit(p, 40, 1);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.flag, 1);
    EXPECT_EQ(r.count, static_cast<int>(p.size() / 2));
    EXPECT_EQ(markers(r.points, r.count), 0);
}

TEST_F(StringFit, RunStopsBeforeAnExistingArc)
{
    // Seven circle points, then an existing arc record, then more points.
    std::vector<double> p = on_circle(7, 10.0, 0.0, 0.0, 0.0, 40.0);
    const double ex = 10.0 * std::cos(60.0 * kDegree), ey = 10.0 * std::sin(60.0 * kDegree);
    p.insert(p.end(), {1e25, 0.0, 10.0, 1.0, 0.0, 0.0, ex, ey});
    for (int i = 1; i <= 3; ++i) p.insert(p.end(), {ex - i, ey});
    const fit_result r = fit(p);
    ASSERT_EQ(r.status, 0);
    // The seven points became an arc; the old record follows whole; the line stays.
    ASSERT_EQ(markers(r.points, r.count), 2);
    EXPECT_EQ(r.count, 5 + 4 + 3);
    EXPECT_GT(r.points[2], 1e20);
    EXPECT_GT(r.points[10], 1e20);
    EXPECT_DOUBLE_EQ(r.points[16], ex);
}

TEST_F(StringFit, WideArcsSplitIntoEqualParts)
{
    struct row {
        double sweep;
        int parts;
    } rows[] = {{179.0, 2}, {359.0, 3}, {170.0, 1}};
    for (const row& w : rows) {
        const double a = w.sweep * kDegree;
        std::vector<double> p = {10.0, 0.0, 1e25, 0.0, 10.0, 1.0, 0.0, 0.0, 10.0 * std::cos(a), 10.0 * std::sin(a)};
        int count = 5, status = -9;
        p.resize(40, 0.0);
        split_wide_arcs(p.data(), 1, &count, 20, status);
        EXPECT_EQ(status, 0);
        ASSERT_EQ(count, 1 + 4 * w.parts) << w.sweep;
        for (int k = 1; k <= w.parts; ++k) {
            const double* end = &p[2 * (4 * k)];
            const double want = w.sweep * k / w.parts * kDegree;
            EXPECT_NEAR(end[0], 10.0 * std::cos(want), 1e-9) << w.sweep << " " << k;
            EXPECT_NEAR(end[1], 10.0 * std::sin(want), 1e-9);
            EXPECT_GT(p[2 * (4 * k - 3)], 1e20);
        }
    }
    // Without room the arc stays whole and the status says so.
    std::vector<double> p = {
        10.0, 0.0, 1e25, 0.0, 10.0, 1.0, 0.0, 0.0, -10.0 * std::cos(1.0 * kDegree), 10.0 * std::sin(1.0 * kDegree)};
    int count = 5, status = 0;
    split_wide_arcs(p.data(), 1, &count, 6, status);
    EXPECT_EQ(status, kFitNoRoom);
    EXPECT_EQ(count, 5);
}

TEST_F(StringFit, SweepAngleInTheSense)
{
    const double c[2] = {0, 0}, a[2] = {1, 0}, b[2] = {0, 1};
    double angle = 0.0;
    int status = -9;
    arc_sweep_angle(c, a, b, 1, angle, status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(angle, 0.5 * std::numbers::pi, 1e-12);
    arc_sweep_angle(c, a, b, -1, angle, status);
    EXPECT_NEAR(angle, 1.5 * std::numbers::pi, 1e-12);
    arc_sweep_angle(c, a, a, 1, angle, status);
    EXPECT_DOUBLE_EQ(angle, 0.0);
}
