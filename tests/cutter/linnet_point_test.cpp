// The drop at one point of the surface-pass services: the contact lies on the surface a corner
// radius from the corner centre, with the edge flag and mode word set; and the region test of the
// dropped cutter that builds on it.
#include "cutter_test_support.hpp"

#include "clearing/surface_services/drop_point_check.hpp"
#include "clearing/surface_services/surface_pass_state.hpp"
#include "cutter/linnet_point.hpp"
#include "pocket/reg_region.hpp"
#include "surfaces/tri_model_sources_least.hpp"

#include <cmath>

namespace {

// The plane z = slope x over [-20, 30] squared.
void slope_model(float slope)
{
    const int n = 51;
    std::vector<float> heights;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) heights.push_back(slope * (-20.0f + i));
    int status = 0;
    tri_model_from_grid(n, n, -20, -20, 1, heights.data(), status);
    ASSERT_EQ(status, 0);
}

}  // namespace

TEST_F(CutterTest, OnePointDropGivesTheContactOnTheSurface)
{
    struct row {
        const char* what;
        int type;
        float diameter, corner, slope, x;
        int edge, mode;
    };
    const row rows[] = {
        {"bull-nose on a level plane", 3, 10, 2, 0, 0, 0, kLinnetDropRan},
        {"flat end on a level plane", 2, 10, 0, 0, 3, 0, kLinnetDropRan},
        {"ball on a slope", 1, 10, 5, 0.5f, 0, 1, kLinnetDropRan},
        {"bull-nose on a slope", 3, 10, 2, 0.5f, 1, 1, kLinnetDropRan},
        {"nothing under the cutter", 3, 10, 2, 0, 100, 0, kLinnetNoSurface},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        slope_model(r.slope);
        set_cutter(r.type, r.diameter, r.corner);
        linnet_params_block.shared_mode = kLinnetDropRan;
        const float point[3] = {r.x, 2, 50};
        float contact[3], normal[3];
        int status = 9;
        LINNET(point, contact, normal, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(linnet_params_block.edge_flag, r.edge);
        EXPECT_EQ(linnet_params_block.shared_mode, r.mode);
        if (r.mode == kLinnetNoSurface) {
            EXPECT_EQ(contact[0], point[0]);
            continue;
        }
        EXPECT_NEAR(contact[2], r.slope * contact[0], 1e-3f) << "on the surface";
        const float length = std::hypot(r.slope, 1.0f);
        EXPECT_NEAR(normal[0], -r.slope / length, 1e-4f);
        EXPECT_NEAR(normal[2], 1 / length, 1e-4f);
        EXPECT_LE(std::hypot(contact[0] - point[0], contact[1] - point[1]), r.diameter / 2 + 1e-4f)
            << "under the cutter";
        EXPECT_NEAR(contact[1], 2, 1e-4f);
    }
}

// A bull-nose cutter D 10, r 2 on the slope z = x / 2 touches uphill, about 3.9 units on from its
// axis: the point is judged by that contact, not by the axis.
TEST_F(CutterTest, DropPointCheckJudgesWhereTheCutterTouches)
{
    reg_region region{};
    int status = 0;
    reg_init(kRegionPlane, &region, status);
    const float square[8] = {0, 0, 10, 0, 10, 10, 0, 10};
    reg_add_poly(kRegionPlane, square, 4, 0, &region, status);
    ASSERT_EQ(status, 0);
    surface_pass.tolerance = 0.01f;
    struct row {
        const char* what;
        int type;
        float corner, slope, x;
        int inside;
        float z_after;
    };
    const row rows[] = {
        {"level, inside", 3, 2, 0, 5, 1, 50},
        {"level, outside", 3, 2, 0, 12, 0, 50},
        {"slope, contact inside", 3, 2, 0.5f, 5, 1, 50},
        {"slope, axis inside but contact outside", 3, 2, 0.5f, 7, 0, 50},
        {"ball: its point comes back at z 0", 1, 5, 0.5f, 5, 1, 0},
        {"no surface under the cutter", 3, 2, 0, 100, kLinnetNoSurface, 50},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        slope_model(r.slope);
        set_cutter(r.type, 10, r.corner);
        float point[3] = {r.x, 5, 50};
        int inside = 9;
        status = 0;
        drop_point_check(point, inside, &region, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(inside, r.inside);
        EXPECT_EQ(point[2], r.z_after);
    }
    surface_pass = surface_pass_state{};
    reg_release(&region, status);
}
