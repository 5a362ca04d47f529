// The lane table: appending up to its limit, closing lanes, finding lanes of a branch (one by
// one and every level in one scan), and the box cache.
#include "pocket/lane_table.hpp"
#include "pocket_arrays/pocket_test_support.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/level_lanes.hpp"

#include <random>
#include <vector>

namespace {

class LaneTable : public PocketTest {
protected:
    void SetUp() override
    {
        PocketTest::SetUp();
        int status = 0;
        POKREL(0, status);
        pocket_state_block.pocket_dimension = 2;
        lane_table_reset();
        int size = 1000;
        PokAllocMainArray(size, 0, status);
    }
    void TearDown() override
    {
        int status = 0;
        lane_box_close(status);
        POKREL(1, status);
        PocketTest::TearDown();
    }
};

pokarr square(double side) { return make_2d({{0, 0}, {side, 0}, {side, side}, {0, side}, {0, 0}}); }

TEST_F(LaneTable, FullTableRefusesAndKeepsCount)
{
    pokarr none;
    pokarr_init(2, none);
    int status = 0;
    for (int i = 1; i < kLaneMax; ++i) {
        lane_add(1, 1, 0, 0, 0, 0.0, 0, none, status);
        ASSERT_EQ(status, 0) << i;
    }
    pokarr last = square(2.0);
    lane_add(1, 1, 0, 0, 0, 0.5, 0, last, status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(lane_table_block.count, kLaneMax);
    EXPECT_EQ(lane_table_block.first[kLaneMax + 1], 6);

    lane_add(1, 1, 0, 0, 0, 0.0, 0, last, status);
    EXPECT_EQ(status, kLaneTableFull);
    lane_add_empty(1, 1, kLaneMax, status);
    EXPECT_EQ(status, kLaneTableFull);
    lane_add_separator(status);
    EXPECT_EQ(status, kLaneTableFull);
    EXPECT_EQ(lane_table_block.count, kLaneMax);
    EXPECT_EQ(lane_table_block.first[kLaneMax + 1], 6);
    EXPECT_EQ(lane_table_block.level[kLaneMax + 1], 0);  // the refused row is not written
    int n = 0;
    lane_npnts(kLaneMax, n);
    EXPECT_EQ(n, 5);
    pokarr_free(last);
}

TEST_F(LaneTable, ClosingLanesAndSeparatorsHoldNoPoints)
{
    pokarr a = square(4.0);
    int status = 0;
    lane_add(0, 1, 0, 0, 0, 0.0, 2, a, status);
    lane_add(1, 1, 1, 0, 0, 1.0, 0, a, status);
    lane_add_empty(1, 1, 2, status);
    lane_add_separator(status);
    ASSERT_EQ(status, 0);
    const lane_table& t = lane_table_block;
    EXPECT_EQ(t.count, 4);
    int n = -1;
    lane_npnts(3, n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(t.first[4], 11);
    EXPECT_EQ(t.first[5], 11);
    EXPECT_EQ(t.status[3], -1);
    EXPECT_EQ(t.parent[3], 2);
    EXPECT_EQ(t.link1[3], 2);
    EXPECT_EQ(t.level[4], kLevelSeparator);
    EXPECT_EQ(t.box_index[2], -1);
    pokarr_free(a);
}

TEST_F(LaneTable, FindReturnsTheLaneOfTheWantedPass)
{
    pokarr a = square(4.0), b = square(3.0), c = square(2.0);
    int status = 0;
    const int island = kLevelIsland + 1;
    lane_add(0, island, 0, 0, 0, 0.0, 1, a, status);
    lane_add(1, island, 1, 0, 0, 1.0, 0, b, status);
    lane_add(2, island, 2, 0, 0, 1.0, 0, c, status);
    int found = 0;
    pokarr out;
    pokarr_init(2, out);
    lane_find(0, 0, island, 2, found, out, status);
    EXPECT_EQ(found, 3);
    EXPECT_EQ(out.x[1], 2.0);
    lane_find(0, 1, island, 1, found, out, status);
    EXPECT_EQ(found, 2);
    EXPECT_EQ(out.x[1], 3.0);
    // With wanted 0 a backward scan gives the last live lane, and stops at a closing lane.
    lane_find(0, 0, island, 0, found, out, status);
    EXPECT_EQ(found, 3);
    lane_add_empty(3, island, 3, status);
    lane_find(0, 0, island, 0, found, out, status);
    EXPECT_EQ(found, 0);
    // Group filters.
    lane_find(2, 1, island, 1, found, out, status);
    EXPECT_EQ(found, 0);
    pokarr_free(a);
    pokarr_free(b);
    pokarr_free(c);
    pokarr_free(out);
}

TEST_F(LaneTable, ALanesBoxIsComputedOnce)
{
    pokarr a = square(4.0);
    int status = 0;
    lane_add(0, 1, 0, 0, 0, 0.0, 1, a, status);
    double box[4] = {};
    lane_box(1, 0, a, box, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(box[0], 0.0);
    EXPECT_EQ(box[2], 4.0);
    EXPECT_EQ(lane_table_block.box_used, 4);
    // Given another array for the same lane, the cached box still answers.
    pokarr other = square(9.0);
    lane_box(1, -1, other, box, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(box[3], 4.0);
    EXPECT_EQ(lane_table_block.box_used, 4);
    lane_box(7, -1, other, box, status);  // no such lane
    EXPECT_NE(status, 0);
    pokarr_free(a);
    pokarr_free(other);
}

TEST_F(LaneTable, ReverseAndReadBack)
{
    pokarr a = make_2d({{0, 0}, {5, 0}, {5, 5}});
    int status = 0;
    lane_add(1, 1, 0, 0, 0, 0.0, 0, a, status);
    lane_reverse(1, status);
    ASSERT_EQ(status, 0);
    double x[3], y[3];
    int n = 0;
    lane_get_xy(1, x, y, 3, n);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(x[0], 5.0);
    EXPECT_EQ(y[0], 5.0);
    EXPECT_EQ(x[2], 0.0);
    lane_get_xy(1, x, y, 2, n);  // no room
    EXPECT_EQ(n, -1);
    double fx = 0, fy = 0;
    lane_first_xy(1, fx, fy);
    EXPECT_EQ(fy, 5.0);
    pokarr_free(a);
}

TEST_F(LaneTable, PairMemoryOpensGrowsAndCloses)
{
    int status = 0;
    lancom_pairs(1, status);
    EXPECT_NE(status, 0);
    lancom_pairs(0, status);
    ASSERT_EQ(status, 0);
    lancom_pairs(1, status);
    EXPECT_EQ(lane_table_block.pair_capacity, 2000);
    lancom_pairs(2, status);
    EXPECT_EQ(lane_table_block.pair_handle, -1);
}

}  // namespace

// The current lanes of every branch found in one scan are those lane_find finds, over seeded tables
// built pass by pass as the lane loop builds them: every open branch gets a lane of the pass (now
// and then a status-1 piece as well) or is closed, and new branches open.
TEST_F(LaneTable, CurrentLanesOfEveryLevelAreThoseFindFinds)
{
    pokarr none, found;
    pokarr_init(2, none);
    pokarr_init(2, found);
    const unsigned seed = 20261208u;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 20; ++trial) {
        lane_table_reset();
        std::vector<int> open{1};
        int branches = 1, status = 0;
        for (int pass = 1; pass <= 12 && !open.empty(); ++pass) {
            std::vector<int> next;
            for (const int b : open) {
                if (unit(rng) < 0.2) {
                    lane_add_empty(pass, b, lane_table_block.count, status);
                    continue;
                }
                lane_add(pass, b, 0, 0, 0, 0.0, 0, none, status);
                if (unit(rng) < 0.2) lane_add(1, b, 1, 0, 0, 0.0, 0, none, status);
                next.push_back(b);
                if (unit(rng) < 0.3)
                    next.push_back(++branches), lane_add(pass, branches, 0, 0, 0, 0.0, 0, none, status);
            }
            open = next;
            ASSERT_EQ(status, 0);
            const int wanted = pass;
            current_level_lanes levels(wanted, 1, branches);
            levels.know_all();
            for (int b = 1; b <= branches; ++b) {
                int lane = 0;
                lane_find(0, 0, b, wanted, lane, found, status);
                EXPECT_EQ(levels.lane(b), lane)
                    << "seed " << seed << " trial " << trial << " pass " << pass << " branch " << b;
            }
        }
    }
    pokarr_free(found);
}

// The island levels found in one scan are those lane_find finds, though their lanes' statuses
// (taken in, merged away, first and second offsets) follow no pass order: a lane of the wanted
// status may lie behind a closed one. Lanes appended after the scan are taken in by the lookup.
TEST_F(LaneTable, NewestLanesOfEveryIslandLevelAreThoseFindFinds)
{
    pokarr none, found;
    pokarr_init(2, none);
    pokarr_init(2, found);
    const unsigned seed = 20261209u;
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> status_of(-2, 2), island_of(1, 12);
    constexpr int kIslands = 10;  // levels beyond them are looked up too: none is ever found there
    for (int trial = 0; trial < 30; ++trial) {
        lane_table_reset();
        int status = 0;
        for (int k = 0; k < 40; ++k)
            lane_add(status_of(rng), kLevelIsland + island_of(rng), 0, 0, 0, 0.0, 0, none, status);
        ASSERT_EQ(status, 0);
        for (const int wanted : {1, 2}) {
            current_level_lanes levels(wanted, kLevelIsland + 1, kLevelIsland + kIslands);
            levels.know_all_newest();
            for (int round = 0; round < 2; ++round) {
                for (int level = kLevelIsland + 1; level <= kLevelIsland + kIslands + 2; ++level) {
                    int lane = 0;
                    lane_find(0, 0, level, wanted, lane, found, status);
                    EXPECT_EQ(levels.lane(level), lane) << "seed " << seed << " trial " << trial << " wanted " << wanted
                                                        << " round " << round << " level " << level;
                }
                lane_add(wanted, kLevelIsland + island_of(rng), 0, 0, 0, 0.0, 0, none, status);
            }
        }
    }
    pokarr_free(found);
}
