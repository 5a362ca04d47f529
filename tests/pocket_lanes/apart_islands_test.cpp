// Islands that no branch lane crosses: one held by the last lane of a branch whose next offset
// vanishes is taken in by that lane, one beyond the outer contour's first offset is outside the
// material and its lanes end. Either way the pocket completes, judged whole (pocket_judge.hpp).
#include "pocket_judge.hpp"

namespace {

using namespace pocket_judge;
namespace kg = kernel_geometry;

class ApartIslands : public EngineTest {};

// The live island lanes left for the cut.
int live_island_lanes()
{
    return EngineTest::count_lanes(
        [](int n) { return lane_table_block.level[n] > kLevelIsland && lane_table_block.status[n] > 0; });
}

TEST_F(ApartIslands, AnIslandNoBranchMeetsIsTakenInOrEndsAndThePocketIsCutWhole)
{
    // A room with an arm 4 wide: the first offset (2.5) does not enter the arm, and the island in
    // it grows into the arm's walls.
    const loop armed = kg::closed({{0, 0}, {30, 0}, {30, 6.5}, {40, 6.5}, {40, 10.5}, {30, 10.5}, {30, 17}, {0, 17}});
    struct row {
        pocket_case pocket;
        int live_island_lanes;  // 1: the island's first offset cut under the branch; 0: ended
    };
    // Circles of radius 10 about (10, 0): the lanes of radius 8, 6, 4 and 2, the last one's offset
    // vanishing round the island's lanes, which no lane crosses.
    const std::vector<row> rows = {
        {{"island inside the last lane, its offset 1", {circle(10, 0, 10), circle(10, 0, 0.3)}, {2.0, 1.0}, 2.0}, 1},
        {{"island inside the last lane, its offset 0.3", {circle(10, 0, 10), circle(10, 0, 0.3)}, {2.0, 0.3}, 2.0}, 1},
        {{"island in an arm the first offset does not enter", {armed, circle(36, 8.5, 0.5)}, {2.5, 2.5}, 2.5}, 0},
    };
    for (const row& r : rows) {
        const pocket_case& c = r.pocket;
        to_load_state();
        pocket_work_block.tolerance = c.tolerance;
        pocket_work_block.side_step = c.step;
        load(c.contours, c.offsets[0]);
        pocket_work_block.offsets[kIslandSlotBase] = c.offsets[1];
        int status = -7;
        cmtpk_clean(0, status);
        const std::vector<std::string> faults = judge(c, status);
        EXPECT_TRUE(faults.empty()) << c.name << ": " << (faults.empty() ? "" : faults.front());
        EXPECT_EQ(live_island_lanes(), r.live_island_lanes) << c.name;
    }
}

}  // namespace
