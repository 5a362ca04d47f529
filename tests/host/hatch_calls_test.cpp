// Hatch-line services: the frame of a line and back, the crossing of an edge with a line of that
// frame (ends included, an edge on the line answered as none), the location of a point in a
// packed polygon set, and the thinning that carries companion values along.
#include "host/control.hpp"
#include "host/vantu_hatch.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

class HatchCalls : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }
};

// A packed set of polygons given as lists of x, y.
std::vector<word> packed(const std::vector<std::vector<float>>& polygons)
{
    std::vector<word> out;
    for (const auto& p : polygons) {
        out.push_back(static_cast<word>(p.size() / 2));
        for (float v : p) out.push_back(real_to_word(v));
    }
    return out;
}

}  // namespace

TEST_F(HatchCalls, FrameOfALineAndBack)
{
    const float angle = std::atan2(1.0f, 1.0f);
    const float p[2] = {3.0f, 3.0f}, q[2] = {0.0f, 2.0f};
    float u[2], back[2];
    hatchx(angle, p, u);
    EXPECT_NEAR(u[0], 3.0f * std::sqrt(2.0f), 1e-5);  // along the line
    EXPECT_NEAR(u[1], 0.0f, 1e-5);
    hatchx(angle, q, u);
    EXPECT_NEAR(u[1], std::sqrt(2.0f), 1e-5);  // left of the line: positive v
    hatchx(-angle, u, back);
    EXPECT_NEAR(back[0], q[0], 1e-5);
    EXPECT_NEAR(back[1], q[1], 1e-5);
}

TEST_F(HatchCalls, EdgeAgainstALine)
{
    struct row {
        float a[2], b[2], v;
        int result;
        float u;
    } rows[] = {
        {{0, -1}, {2, 1}, 0.0f, kHatintCrossing, 1.0f}, {{2, 1}, {0, -1}, 0.0f, kHatintCrossing, 1.0f},
        {{0, 0}, {2, 5}, 0.0f, kHatintCrossing, 0.0f},  // at the start: included
        {{0, 5}, {2, 0}, 0.0f, kHatintCrossing, 2.0f},  // at the end: included
        {{0, 1}, {2, 3}, 0.0f, kHatintNone, 0.0f},      // misses
        {{0, 0}, {2, 0}, 0.0f, kHatintNone, 0.0f},      // on the line: no single crossing
    };
    for (const row& r : rows) {
        float u = -99.0f;
        EXPECT_EQ(hatint(r.v, r.a, r.b, u), r.result);
        if (r.result == kHatintCrossing) {
            EXPECT_NEAR(u, r.u, 1e-6);
        }
    }
}

TEST_F(HatchCalls, PointInAPackedSet)
{
    const std::vector<word> set =
        packed({{0, 0, 10, 0, 10, 10, 0, 10}, {3, 3, 3, 6, 6, 6, 6, 3}, {20, 0, 30, 0, 25, 5}});
    struct row {
        float x, y;
        int result;
    } rows[] = {
        {1, 1, kInpolrInside},     {4, 4, kInpolrOutside},  // inside the outline, inside its island
        {3, 4, kInpolrOnBoundary}, {10, 5, kInpolrOnBoundary},
        {25, 2, kInpolrInside},    {15, 5, kInpolrOutside},  // a second outline, the gap between
    };
    for (const row& r : rows) {
        const float p[2] = {r.x, r.y};
        int result = 0;
        inpolr(set.data(), 3, p, 0.001f, result);
        EXPECT_EQ(result, r.result) << r.x << " " << r.y;
    }
    const float p[2] = {1, 1};
    int result = 0;
    inpolr(nullptr, 3, p, 0.001f, result);
    EXPECT_EQ(result, kInpolrOutside);
    inpolr(set.data(), 0, p, 0.001f, result);
    EXPECT_EQ(result, kInpolrOutside);
}

TEST_F(HatchCalls, ThinningCarriesCompanionValues)
{
    // Five points on a line with one bump: the points within the tolerance go, their directions
    // with them.
    std::vector<double> points = {0, 0, 1, 0.0001, 2, 0, 3, 1, 4, 0};
    std::vector<double> directions = {10, 10, 11, 11, 12, 12, 13, 13, 14, 14};
    int count = 5, status = 0;
    dillad(2, 0.01, points.data(), directions.data(), 2, count, status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(count, 4);
    const double want_x[] = {0, 2, 3, 4}, want_d[] = {10, 12, 13, 14};
    for (int i = 0; i < count; ++i) {
        EXPECT_DOUBLE_EQ(points[2 * i], want_x[i]);
        EXPECT_DOUBLE_EQ(directions[2 * i + 1], want_d[i]);
    }
    count = 5;
    dillad(4, 0.01, points.data(), directions.data(), 2, count, status);
    EXPECT_EQ(status, -1);
    dillad(2, 0.01, points.data(), nullptr, 2, count, status);
    EXPECT_EQ(status, -1);
}
