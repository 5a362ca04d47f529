// The region package: inserting polygons and the locations that follow, nesting directions at
// every depth, the answers of an empty region, refusals with their messages, and crtpol.
#include "package_test_support.hpp"

#include <functional>

namespace {

class Region : public PackageTest {
protected:
    reg_region region{};
    void SetUp() override
    {
        PackageTest::SetUp();
        int status = -5;
        reg_init(kRegionPlane, &region, status);
        ASSERT_EQ(status, 0);
    }
    void TearDown() override
    {
        int status = 0;
        reg_release(&region, status);
        PackageTest::TearDown();
    }
    // Appends a square polygon (four points) with its lower-left corner at (x, y).
    void add_square(float x, float y, float size, int position = -1)
    {
        const std::vector<float> p = {x, y, x + size, y, x + size, y + size, x, y + size};
        int status = 0;
        reg_add_poly(kRegionPlane, p.data(), 4, position < 0 ? region.polygon_count : position, &region, status);
        ASSERT_EQ(status, 0);
    }
    std::vector<float> polygon(int index)
    {
        int count = 0, status = 0;
        reg_get_npbuf(region, index, count, status);
        std::vector<float> points(2 * static_cast<std::size_t>(count));
        reg_get_poly(kRegionPlane, index, &region, points.data(), status);
        return points;
    }
};

}  // namespace

TEST_F(Region, PolygonAddedAtTheFrontMovesTheOthersUp)
{
    add_square(0, 0, 1);
    const std::vector<float> triangle = {5, 5, 6, 5, 5, 6};
    int status = 0;
    reg_add_poly(kRegionPlane, triangle.data(), 3, 1, &region, status);
    const std::vector<float> five = {9, 9, 10, 9, 10, 10, 9.5f, 10.5f, 9, 10};
    reg_add_poly(kRegionPlane, five.data(), 5, 0, &region, status);
    ASSERT_EQ(status, 0);
    const int expected_locs[3] = {0, 5, 9};
    const int expected_counts[3] = {5, 4, 3};
    for (int i = 0; i < 3; ++i) {
        int location = -9, count = -9;
        reg_get_locs(i, &region, location, status);
        reg_get_npbuf(region, i, count, status);
        EXPECT_EQ(location, expected_locs[i]);
        EXPECT_EQ(count, expected_counts[i]);
    }
    EXPECT_EQ(polygon(0), five);
    EXPECT_EQ(polygon(1), (std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1}));
    EXPECT_EQ(polygon(2), triangle);
    std::vector<float> all(24);
    reg_get_all_pts(region, kRegionPlane, all.data(), status);
    EXPECT_EQ(std::vector<float>(all.begin() + 18, all.end()), triangle);
    EXPECT_EQ(region.point_count, 12);

    // Growth past the initial room of 10 polygons and 10 points keeps every polygon.
    for (int k = 0; k < 12; ++k) add_square(20.0f + 3 * k, 0, 1);
    EXPECT_EQ(region.polygon_count, 15);
    EXPECT_EQ(region.polygon_capacity, 20);
    EXPECT_EQ(region.point_capacity, 510);
    EXPECT_EQ(polygon(14), (std::vector<float>{53, 0, 54, 0, 54, 1, 53, 1}));
    EXPECT_EQ(polygon(0), five);
}

TEST_F(Region, NestingDirectionsAlternateWithDepth)
{
    add_square(0, 0, 10);  // outer
    add_square(20, 0, 5);  // another outer, apart
    add_square(2, 2, 6);   // island of the first
    add_square(3, 3, 4);   // outer inside the island
    add_square(4, 4, 1);   // island again
    const int expected[5] = {kRegionOuter, kRegionOuter, kRegionIsland, kRegionOuter, kRegionIsland};
    for (int i = 0; i < 5; ++i) {
        int direction = 0, status = -5;
        reg_get_cdir(i, &region, direction, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(direction, expected[i]) << "polygon " << i;
    }
    int value = 0, status = 0;
    reg_get_tmp_sons(0, 0, &region, value, status);
    EXPECT_EQ(value, 3);  // every depth
    reg_get_tmp_sons(3, 1, &region, value, status);
    EXPECT_EQ(value, 4);
    // The working copy takes edits; a new polygon brings back the computed sons.
    reg_set_tmp_sons(region, 0, 0, -1, status);
    reg_get_tmp_sons(0, 0, &region, value, status);
    EXPECT_EQ(value, -1);
    add_square(30, 30, 1);
    reg_get_tmp_sons(0, 0, &region, value, status);
    EXPECT_EQ(value, 3);
}

TEST_F(Region, SpaceRegionsNestByTheirPlanePoints)
{
    reg_region space{};
    int status = 0;
    reg_init(kRegionSpace, &space, status);
    const std::vector<float> outer = {0, 0, 5, 10, 0, 5, 10, 10, 5, 0, 10, 5};
    const std::vector<float> inner = {4, 4, -3, 6, 4, -3, 5, 6, -3};
    reg_add_poly(kRegionSpace, outer.data(), 4, 0, &space, status);
    reg_add_poly(kRegionSpace, inner.data(), 3, 1, &space, status);
    int direction = 0;
    reg_get_cdir(1, &space, direction, status);
    EXPECT_EQ(direction, kRegionIsland);
    std::vector<float> back(9);
    reg_get_poly(kRegionSpace, 1, &space, back.data(), status);
    EXPECT_EQ(back, inner);
    reg_release(&space, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(space.points, -1);
}

TEST_F(Region, EmptyRegionAnswersWithoutFailing)
{
    int direction = 9, location = 9, count = 9, sons = 9, status = -5;
    reg_get_cdir(0, &region, direction, status);
    EXPECT_EQ(status, 0);
    reg_get_locs(0, &region, location, status);
    EXPECT_EQ(status, 0);
    reg_get_npbuf(region, 0, count, status);
    EXPECT_EQ(status, 0);
    reg_get_tmp_sons(0, 0, &region, sons, status);
    EXPECT_EQ(status, 0);
    reg_set_tmp_sons(region, 3, 3, 1, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ((std::vector<int>{direction, location, count, sons}), (std::vector<int>{0, -1, 0, -1}));
    EXPECT_TRUE(errors().empty());
}

TEST_F(Region, BadCallsAreRefusedWithTheirMessages)
{
    add_square(0, 0, 1);
    float points[8] = {};
    int value = 0;
    struct case_row {
        const char* message;
        std::function<void(int&)> call;
    };
    const std::vector<case_row> rows = {
        {"reg_init, WRONG REGION VALUE", [&](int& s) { reg_init(2, nullptr, s); }},
        {"reg_init, WRONG MODE VALUE",
         [&](int& s) {
             reg_region r{};
             reg_init(4, &r, s);
         }},
        {"reg_release, WRONG REGION VALUE", [&](int& s) { reg_release(nullptr, s); }},
        {"reg_add_poly, WRONG REGION VALUE", [&](int& s) { reg_add_poly(2, points, 4, 0, nullptr, s); }},
        {"reg_add_poly, WRONG MODE VALUE", [&](int& s) { reg_add_poly(3, points, 4, 0, &region, s); }},
        {"reg_add_poly, WRONG NUMBER OF POINTS", [&](int& s) { reg_add_poly(2, points, 0, 0, &region, s); }},
        {"reg_add_poly, WRONG POLYGON NUMBER", [&](int& s) { reg_add_poly(2, points, 4, 2, &region, s); }},
        {"reg_get_poly, WRONG REGION VALUE", [&](int& s) { reg_get_poly(2, 0, nullptr, points, s); }},
        {"reg_get_poly, WRONG MODE VALUE", [&](int& s) { reg_get_poly(3, 0, &region, points, s); }},
        {"reg_get_poly, WRONG POLYGON NUMBER", [&](int& s) { reg_get_poly(2, 1, &region, points, s); }},
        {"reg_get_all_pts, WRONG MODE VALUE", [&](int& s) { reg_get_all_pts(region, 3, points, s); }},
        {"reg_get_npbuf, WRONG INDEX", [&](int& s) { reg_get_npbuf(region, -1, value, s); }},
        {"reg_get_locs, WRONG REGION VALUE", [&](int& s) { reg_get_locs(0, nullptr, value, s); }},
        {"reg_get_locs, WRONG INDEX", [&](int& s) { reg_get_locs(1, &region, value, s); }},
        {"reg_get_cdir, WRONG REGION VALUE", [&](int& s) { reg_get_cdir(0, nullptr, value, s); }},
        {"reg_get_cdir, WRONG INDEX", [&](int& s) { reg_get_cdir(5, &region, value, s); }},
        {"reg_get_tmp_sons, WRONG REGION VALUE", [&](int& s) { reg_get_tmp_sons(0, 0, nullptr, value, s); }},
        {"reg_get_tmp_sons, WRONG INDEXES", [&](int& s) { reg_get_tmp_sons(0, 2, &region, value, s); }},
        {"reg_set_tmp_sons, SONS ARE NOT UP TO DATE", [&](int& s) { reg_set_tmp_sons(region, 0, 1, 0, s); }},
        {"reg_set_tmp_sons, WRONG INDEXES", [&](int& s) { reg_set_tmp_sons(region, 1, 0, 0, s); }},
        {"reg_replace_end, WRONG REGION VALUE", [&](int& s) { reg_replace_end(nullptr, s); }},
    };
    for (const case_row& r : rows) {
        vantu::control::clear_messages();
        int status = 0;
        r.call(status);
        EXPECT_EQ(status, -1) << r.message;
        EXPECT_EQ(errors(), std::vector<std::string>{r.message});
    }
    EXPECT_EQ(region.polygon_count, 1);
    int status = 0;
    reg_resize_pol(0, &region, status);
    EXPECT_EQ(status, -1);
    reg_resize_points(3, &region, status);
    EXPECT_EQ(region.point_capacity, 510);
    vantu::control::inject_fault("MM_RESIZE_ARRAY", 1, 1, -2);
    vantu::control::clear_messages();
    reg_resize_points(3, &region, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(region.point_capacity, 510);
    EXPECT_EQ(errors(), std::vector<std::string>{"reg_resize_points, MEMORY RESIZE ERROR"});
}

TEST_F(Region, CrtpolMakesOnePolygonPerContour)
{
    rectangle_set(1, 0, 0, 10, 10);
    circle_set(2, 5, 5, 2);
    const std::vector<int> list = records_of({1, 2});
    int status = -5;
    crtpol(0.01f, 2, list.data(), &region, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(region.polygon_count, 2);
    EXPECT_EQ(polygon(0), (std::vector<float>{0, 0, 10, 0, 10, 10, 0, 10}));  // closing point dropped
    const std::vector<float> round = polygon(1);
    for (std::size_t i = 0; i < round.size(); i += 2)
        EXPECT_NEAR(std::hypot(round[i] - 5, round[i + 1] - 5), 2.0, 1e-4);
    EXPECT_FALSE(round[0] == round[round.size() - 2] && round[1] == round.back());
    int direction = 0;
    reg_get_cdir(1, &region, direction, status);
    EXPECT_EQ(direction, kRegionIsland);

    crtpol(0.01f, 0, list.data(), &region, status);
    EXPECT_EQ(status, 1);

    // A circle that needs some twenty thousand points at this tolerance is taken whole.
    circle_set(3, 0, 0, 10000);
    const std::vector<int> big = records_of({3});
    vantu::control::clear_messages();
    crtpol(0.0001f, 1, big.data(), &region, status);
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(errors().empty());
    ASSERT_EQ(region.polygon_count, 3);
    const std::vector<float> large = polygon(2);
    EXPECT_GT(large.size(), 2u * 9000u);
    for (std::size_t i = 0; i < large.size(); i += 2) ASSERT_NEAR(std::hypot(large[i], large[i + 1]), 10000.0, 1e-2);

    // A record that gives no polygon is refused.
    const int no_record[2] = {9, 1};
    crtpol(0.01f, 1, no_record, &region, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"crtpol,Unable to create the polygon"});
    EXPECT_EQ(region.polygon_count, 3);
}
