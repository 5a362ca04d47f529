// The plane fit (lsqrpl), the crossing of two planar segments (int2l) and the working view of a
// tilted plane (zsys3, trchk, wvputc, setwv, mapm2w, mapw2m).
#include "host/control.hpp"
#include "host/control/tp_display_host.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace control = vantu::control;

namespace {

using vec3 = std::array<double, 3>;

// A unit normal and two in-plane axes of a random plane.
struct random_plane {
    vec3 n, u, v;
    double d;
};

random_plane make_plane(std::mt19937& rng)
{
    std::uniform_real_distribution<double> any(-1.0, 1.0);
    vec3 n{any(rng), any(rng), any(rng) + 1.5};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (double& c : n) c /= length;
    vec3 u{n[2], 0.0, -n[0]};
    const double ul = std::hypot(u[0], u[2]);
    for (double& c : u) c /= ul;
    const vec3 v{n[1] * u[2] - n[2] * u[1], n[2] * u[0] - n[0] * u[2], n[0] * u[1] - n[1] * u[0]};
    return {n, u, v, any(rng) * 50.0};
}

}  // namespace

TEST(PlaneFit, LsqrplFindsThePlaneOfSeededPointSets)
{
    control::reset();
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        const random_plane p = make_plane(rng);
        std::uniform_real_distribution<double> along(-80.0, 80.0);
        std::vector<float> points;
        for (int i = 0; i < 12; ++i) {
            const double a = along(rng), b = along(rng);
            for (std::size_t k = 0; k < 3; ++k) points.push_back(float(-p.d * p.n[k] + a * p.u[k] + b * p.v[k]));
        }
        double plane[4];
        int status = 0;
        lsqrpl(12, points.data(), plane, status);
        ASSERT_EQ(status, 0) << "seed " << seed;
        EXPECT_NEAR(std::hypot(plane[0], plane[1], plane[2]), 1.0, 1e-9) << "seed " << seed;
        const double* largest =
            std::max_element(plane, plane + 3, [](double a, double b) { return std::abs(a) < std::abs(b); });
        EXPECT_GT(*largest, 0.0) << "seed " << seed;
        EXPECT_NEAR(std::abs(plane[0] * p.n[0] + plane[1] * p.n[1] + plane[2] * p.n[2]), 1.0, 1e-6) << "seed " << seed;
        for (int i = 0; i < 12; ++i)
            EXPECT_NEAR(plane[0] * points[3 * i] + plane[1] * points[3 * i + 1] + plane[2] * points[3 * i + 2] +
                            plane[3],
                        0.0, 1e-3)
                << "seed " << seed;
    }
}

TEST(PlaneFit, LsqrplRefusesPointsThatSpanNoPlane)
{
    const std::vector<std::vector<float>> rows = {
        {0, 0, 0, 1, 1, 1},                     // two points
        {1, 2, 3, 2, 4, 6, 3, 6, 9, 4, 8, 12},  // one line
        {5, 5, 5, 5, 5, 5, 5, 5, 5},            // one place
    };
    for (const auto& points : rows) {
        double plane[4] = {7, 7, 7, 7};
        int status = 0;
        lsqrpl(int(points.size() / 3), points.data(), plane, status);
        EXPECT_EQ(status, -1) << points.size();
        EXPECT_EQ(plane[0], 7.0);
    }
}

TEST(SegmentCrossing, Int2lTellsCrossingsApartAndParallels)
{
    struct row {
        float p1[2], p2[2], q1[2], q2[2];
        int status;
        float x, y;
    };
    const row rows[] = {
        {{0, 0}, {4, 4}, {0, 4}, {4, 0}, kInt2lCrossing, 2, 2},
        {{0, 0}, {4, 0}, {4, -1}, {4, 3}, kInt2lCrossing, 4, 0},  // at an end
        {{0, 0}, {1, 0}, {3, -1}, {3, 1}, kInt2lApart, 3, 0},
        {{0, 0}, {4, 0}, {0, 1}, {4, 1}, kInt2lParallel, 0, 0},
        {{0, 0}, {4, 0}, {2, 0}, {6, 0}, kInt2lParallel, 0, 0},  // overlapping
        {{1, 1}, {1, 1}, {0, 0}, {2, 2}, kInt2lParallel, 0, 0},  // no length
    };
    for (const row& r : rows) {
        float crossing[2] = {0, 0};
        int status = -9;
        int2l(r.p1, r.p2, r.q1, r.q2, crossing, status);
        EXPECT_EQ(status, r.status) << r.q1[0];
        if (status != kInt2lParallel) {
            EXPECT_NEAR(crossing[0], r.x, 1e-5);
            EXPECT_NEAR(crossing[1], r.y, 1e-5);
        }
    }
}

TEST(WorkView, TiltedPlaneViewMapsItsPointsOntoXYAndBack)
{
    control::reset();
    control::set_model_origin({10.0f, 0.0f, 0.0f});
    std::mt19937 rng(7);
    for (int round = 0; round < 10; ++round) {
        const random_plane p = make_plane(rng);
        const float origin[3] = {float(-p.d * p.n[0]), float(-p.d * p.n[1]), float(-p.d * p.n[2])};
        const float z_point[3] = {origin[0] + float(p.n[0]), origin[1] + float(p.n[1]), origin[2] + float(p.n[2])};
        int ucs = 0, view = 0, status = 0;
        zsys3(origin, z_point, ucs, status);
        ASSERT_EQ(status, 0);
        trchk(ucs, view, status);
        ASSERT_EQ(status, 0);
        wvputc("WVPTR", view, status);
        setwv();
        for (const double a : {-30.0, 0.0, 45.0}) {
            const float model[3] = {float(origin[0] + a * p.u[0] + 2 * a * p.v[0] + 3 * p.n[0]),
                                    float(origin[1] + a * p.u[1] + 2 * a * p.v[1] + 3 * p.n[1]),
                                    float(origin[2] + a * p.u[2] + 2 * a * p.v[2] + 3 * p.n[2])};
            float world[3], back[3];
            mapm2w(model, world);
            EXPECT_NEAR(world[2], 3.0f, 1e-3) << "round " << round;  // height over the plane
            EXPECT_NEAR(std::hypot(world[0], world[1]), std::hypot(a, 2 * a), 1e-2) << "round " << round;
            mapw2m(world, back);
            for (int k = 0; k < 3; ++k) EXPECT_NEAR(back[k], model[k], 1e-3) << "round " << round;
        }
    }
    // The tool path's own view (no UCS) maps by the model frame's origin alone.
    int status = 0;
    wvputc("WVPTR", 0, status);
    setwv();
    const float model[3] = {1, 2, 3};
    float world[3];
    mapm2w(model, world);
    EXPECT_FLOAT_EQ(world[0], 11.0f);
    EXPECT_FLOAT_EQ(world[2], 3.0f);
    const float same[3] = {1, 1, 1};
    int ucs = 0;
    zsys3(same, same, ucs, status);
    EXPECT_EQ(status, -1);
}
