// The island offsets of the lane loop.
#include "engine_test_support.hpp"

#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/lane_loop.hpp"

namespace {

using LaneLoopTest = EngineTest;

// Stage 1 offsets each island by the distance plus its own offset; an island numbered beyond the
// offsets table (found by the lane loop) is offset by the distance alone, without reading past it.
TEST_F(LaneLoopTest, FirstIslandOffsetAddsTheIslandsOwnOffsetWithinTheTable)
{
    struct row {
        int island;
        double own, expected;
    } rows[] = {{1, 0.25, 0.75},
                {1, -1.0, 0.5},
                {kOffsetSlots - kLevelIsland, 0.25, 0.75},
                {kOffsetSlots - kLevelIsland + 1, 0.25, 0.5}};
    for (const row& r : rows) {
        to_load_state();
        int status = 0, size = 4000;
        PokAllocMainArray(size, 0, status);
        ASSERT_EQ(status, 0);
        pokarr island = make_from(reversed(circle(50.0, 50.0, 5.0)));
        const int level = kLevelIsland + r.island;
        lane_add(0, level, 0, 0, 0, 0.0, kContourPart, island, status);
        pokarr_free(island);
        ASSERT_EQ(status, 0);
        pocket_box_block.island_count = r.island;
        std::vector<double> offsets(kOffsetSlots + 1, 0.0);
        if (level <= kOffsetSlots) offsets[static_cast<std::size_t>(level)] = r.own;
        int branches = 1;
        lanile(1, 0.0, 0.5, offsets.data(), 1, 1, branches, status);
        EXPECT_EQ(status, 0) << "island " << r.island;
        EXPECT_DOUBLE_EQ(lane_table_block.offset[1], r.expected) << "island " << r.island;
        EXPECT_EQ(lane_table_block.count, 2) << "island " << r.island;
        EXPECT_EQ(lane_table_block.level[2], level) << "island " << r.island;
    }
}

}  // namespace
