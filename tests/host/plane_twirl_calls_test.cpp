// Plane helpers of the lane code (turning sense, angle, point on a segment, scaling, degrees,
// exchange, grid cells of a segment) and the twirl spline services (descriptors, the twirl
// spline, its C0 chain and its polyline within the tolerance, refusals and armed faults).
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace {

using namespace vantu::control;

class PlaneTwirlCalls : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
};

}  // namespace

TEST_F(PlaneTwirlCalls, PlaneHelpers)
{
    const double o[2] = {0, 0}, x[2] = {1, 0}, y[2] = {0, 1}, far[2] = {2, 0};
    EXPECT_EQ(triccw(o, x, y), 1);
    EXPECT_EQ(triccw(o, y, x), -1);
    EXPECT_EQ(triccw(o, x, far), 0);
    EXPECT_NEAR(calvan(x, y), std::numbers::pi / 2, 1e-15);
    EXPECT_NEAR(calvan(x, far), 0.0, 1e-15);
    EXPECT_EQ(calvan(o, x), 0.0);
    struct row {
        double p[2];
        int on;
        double t;
    } rows[] = {{{1, 0}, 1, 0.5}, {{0, 0}, 1, 0.0}, {{3, 0}, 0, 1.5}, {{1, 0.5}, 0, 0.5}};
    for (const row& r : rows) {
        double t = -9;
        EXPECT_EQ(ptonld(r.p, o, far, t), r.on) << r.p[0] << "," << r.p[1];
        EXPECT_NEAR(t, r.t, 1e-15);
    }
    double v[3] = {1, -2, 3};
    vecscl(3, 2.0, v, v);
    EXPECT_EQ(v[1], -4.0);
    EXPECT_NEAR(radd(180.0), std::numbers::pi, 1e-15);
    float a = 1.0f, b = 2.0f;
    exgr(a, b);
    EXPECT_EQ(a, 2.0f);
    EXPECT_EQ(b, 1.0f);
}

TEST_F(PlaneTwirlCalls, GridCellsOfASegment)
{
    struct row {
        double x0, y0, x1, y1;
        std::vector<std::pair<int, int>> cells;
    } rows[] = {
        {0.5, 0.5, 0.7, 0.2, {{0, 0}}},
        {0.5, 0.5, 2.5, 0.5, {{0, 0}, {1, 0}, {2, 0}}},
        {0.5, 0.5, -0.5, 1.5, {{0, 0}, {-1, 0}, {-1, 1}}},  // through a corner: the cell along x first
        {0.2, 0.5, 1.8, 1.5, {{0, 0}, {1, 0}, {1, 1}}},
    };
    for (const row& r : rows) {
        int cells[20], count = 0, status = -9;
        crgrid(r.x0, r.y0, r.x1, r.y1, 10, cells, count, status);
        EXPECT_EQ(status, 0);
        std::vector<std::pair<int, int>> got;
        for (int k = 0; k < count; ++k) got.emplace_back(cells[2 * k], cells[2 * k + 1]);
        EXPECT_EQ(got, r.cells) << r.x0 << "," << r.y0 << " " << r.x1 << "," << r.y1;
    }
    int cells[4], count = 0, status = 0;
    crgrid(0.5, 0.5, 5.5, 0.5, 2, cells, count, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(count, 2);
    crgrid(NAN, 0, 1, 1, 2, cells, count, status);
    EXPECT_EQ(status, -1);
}

TEST_F(PlaneTwirlCalls, TwirlSplineChainAndPolyline)
{
    int spline = 0, chain = 0, status = -9;
    dam_ini(3, 100, spline, status);
    ASSERT_EQ(status, 0);
    dam_ini(3, 100, chain, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(dam_nrc(spline), 0);
    const double p0[3] = {0, 0, 0}, d0[3] = {2, 0, 0}, p1[3] = {9, 9, 0}, d1[3] = {0, 1, 0};
    int error = -9;
    get_twirl_spline(2, p0, d0, p1, d1, 9.0, spline, 100, error);
    ASSERT_EQ(error, 0);
    ASSERT_EQ(dam_nrc(spline), 4);
    EXPECT_EQ(dam_records(spline)[3], 3.0);  // a third of the length along the unit direction
    EXPECT_EQ(dam_records(spline)[7], 6.0);
    // Refusals: another mode, no length, no direction, equal points.
    const double zero[3] = {0, 0, 0};
    for (const auto& [mode, length, direction, end] :
         std::vector<std::tuple<int, double, const double*, const double*>>{
             {1, 9.0, d0, p1}, {2, 0.0, d0, p1}, {2, 9.0, zero, p1}, {2, 9.0, d0, p0}}) {
        get_twirl_spline(mode, p0, direction, end, d1, length, chain, 100, error);
        EXPECT_EQ(error, 1);
    }
    nb_c0approx(spline, 0.01, chain, 100, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(dam_nrc(chain), 4);
    std::vector<double> points(3 * 400);
    int count = 0;
    nb_appbypol2(chain, 0.01, 400, points.data(), count, status);
    ASSERT_EQ(status, 0);
    ASSERT_GT(count, 4);
    EXPECT_EQ(points[0], 0.0);
    EXPECT_EQ(points[3 * count - 3], 9.0);
    EXPECT_EQ(points[3 * count - 2], 9.0);
    // Every point on the Bezier curve: check against its own parameter by nearest sampling.
    const double* c = dam_records(chain);
    for (int i = 0; i < count; ++i) {
        double best = 1e9;
        for (int k = 0; k <= 2000; ++k) {
            const double t = k / 2000.0, s = 1 - t;
            const double b[4] = {s * s * s, 3 * s * s * t, 3 * s * t * t, t * t * t};
            double q[2] = {0, 0};
            for (int j = 0; j < 4; ++j)
                for (int m = 0; m < 2; ++m) q[m] += b[j] * c[3 * j + m];
            best = std::min(best, std::hypot(q[0] - points[3 * i], q[1] - points[3 * i + 1]));
        }
        EXPECT_LT(best, 0.01) << i;
    }
    nb_appbypol2(chain, 0.01, 3, points.data(), count, status);
    EXPECT_EQ(status, -1);  // no room
    inject_fault("nb_appbypol2", 1, 1, -7);
    nb_appbypol2(chain, 0.01, 400, points.data(), count, status);
    EXPECT_EQ(status, -7);
    dam_end(spline, status);
    EXPECT_EQ(status, 0);
    dam_end(spline, status);
    EXPECT_EQ(status, -1);
    dam_end(chain, status);
    EXPECT_EQ(dam_nrc(chain), -1);
}
