// Measures of lanes: loops flattened with their arcs stepped, the single-precision list and its
// limit, the distance of two lanes, the clearance between lanes and islands, and the outer
// extent check flipping the direction sign.
#include "lane_test_support.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_lanes/lane_measures.hpp"

#include <cmath>
#include <vector>

namespace {

class LaneMeasures : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        pocket_work_block.tolerance = 0.01;
        lane_table_reset();
    }
    // Records a lane of the rectangle.
    void add(int status, int level, int parent, double x0, double y0, double x1, double y1)
    {
        pokarr l = make_from({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}});
        int st = 0;
        lane_add(status, level, parent, 0, 0, 1.0, 0, l, st);
        pokarr_free(l);
    }
};

}  // namespace

TEST_F(LaneMeasures, Flattening)
{
    // A half circle of radius 10 and its chord: the points keep within 0.01 of the arc.
    std::vector<xy> e = {{10, 0}};
    push_arc(e, 10.0, 1.0, 0.0, 0.0, -10.0, 0.0);
    e.push_back({10, 0});
    pokarr loop = make_from(e);
    pokarr flat;
    pokarr_init(2, flat);
    int status = -7;
    pokarr_flatten_arcs(loop, flat, status);
    EXPECT_EQ(status, 0);
    ASSERT_GT(flat.count, 10);
    for (int i = 0; i + 1 < flat.count; ++i) {
        if (flat.y[i] < 1e-9 && flat.y[i + 1] < 1e-9) continue;  // the chord
        const double mx = 0.5 * (flat.x[i] + flat.x[i + 1]), my = 0.5 * (flat.y[i] + flat.y[i + 1]);
        EXPECT_LE(10.0 - std::hypot(mx, my), 0.0100001);
    }
    EXPECT_EQ(flat.x[flat.count - 1], 10.0);
    std::vector<float> points(2 * kFlatPointsMax);
    int n = 0;
    pokarr_to_float_pnts(loop.x, loop.y, loop.count, points.data(), n, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(n, flat.count);
    // A loop of more than 7,000 points: refused (11) while the pocket's tolerance gives no
    // coarser retry, 1 when the retry is too long as well.
    std::vector<double> x, y;
    for (int k = 0; k < 7200; ++k) x.push_back(std::cos(k * 0.001)), y.push_back(std::sin(k * 0.001));
    for (const double tolerance : {0.01, 0.05}) {
        pocket_work_block.tolerance = tolerance;
        pokarr_to_float_pnts(x.data(), y.data(), 7200, points.data(), n, status);
        EXPECT_EQ(status, tolerance > 0.01 ? 1 : 11);
    }
    pokarr_free(flat);
    pokarr_free(loop);
}

TEST_F(LaneMeasures, DistancesBetweenLanesAndIslands)
{
    lane_table_block.island_count = 1;
    add(1, 1, 1, 0, 0, 100, 100);                 // lane 1: the outer lane
    add(1, kLevelIsland + 1, 1, 40, 40, 60, 60);  // lane 2: island 1
    add(1, 2, 1, 10, 10, 30, 30);                 // lane 3: a branch
    double distance = 0.0;
    int status = -7;
    lanes_min_dist(3, 2, 100.0, distance, status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(distance, 10.0 * std::sqrt(2.0), 1e-6);
    double clearance = 0.0;
    lanes_island_clearance(1, 1, 2, 1, 100.0, clearance);
    EXPECT_NEAR(clearance, 10.0 * std::sqrt(2.0), 1e-6);
    lanes_island_clearance(1, 1, 2, 0, 100.0, clearance);
    EXPECT_EQ(clearance, kNoClearance);  // islands not asked for
}

TEST_F(LaneMeasures, OuterExtentCheck)
{
    add(1, 1, 1, 0, 0, 100, 100);   // the live outer lane
    add(1, 2, 1, -10, 0, 110, 50);  // the parent of a closed lane, reaching beyond it on both sides
    int status = 0;
    lane_add_empty(1, 2, 2, status);
    pocket_state_block.direction_sign = 1;
    pocket_state_block.extent_flag = 1;
    outer_extent_check();
    EXPECT_EQ(pocket_state_block.direction_sign, -1);
    EXPECT_EQ(pocket_state_block.extent_flag, 1);  // cleared, and set again for the reach below
    pocket_state_block.extent_flag = 0;
    outer_extent_check();
    EXPECT_EQ(pocket_state_block.direction_sign, -1);
    EXPECT_EQ(pocket_state_block.extent_flag, 1);
}
