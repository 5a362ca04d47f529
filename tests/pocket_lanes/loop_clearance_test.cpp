// Clearance of a loop from a lane's elements: only a loop whose box keeps the margin from every
// element box is clear; an arc counts with its whole circle, a crossing or a near loop never is.
#include "lane_test_support.hpp"

#include "pocket_lanes/loop_clearance.hpp"

#include <limits>

namespace {

std::vector<xy> square(double x0, double y0, double side)
{
    return {{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}, {x0, y0}};
}

}  // namespace

TEST_F(LaneTest, LoopClearOfALaneOnlyBeyondTheMarginOfEveryElement)
{
    // A 100 x 50 lane whose right side is a half circle of radius 25 (reaching x 125).
    std::vector<xy> lane = {{0, 0}, {100, 0}};
    push_arc(lane, 25.0, 1.0, 100, 25, 100, 50);
    lane.push_back({0, 50});
    lane.push_back({0, 0});
    const pokarr lane_loop = make_from(lane);
    const loop_clearance clearance(lane_loop);
    const double margin = 0.05;
    struct row {
        const char* name;
        std::vector<xy> other;
        bool clear;
    };
    const std::vector<row> rows = {
        {"small loop in the middle", square(40, 10, 4), true},
        {"loop far outside", square(300, 300, 4), true},
        {"loop crossing the bottom edge", square(40, -2, 4), false},
        {"loop just within the margin of the bottom edge", square(40, -4.04, 4), false},
        {"loop just beyond the margin of the bottom edge", square(40, -4.06, 4), true},
        {"loop off the arc but within its circle's box", square(78, 2, 4), false},
    };
    for (const row& r : rows) {
        const pokarr other = make_from(r.other);
        EXPECT_EQ(clearance.keeps_clear(other, margin), r.clear) << r.name;
    }
    std::vector<xy> broken = square(40, 10, 4);
    broken[2].x = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(clearance.keeps_clear(make_from(broken), margin)) << "a number that is not finite";
    EXPECT_FALSE(loop_clearance(make_from(broken)).keeps_clear(make_from(square(300, 300, 4)), margin))
        << "a lane holding a number that is not finite";
}
