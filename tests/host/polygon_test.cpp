// Point in polygon (inpold) on single polygons and on sets with islands, and the planar
// point-to-segment distance (dsdlpt2).
#include "host/control.hpp"
#include "host/vantu_polygon.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

class PolygonTest : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }
};

int where(const std::vector<double>& points, double x, double y, double tolerance = 0.001)
{
    const double p[2] = {x, y};
    int result = 0;
    inpold(tolerance, points.data(), static_cast<int>(points.size() / 2), p, result);
    return result;
}

const std::vector<double> kSquare = {0, 0, 10, 0, 10, 10, 0, 10, 0, 0};

}  // namespace

TEST_F(PolygonTest, SinglePolygonDecisionTable)
{
    struct row {
        double x, y;
        int result;
    };
    const row rows[] = {{5, 5, kInpolInside},           {5, 0, kInpolOnBoundary},   {10, 10, kInpolOnBoundary},
                        {5, 10.0005, kInpolOnBoundary}, {5, 10.002, kInpolOutside}, {-1, 5, kInpolOutside},
                        {5, -3, kInpolOutside},         {0.002, 5, kInpolInside}};
    for (const row& r : rows) EXPECT_EQ(where(kSquare, r.x, r.y), r.result) << r.x << ", " << r.y;
    // The same polygon without its closing point is closed implicitly.
    const std::vector<double> open(kSquare.begin(), kSquare.end() - 2);
    EXPECT_EQ(where(open, 5, 5), kInpolInside);
    EXPECT_EQ(where(open, 0, 5), kInpolOnBoundary);
}

TEST_F(PolygonTest, PointInsideAnIslandIsOutsideTheSet)
{
    std::vector<double> set = kSquare;
    const std::vector<double> island = {4, 4, 6, 4, 6, 6, 4, 6, 4, 4};
    set.insert(set.end(), island.begin(), island.end());
    EXPECT_EQ(where(set, 5, 5), kInpolOutside);
    EXPECT_EQ(where(set, 2, 2), kInpolInside);
    EXPECT_EQ(where(set, 4, 5), kInpolOnBoundary);
    EXPECT_EQ(where(set, 20, 5), kInpolOutside);
}

TEST_F(PolygonTest, BadListsAreOutside)
{
    const double p[2] = {0, 0};
    int result = 0;
    inpold(0.001, nullptr, 4, p, result);
    EXPECT_EQ(result, kInpolOutside);
    inpold(0.001, kSquare.data(), 0, p, result);
    EXPECT_EQ(result, kInpolOutside);
    EXPECT_EQ(where({3, 3}, 3, 3), kInpolOnBoundary);
    EXPECT_EQ(where({3, 3}, 4, 3), kInpolOutside);
}

TEST_F(PolygonTest, SegmentDistanceKeepsTheRawParameter)
{
    const double a[2] = {0, 0}, b[2] = {10, 0};
    double nearest[2], t = 0.0, d = 0.0;
    int status = -5;
    const double beyond[2] = {15, 2};
    dsdlpt2(2, beyond, a, b, nearest, t, d, status);
    EXPECT_EQ(status, 0);
    EXPECT_DOUBLE_EQ(t, 1.5);
    EXPECT_DOUBLE_EQ(nearest[0], 10.0);
    EXPECT_DOUBLE_EQ(d, std::hypot(5.0, 2.0));
    dsdlpt2(1, beyond, a, b, nearest, t, d, status);
    EXPECT_DOUBLE_EQ(nearest[0], 15.0);
    EXPECT_DOUBLE_EQ(d, 2.0);
    dsdlpt2(1, beyond, a, a, nearest, t, d, status);
    EXPECT_DOUBLE_EQ(t, 0.0);
    EXPECT_DOUBLE_EQ(nearest[0], 0.0);
    nearest[0] = -7.0;
    dsdlpt2(3, beyond, a, b, nearest, t, d, status);
    EXPECT_EQ(status, -1);
    EXPECT_DOUBLE_EQ(nearest[0], -7.0);
}
