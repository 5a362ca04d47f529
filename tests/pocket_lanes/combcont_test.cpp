// The offset search on surfaces over test height functions: a horizontal plane gives the target,
// a slope a smaller offset whose 3-D move is the target, the placements stay within the limit,
// the result is bounded, and without surfaces the first trial stands.
#include "lane_test_support.hpp"

#include "cutter/surface_height_at_point.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "pocket_lanes/combcont.hpp"

#include <cmath>

namespace {

int height_calls = 0;
float plane(float /*x*/, float /*y*/)
{
    ++height_calls;
    return 3.0f;
}
float slope(float x, float /*y*/)
{
    ++height_calls;
    return 0.5f * x;
}

class Combcont : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        height_calls = 0;
    }
    void TearDown() override
    {
        surface_height_seam() = nullptr;
        linnet_params_block = linnet_params{};
        LaneTest::TearDown();
    }
};

const double kPoints[6] = {0, 0, 0, 1, 0, 2};
const double kDirections[6] = {1, 0, 1, 0, 1, 0};

}  // namespace

TEST_F(Combcont, PlaneSlopeAndBounds)
{
    struct row {
        surface_height_function height;
        double tolerance, hint, least, largest, want, within;
    } rows[] = {
        {plane, 0.5, 0.0, 0.0, 10.0, 1.0, 0.01},
        {plane, 0.001, 0.6, 0.0, 10.0, 1.0, 0.001},
        {slope, 0.5, 0.0, 0.0, 10.0, 1.0 / std::sqrt(1.25), 0.01},
        {slope, 0.5, 0.0, 0.95, 10.0, 0.95, 1e-12},  // never below the least offset
        {plane, 0.5, 0.0, 0.0, 0.4, 0.4, 1e-12},     // never above the largest
        {nullptr, 0.5, 0.6, 0.0, 10.0, 0.6, 1e-12},  // nothing placed: the first trial
        {nullptr, 0.5, 1.5, 0.0, 10.0, 1.0, 1e-12},  // a hint above the target is not taken
    };
    for (const row& r : rows) {
        surface_height_seam() = r.height;
        height_calls = 0;
        double result = -1.0;
        int status = -9;
        combcont(r.tolerance, 3, kPoints, kDirections, 1.0, r.least, r.largest, r.hint, result, status);
        EXPECT_EQ(status, 0);
        EXPECT_NEAR(result, r.want, r.within) << r.tolerance << " " << r.hint << " " << r.least;
        // At most 20 placements of the three points after the first.
        EXPECT_LE(height_calls, 3 * (1 + kCombcontPlacements));
        if (r.height == slope && r.least == 0.0) {
            // The 3-D move at the result is the target.
            const double move = result * std::sqrt(1.25);
            EXPECT_NEAR(move, 1.0, 0.01);
            EXPECT_LT(result, 1.0);
        }
    }
}

TEST_F(Combcont, OffsetPointDroppedOntoTheSurface)
{
    surface_height_seam() = slope;
    double location[3] = {0, 0, 0}, normal[3] = {0, 0, 0};
    int status = -9;
    const double p[2] = {1, 2}, d[2] = {0.6, 0.8};
    offset_point_on_surface(5.0, p, d, location, normal, status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(location[0], 4.0, 1e-6);
    EXPECT_NEAR(location[1], 6.0, 1e-6);
    EXPECT_NEAR(location[2], 2.0, 1e-6);
    EXPECT_EQ(normal[2], 1.0);
    surface_height_seam() = nullptr;
    offset_point_on_surface(5.0, p, d, location, normal, status);
    EXPECT_EQ(status, 1);
}
