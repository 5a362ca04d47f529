// The way along a polygon between two edges: both ways collected by the length rule, equal edges
// giving nothing, a polygon number outside the set refused.
#include "lane_test_support.hpp"

#include "pocket_lanes/polygon_path.hpp"

#include <vector>

namespace {

class PolygonPath : public LaneTest {
protected:
    void TearDown() override
    {
        int status = 0;
        xy_output_close(output, status);
        LaneTest::TearDown();
    }
    xy_output output;
};

// A 10 x 2 rectangle: edges 1 (bottom), 2 (right), 3 (top), 4 (left).
std::vector<word> rectangle()
{
    std::vector<word> set = {4};
    for (float v : {0.0f, 0.0f, 10.0f, 0.0f, 10.0f, 2.0f, 0.0f, 2.0f}) set.push_back(real_to_word(v));
    return set;
}

}  // namespace

TEST_F(PolygonPath, TheWayByLength)
{
    const std::vector<word> set = rectangle();
    struct row {
        int entry, exit, way, number, status;
        std::vector<double> want;
    } rows[] = {
        // From the bottom to the top: forward over the right side (length 2) stays.
        {1, 3, 1, 1, 0, {10, 0, 10, 2}},
        // Backward would pass the left side (length 2): it stays as well.
        {1, 3, -1, 1, 0, {0, 0, 0, 2}},
        // From the left to the right: forward along the bottom; the other way is as long.
        {4, 2, 1, 1, 0, {0, 0, 10, 0}},
        // From the bottom to the right side forward: one vertex (length 0, below 0.1): the
        // other way round is taken.
        {1, 2, 1, 1, 0, {0, 0, 0, 2, 10, 2}},
        {2, 2, 1, 1, 0, {}},
        {1, 3, 1, 2, -1, {}},
    };
    for (const row& r : rows) {
        int count = 0, status = -7;
        xy_output_open(output, 10, status);
        polygon_boundary_path(kBoundaryCollect, set.data(), 1, r.entry, r.exit, r.way, r.number, count, output, status);
        EXPECT_EQ(status, r.status) << r.entry << " " << r.exit << " " << r.way;
        const double* data = xy_output_data(output);
        ASSERT_EQ(2 * count, static_cast<int>(r.want.size())) << r.entry << " " << r.exit << " " << r.way;
        for (int i = 0; i < 2 * count; ++i) EXPECT_DOUBLE_EQ(data[i], r.want[static_cast<std::size_t>(i)]);
    }
}
