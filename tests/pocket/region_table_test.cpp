// Regions of the wire pocket: a corpus of contour sets with the regions they split into, the
// reach of the polygons, the bounds of the build, and the cutting orders.
#include "package_test_support.hpp"
#include "pocket/contour_table.hpp"

namespace {

using rect = std::array<double, 4>;  // x0, y0, x1, y1

class Regions : public PackageTest {
protected:
    void SetUp() override
    {
        PackageTest::SetUp();
        int status = 0;
        n0_lvls_reset(kLevelsUsable);
        n0_lvls_next_level(kRegionPlane, status);
        ASSERT_EQ(status, 0);
    }
    // Contour k + 1 is rectangle k; builds and answers the status.
    int build(const std::vector<rect>& contours, float tolerance = 0.01f)
    {
        std::vector<int> sets;
        for (std::size_t k = 0; k < contours.size(); ++k) {
            const rect& r = contours[k];
            rectangle_set(static_cast<int>(k) + 1, r[0], r[1], r[2], r[3]);
            sets.push_back(static_cast<int>(k) + 1);
        }
        const std::vector<int> list = records_of(sets);
        int status = -5, reset = 0;
        n0_lvls_reset_level(reset);
        region_build(list.data(), static_cast<int>(contours.size()), tolerance, status);
        return status;
    }
    // Each region as its outer id followed by its island ids.
    static std::vector<std::vector<int>> regions()
    {
        std::vector<std::vector<int>> all;
        for (int i = 1; i <= region_count(); ++i) {
            int outer = 0, islands = 0, ids[kRegionContoursMax];
            region_contours(i, outer, islands, ids);
            std::vector<int> one{outer};
            one.insert(one.end(), ids, ids + islands);
            all.push_back(one);
        }
        return all;
    }
    static std::array<double, 2> reference(int i)
    {
        double p[3] = {-1, -1, -1};
        region_ref_point(i, p);
        return {p[0], p[1]};
    }
};

}  // namespace

TEST_F(Regions, ContourSetsSplitIntoRegions)
{
    struct case_row {
        const char* name;
        std::vector<rect> contours;
        std::vector<std::vector<int>> regions;
    };
    const std::vector<case_row> corpus = {
        {"one contour", {{0, 0, 10, 10}}, {{1}}},
        {"outer with two islands", {{0, 0, 10, 10}, {1, 1, 3, 3}, {5, 5, 8, 8}}, {{1, 2, 3}}},
        {"A contains B contains C contains D",
         {{0, 0, 20, 20}, {2, 2, 18, 18}, {4, 4, 16, 16}, {6, 6, 14, 14}},
         {{3, 4}, {1, 2}}},
        {"two separate outers", {{0, 0, 5, 5}, {10, 0, 15, 5}}, {{1}, {2}}},
        {"islands listed before their outer",
         {{20, 0, 30, 10}, {2, 2, 3, 3}, {0, 0, 10, 10}, {5, 5, 6, 6}},
         {{1}, {3, 2, 4}}},
        // Islands round the first contour, the outer one: one region of it and them, which the
        // engine finds empty; nothing outside the outer contour becomes a region.
        {"island round the outer", {{2, 2, 8, 8}, {0, 0, 10, 10}}, {{1, 2}}},
        {"islands round the outer, which has its own",
         {{4, 4, 16, 16}, {6, 6, 8, 8}, {2, 2, 18, 18}, {0, 0, 20, 20}, {30, 0, 40, 10}},
         {{1, 3, 4}}},
        {"island touching the outer's edge", {{0, 0, 10, 10}, {0, 4, 2, 6}}, {{1, 2}}},
    };
    for (const case_row& c : corpus) {
        EXPECT_EQ(build(c.contours), 0) << c.name;
        EXPECT_EQ(regions(), c.regions) << c.name;
    }
    EXPECT_TRUE(errors().empty());
    // The last build: first curves of the outers (4 curves a rectangle).
    EXPECT_EQ(region_first_curve(0), 0);
    int first[kRegionContoursMax + 1];
    contour_first_curves_copy(first);
    EXPECT_EQ(std::vector<int>(first, first + 3), (std::vector<int>{0, 4, 8}));
    EXPECT_EQ(region_outer_id(1), 1);
    EXPECT_EQ(region_outer_id(2), 0);
}

TEST_F(Regions, RectangleAndCircleAsTwoChainRecords)
{
    rectangle_set(1, 0, 0, 100, 50);
    circle_set(2, 40, 25, 10);
    const std::vector<int> list = records_of({1, 2});
    int status = -5;
    region_build(list.data(), 2, 0.01f, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(regions(), (std::vector<std::vector<int>>{{1, 2}}));
    EXPECT_EQ(region_first_curve(0), 0);
    int first[kRegionContoursMax + 1];
    contour_first_curves_copy(first);
    EXPECT_EQ(first[2], 5);
    // A new build gives the old lists back first.
    region_build(list.data(), 2, 0.01f, status);
    EXPECT_EQ(region_count(), 1);
    EXPECT_EQ(region_table_free(), 1);
    EXPECT_EQ(region_count(), 0);
}

TEST_F(Regions, ReachIsTenTimesTheToleranceAtMostATenth)
{
    circle_set(1, 0, 0, 5);
    const std::vector<int> list = records_of({1});
    for (const auto& [tolerance, reach] :
         std::vector<std::pair<float, std::string>>{{0.05f, "0.100000"}, {0.005f, "0.050000"}}) {
        vantu::control::set_tracing(true);
        vantu::control::clear_trace();
        int status = 0, reset = 0;
        n0_lvls_reset_level(reset);
        region_build(list.data(), 1, tolerance, status);
        ASSERT_EQ(status, 0);
        std::vector<std::string> sampled;
        for (const auto& e : vantu::control::trace_entries())
            if (e.name == "crvpld2") sampled.push_back(e.arguments.substr(e.arguments.find(' ') + 1));
        ASSERT_FALSE(sampled.empty());
        EXPECT_EQ(sampled.back(), reach) << tolerance;
    }
}

TEST_F(Regions, BuildRefusesWhatDoesNotFit)
{
    EXPECT_EQ(build({}), -1);  // no contour: no message
    EXPECT_TRUE(errors().empty());
    int status = 0;
    const int room = contour_entries();
    std::vector<int> list(2 * room + 2, 0);
    region_build(list.data(), kRegionContoursMax + 1, 0.01f, status);
    EXPECT_EQ(status, -1);
    // One curve more than the record buffers hold: a chain record that runs past the curve list.
    std::vector<vantu::control::curve_in_set> curves;
    const int line = vantu::control::add_line({0, 0, 0}, {1, 0, 0});
    for (int k = 0; k < room + 1; ++k) curves.push_back({line, 0.0, 1.0, 1.0});
    vantu::control::define_curve_set(1, curves);
    int length = 0;
    dfdgrc(1, room + 1, list.data(), length, status);
    ASSERT_EQ(length, room + 1);
    region_build(list.data(), 1, 0.01f, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>(2, "region_build, TOO MANY CONTOURS OR CURVES"));
    EXPECT_EQ(region_count(), 0);
}

TEST_F(Regions, OrderModes)
{
    // Four regions in a column at equal x, built top down, at positive and negative coordinates.
    for (const double x : {10.0, -10.0}) {
        const double top = x > 0 ? 40.0 : -4.0;
        std::vector<rect> column;
        for (int k = 0; k < 4; ++k) column.push_back({x - 1, top - 10 * k - 1, x + 1, top - 10 * k + 1});
        ASSERT_EQ(build(column), 0);
        region_order(kOrderNearest);
        EXPECT_EQ(regions(), (std::vector<std::vector<int>>{{4}, {3}, {2}, {1}})) << "x " << x;
        EXPECT_EQ(reference(1), (std::array<double, 2>{x, top - 30})) << "x " << x;
    }

    const std::vector<rect> row = {{20, 0, 22, 2}, {0, 0, 2, 2}, {10, 0, 12, 2}};
    ASSERT_EQ(build(row), 0);
    // The build gives every region its reference point; modes 4 and 0 keep the build order.
    for (const int mode : {kOrderNone, kOrderKeep}) {
        region_order(mode);
        EXPECT_EQ(regions(), (std::vector<std::vector<int>>{{1}, {2}, {3}}));
        EXPECT_EQ(reference(1), (std::array<double, 2>{21, 1}));
    }
    for (const int mode : {1, 2, kOrderNearest}) {
        ASSERT_EQ(build(row), 0);
        region_order(mode);
        EXPECT_EQ(regions(), (std::vector<std::vector<int>>{{2}, {3}, {1}})) << "mode " << mode;
        EXPECT_EQ(reference(3), (std::array<double, 2>{21, 1})) << "mode " << mode;
    }
}
