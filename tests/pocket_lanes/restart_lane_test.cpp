// Which lane of a range is cut first: nearest_lane_to_restart over small lane tables, with ties,
// arcs, the pocket frame's origin, ranges it leaves alone and a failed lane read.
#include "lane_test_support.hpp"

#include "host/control.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/restart_lane.hpp"

#include <array>

namespace {

std::vector<xy> rect(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

// A counter-clockwise circle of two half arcs, starting at its rightmost point.
std::vector<xy> circle(double cx, double cy, double r)
{
    std::vector<xy> e{{cx + r, cy}};
    push_arc(e, r, 1.0, cx, cy, cx - r, cy);
    push_arc(e, r, 1.0, cx, cy, cx + r, cy);
    return e;
}

// A planar pocket whose lane table holds the outer contour (lane 1, level 1) and then the lanes
// of one test; the pocket frame's origin at 0 unless a test moves it.
class RestartLane : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        pocket_frame_block = pocket_frame{};
        int status = 0;
        POKREL(0, status);
        lane_table_reset();
        int size = 1000;
        PokAllocMainArray(size, 0, status);
        ASSERT_EQ(status, 0);
        add(0, 1, rect(0, 0, 100, 100));
    }
    void TearDown() override
    {
        int status = 0;
        POKREL(1, status);
        LaneTest::TearDown();
    }

    static int add(int lane_status, int level, const std::vector<xy>& entries)
    {
        pokarr a = make_from(entries);
        int status = 0;
        lane_add(lane_status, level, 1, 1, 0, 1.0, 0, a, status);
        pokarr_free(a);
        EXPECT_EQ(status, 0);
        return lane_table_block.count;
    }

    // Lanes 2, 3, 4: squares over x 10..20, 40..50, 70..80 (y 10..20) with the given levels.
    static void three_squares(int level2, int level3, int level4)
    {
        add(1, level2, rect(10, 10, 20, 20));
        add(1, level3, rect(40, 10, 50, 20));
        add(1, level4, rect(70, 10, 80, 20));
    }

    static std::array<int, 3> levels_after(double px, double py, int first, int last, int& status)
    {
        pocket_work_block.restart_point[0] = px;
        pocket_work_block.restart_point[1] = py;
        status = -7;
        nearest_lane_to_restart(first, last, status);
        const int* level = lane_table_block.level;
        return {level[2], level[3], level[4]};
    }
};

using levels = std::array<int, 3>;

}  // namespace

TEST_F(RestartLane, NearestLaneTakesLevelOneAndTheFirstLevelOneLaneTakesItsLevel)
{
    struct row {
        const char* name;
        double px, py;
        levels start, after;
    } rows[] = {
        {"nearest is the last", 85, 15, {1, 2, 3}, {3, 2, 1}},
        {"nearest is the middle", 45, 25, {1, 2, 3}, {2, 1, 3}},
        {"nearest already has level 1", 5, 15, {1, 2, 3}, {1, 2, 3}},
        {"level 1 in the middle, nearest first", 15, 5, {2, 1, 3}, {1, 2, 3}},
        {"tie between lanes 2 and 3 goes to 2", 30, 15, {2, 3, 1}, {1, 3, 2}},
        {"tie between lanes 3 and 4 goes to 3", 60, 15, {1, 2, 3}, {2, 1, 3}},
        {"two level-1 lanes: the first swaps", 85, 15, {1, 1, 3}, {3, 1, 1}},
        {"on a lane's edge", 80, 12, {1, 2, 3}, {3, 2, 1}},
    };
    for (const row& r : rows) {
        lane_table_reset();
        add(0, 1, rect(0, 0, 100, 100));
        three_squares(r.start[0], r.start[1], r.start[2]);
        int status = 0;
        EXPECT_EQ(levels_after(r.px, r.py, 2, 4, status), r.after) << r.name;
        EXPECT_EQ(status, 0) << r.name;
    }
}

TEST_F(RestartLane, RangesWithoutWorkAreLeftAlone)
{
    three_squares(1, 2, 3);
    struct row {
        const char* name;
        int first, last;
    } rows[] = {
        {"one lane", 4, 4},
        {"reversed range", 4, 2},
        {"first below 1", 0, 4},
        {"last past the table", 2, 5},
        {"no level 1 in the range", 3, 4},
    };
    for (const row& r : rows) {
        int status = 0;
        EXPECT_EQ(levels_after(85, 15, r.first, r.last, status), (levels{1, 2, 3})) << r.name;
        EXPECT_EQ(status, 0) << r.name;
    }
    // Within reach of nothing: no lane comes nearer than 1e7.
    int status = 0;
    EXPECT_EQ(levels_after(5.0e7, 15, 2, 4, status), (levels{1, 2, 3}));
    EXPECT_EQ(status, 0);
    // The contour lane itself may be part of the range.
    EXPECT_EQ(levels_after(85, 15, 1, 4, status), (levels{1, 2, 1}));
    EXPECT_EQ(lane_table_block.level[1], 3);
}

TEST_F(RestartLane, RestartPointIsTakenIntoThePocketFrame)
{
    three_squares(1, 2, 3);
    // Lanes are held relative to the frame's origin: (5, 15) is (85, 15) in the frame.
    pocket_frame_block.origin[0] = -80.0;
    pocket_frame_block.origin[1] = 0.0;
    int status = 0;
    EXPECT_EQ(levels_after(5, 15, 2, 4, status), (levels{3, 2, 1}));
    EXPECT_EQ(status, 0);
}

TEST_F(RestartLane, ArcsAreMeasuredAsArcsAndEmptyLanesAreSkipped)
{
    // Lane 3 a bar 10 below the restart point; lane 4 a circle of radius 5 whose centre is 13
    // away: 8 on the arc, 13 on its chord.
    add(1, 1, rect(10, 10, 20, 20));
    add(1, 2, rect(60, 38, 90, 48));
    add(1, 3, circle(75, 15, 5));
    int status = 0;
    lane_add_empty(1, 4, 4, status);  // lane 5: a closing lane without points
    ASSERT_EQ(status, 0);
    pocket_work_block.restart_point[0] = 75;
    pocket_work_block.restart_point[1] = 28;
    nearest_lane_to_restart(2, 5, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(lane_table_block.level[4], 1);
    EXPECT_EQ(lane_table_block.level[2], 3);
    EXPECT_EQ(lane_table_block.level[3], 2);
    EXPECT_EQ(lane_table_block.level[5], 4);
}

TEST_F(RestartLane, FailedLaneReadIsPassedOnAndChangesNothing)
{
    three_squares(1, 2, 3);
    // No pool block left to reuse, and every new one refused.
    pkdm_rel_all();
    vantu::control::inject_fault("DM_ALLOC", 1, 1000, -1);
    int status = 0;
    EXPECT_EQ(levels_after(85, 15, 2, 4, status), (levels{1, 2, 3}));
    EXPECT_LT(status, 0);
    vantu::control::clear_faults();
    EXPECT_EQ(levels_after(85, 15, 2, 4, status), (levels{3, 2, 1}));
    EXPECT_EQ(status, 0);
}
