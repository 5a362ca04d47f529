// A new loop against the islands and the outer lanes of a pocket, over small lane tables built
// here: loop_in_islands in its modes, the cross-first and inside-first island tests of the
// common loops, and loop_in_lanes with the group option and an open outer contour.
#include "lane_test_support.hpp"

#include "host/control.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/loop_relation.hpp"

#include <string>

namespace {

constexpr int kIsland1 = kLevelIsland + 1;
constexpr int kIsland2 = kLevelIsland + 2;
constexpr int kOpenContour = 2;

// A counter-clockwise rectangle.
std::vector<xy> rect(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

// A planar pocket with an empty lane table over a fresh main point store.
class IslandTests : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        int status = 0;
        POKREL(0, status);
        lane_table_reset();
        int size = 1000;
        PokAllocMainArray(size, 0, status);
        ASSERT_EQ(status, 0);
        pocket_work_block.tolerance = 0.01;
        pocket_work_block.side_step = pocket_work_block.engine_step = 2.0;
    }
    void TearDown() override
    {
        int status = 0;
        lane_box_close(status);
        POKREL(1, status);
        LaneTest::TearDown();
    }

    // Appends a lane of these entries; returns its number.
    static int add(int lane_status, int level, int parent, int contour_type, const std::vector<xy>& entries)
    {
        pokarr a = make_from(entries);
        int status = 0;
        lane_add(lane_status, level, parent, parent, 0, 0.0, contour_type, a, status);
        pokarr_free(a);
        EXPECT_EQ(status, 0);
        return lane_table_block.count;
    }

    // The pocket of most cases: outer contour 0..100 (lane 1), island 1 over 10..20 (lane 2),
    // island 2 over 40..60 (lane 3).
    static void contour_and_two_islands(int island2_type = 0)
    {
        add(0, 1, 0, 0, rect(0, 0, 100, 100));
        add(0, kIsland1, 0, 0, rect(10, 10, 20, 20));
        add(0, kIsland2, 0, island2_type, rect(40, 40, 60, 60));
        lane_table_block.island_count = 2;
    }
};

struct loop_case {
    const char* name;
    std::vector<xy> loop;
};

// Loops met by the island tables below, against island 1 (10..20) and island 2 (40..60).
const loop_case kInsideIsland1{"inside island 1", rect(12, 12, 18, 18)};
const loop_case kOnIsland2Edge{"first point on island 2's edge, touching it there",
                               {{40, 50}, {30, 45}, {30, 55}, {40, 50}}};
const loop_case kCrossesFromInside{"crosses island 2, starts inside it", rect(50, 50, 70, 55)};
const loop_case kCrossesFromOutside{"crosses island 2, starts outside it", rect(30, 45, 50, 55)};
const loop_case kClear{"clear of the islands", rect(70, 70, 80, 80)};
const loop_case kAroundIsland1{"round island 1", rect(5, 5, 25, 25)};

int islands_result(int mode, int skip_level, int lane, const std::vector<xy>& entries, int& status)
{
    pokarr loop = make_from(entries);
    int result = -7;
    status = -7;
    loop_in_islands(mode, skip_level, lane, loop, result, status);
    pokarr_free(loop);
    return result;
}

}  // namespace

TEST_F(IslandTests, LoopInIslandsByModeOverEveryKindOfLoop)
{
    contour_and_two_islands();
    // Mode 1 stops at the first point inside or on an island, mode 2 only inside; other modes
    // ask whether an island meets the loop (a touching vertex counts) and nothing else.
    struct row {
        const loop_case* loop;
        int mode1, mode2, mode0;
    } rows[] = {
        {&kInsideIsland1, 1, 1, 0},      {&kOnIsland2Edge, 2, 0, 2}, {&kCrossesFromInside, 1, 1, 2},
        {&kCrossesFromOutside, 0, 0, 2}, {&kClear, 0, 0, 0},         {&kAroundIsland1, 0, 0, 0},
    };
    for (const row& r : rows) {
        int status = 0;
        EXPECT_EQ(islands_result(1, 0, -1, r.loop->loop, status), r.mode1) << r.loop->name;
        EXPECT_EQ(status, 0) << r.loop->name;
        EXPECT_EQ(islands_result(2, 0, -1, r.loop->loop, status), r.mode2) << r.loop->name;
        EXPECT_EQ(status, 0) << r.loop->name;
        EXPECT_EQ(islands_result(0, 0, -1, r.loop->loop, status), r.mode0) << r.loop->name;
        EXPECT_EQ(status, 0) << r.loop->name;
        EXPECT_EQ(islands_result(3, 0, -1, r.loop->loop, status), r.mode0) << r.loop->name;
    }
}

TEST_F(IslandTests, LoopInIslandsPassesOverSkippedStockAndOpenIslands)
{
    contour_and_two_islands();
    int status = 0;
    // The skipped level.
    EXPECT_EQ(islands_result(1, kIsland1, -1, kInsideIsland1.loop, status), 0);
    EXPECT_EQ(islands_result(1, kIsland2, -1, kInsideIsland1.loop, status), 1);
    EXPECT_EQ(islands_result(0, kIsland2, -1, kCrossesFromOutside.loop, status), 0);
    // Islands numbered up to the second-kind count are not tested.
    lane_table_block.stock_islands = 1;
    EXPECT_EQ(islands_result(1, 0, -1, kInsideIsland1.loop, status), 0);
    EXPECT_EQ(islands_result(1, 0, -1, kCrossesFromInside.loop, status), 1);
    lane_table_block.stock_islands = 0;
    // An island of contour type 2 is never reported, in any mode.
    lane_table_block.contour_type[3] = kOpenContour;
    for (int mode : {0, 1, 2}) {
        EXPECT_EQ(islands_result(mode, 0, -1, kCrossesFromInside.loop, status), 0) << mode;
        EXPECT_EQ(status, 0);
    }
    EXPECT_EQ(islands_result(1, 0, -1, kInsideIsland1.loop, status), 1);
}

TEST_F(IslandTests, LoopInIslandsReadsContourIslandsOrLiveOffsets)
{
    contour_and_two_islands();
    // A live offset of island 1 grown to 8..22: the loop crosses it but not the contour island.
    add(1, kIsland1, 2, 0, rect(8, 8, 22, 22));
    const std::vector<xy> crosses_offset = rect(5, 12, 9, 18);
    int status = 0;
    EXPECT_EQ(islands_result(0, 0, -1, crosses_offset, status), 2);  // the live lane
    const std::vector<xy> starts_in_offset = {{9, 15}, {9, 16}, {5, 16}, {9, 15}};
    EXPECT_EQ(islands_result(1, 0, -1, starts_in_offset, status), 0);  // the contour lane
    // Once the branch is closed there is no live lane of the level and the island is skipped.
    lane_add_empty(1, kIsland1, 4, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(islands_result(0, 0, -1, crosses_offset, status), 0);
    EXPECT_EQ(status, 0);
    // Modes 1 and 2 read lane k + 1 and stop quietly past the end of the table.
    lane_table_block.island_count = 9;
    EXPECT_EQ(islands_result(1, 0, -1, kClear.loop, status), 0);
    EXPECT_EQ(status, 0);
}

TEST_F(IslandTests, LoopInIslandsSkipsIslandsOutsideTheLanesBox)
{
    contour_and_two_islands();
    const int near1 = add(1, 1, 1, 0, rect(5, 5, 30, 30));
    const int far = add(1, 2, 1, 0, rect(70, 70, 90, 90));
    const int touching = add(1, 3, 1, 0, rect(20, 0, 30, 9));  // min x = island 1's max x
    int status = 0;
    EXPECT_EQ(islands_result(1, 0, near1, kInsideIsland1.loop, status), 1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(islands_result(1, 0, far, kInsideIsland1.loop, status), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(islands_result(1, 0, touching, kInsideIsland1.loop, status), 0);
    EXPECT_EQ(islands_result(0, 0, far, kCrossesFromOutside.loop, status), 0);
    EXPECT_EQ(islands_result(0, 0, -1, kCrossesFromOutside.loop, status), 2);
}

TEST_F(IslandTests, LoopInIslandsRefusesWhatItCannotTest)
{
    contour_and_two_islands();
    int status = 0;
    EXPECT_EQ(islands_result(1, 0, -1, {}, status), 0);
    EXPECT_EQ(status, 0);
    // An island whose arc record is cut short cannot be sampled: status 11, no result.
    add(0, 10003, 0, 0, {{70, 70}, {80, 70}, {kMarkerX, 0}, {5, 1}});
    lane_table_block.island_count = 3;
    EXPECT_EQ(islands_result(2, 0, -1, kClear.loop, status), 0);
    EXPECT_EQ(status, kInsideFailed);
}

TEST_F(IslandTests, CrossFirstInsideFirstAndWhollyOverEveryKindOfLoop)
{
    contour_and_two_islands();
    struct row {
        const loop_case* loop;
        int level_a, level_b;
        int cross_first, inside_first, wholly;
    } rows[] = {
        {&kInsideIsland1, 0, 0, 1, 1, 1},
        {&kOnIsland2Edge, 0, 0, 2, 2, 0},  // the touching vertex meets the island
        // A crossing wins over the first point in cross-first, and the other way round; an island
        // holds a loop wholly only when it holds the first point and no crossing.
        {&kCrossesFromInside, 0, 0, 2, 1, 0},
        {&kCrossesFromOutside, 0, 0, 2, 2, 0},
        {&kClear, 0, 0, 0, 0, 0},
        {&kAroundIsland1, 0, 0, 0, 0, 0},
        {&kInsideIsland1, kIsland1, 0, 0, 0, 0},
        {&kInsideIsland1, 0, kIsland1, 0, 0, 0},
        {&kCrossesFromInside, kIsland1, 0, 2, 1, 0},
        // Every island skipped: no island crosses or holds the loop.
        {&kClear, kIsland1, kIsland2, 0, 0, 0},
    };
    for (const row& r : rows) {
        pokarr loop = make_from(r.loop->loop);
        const std::string what =
            std::string(r.loop->name) + " skipping " + std::to_string(r.level_a) + "/" + std::to_string(r.level_b);
        int result = -7, status = -7;
        loop_in_island_cross_first(loop, r.level_a, r.level_b, result, status);
        EXPECT_EQ(status, 0) << what;
        EXPECT_EQ(result, r.cross_first) << what;
        result = status = -7;
        loop_in_island_inside_first(loop, r.level_a, r.level_b, result, status);
        EXPECT_EQ(status, 0) << what;
        EXPECT_EQ(result, r.inside_first) << what;
        result = status = -7;
        loop_in_island_wholly(loop, r.level_a, r.level_b, result, status);
        EXPECT_EQ(status, 0) << what;
        EXPECT_EQ(result, r.wholly) << what;
        pokarr_free(loop);
    }
}

TEST_F(IslandTests, CrossAndInsideFirstNeverReportAnOpenIsland)
{
    contour_and_two_islands(kOpenContour);
    for (const loop_case* c : {&kCrossesFromInside, &kCrossesFromOutside, &kOnIsland2Edge}) {
        pokarr loop = make_from(c->loop);
        int result = -7, status = -7;
        loop_in_island_cross_first(loop, 0, 0, result, status);
        EXPECT_EQ(result, 0) << c->name;
        EXPECT_EQ(status, 0);
        loop_in_island_inside_first(loop, 0, 0, result, status);
        EXPECT_EQ(result, 0) << c->name;
        pokarr_free(loop);
    }
}

TEST_F(IslandTests, CrossFirstWithoutIslandsGivesZero)
{
    add(0, 1, 0, 0, rect(0, 0, 100, 100));
    pokarr loop = make_from(kClear.loop);
    int result = -7, status = -7;
    loop_in_island_cross_first(loop, 0, 0, result, status);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(status, 0);
    loop_in_island_inside_first(loop, 0, 0, result, status);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(status, 0);
    pokarr empty;
    pokarr_init(2, empty);
    loop_in_island_cross_first(empty, 0, 0, result, status);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(status, 0);
    pokarr_free(loop);
}

namespace {

// The outer branches of loop_in_lanes: lane 1 the outer contour 0..100, lane 2 its first
// offset 5..95 (level 1, status 1), lane 3 a second branch 200..300 (level 2, status 1).
class LanesTests : public IslandTests {
protected:
    void SetUp() override
    {
        IslandTests::SetUp();
        add(0, 1, 0, 0, rect(0, 0, 100, 100));
        add(1, 1, 1, 0, rect(5, 5, 95, 95));
        add(1, 2, 1, 0, rect(200, 200, 300, 300));
    }

    static int lanes_result(int levels, const std::vector<xy>& entries, int incoming, int& status)
    {
        pokarr loop = make_from(entries);
        int result = incoming;
        status = -7;
        loop_in_lanes(levels, loop, result, status);
        pokarr_free(loop);
        return result;
    }
};

}  // namespace

TEST_F(LanesTests, LoopInLanesFindsTheLiveLaneHoldingTheFirstPoint)
{
    struct row {
        const char* name;
        std::vector<xy> loop;
        int levels, result;
    } rows[] = {
        {"inside branch 1", rect(40, 40, 50, 50), 1, 1},
        {"inside branch 2, one level", rect(240, 240, 250, 250), 1, 0},
        {"inside branch 2, two levels", rect(240, 240, 250, 250), 2, 1},
        {"inside the contour, outside its offset", rect(1, 1, 2, 2), 2, 0},
        {"first point on the offset", {{5, 50}, {30, 50}, {30, 60}, {5, 50}}, 2, 0},
        {"crossing the offset, open contour off", rect(90, 40, 99, 50), 1, 1},
        {"no levels", rect(40, 40, 50, 50), 0, 0},
    };
    for (const row& r : rows) {
        int status = 0;
        EXPECT_EQ(lanes_result(r.levels, r.loop, -1, status), r.result) << r.name;
        EXPECT_EQ(status, 0) << r.name;
    }
}

TEST_F(LanesTests, LoopInLanesGroupOptionPassesOverGroupsAndOpenParents)
{
    pocket_state_block.group_option = 1;
    const std::vector<xy> inside = rect(40, 40, 50, 50);
    int status = 0;
    EXPECT_EQ(lanes_result(1, inside, 0, status), 1);
    // A lane of a group is passed over; with no lane tested, -1 coming in gives 1.
    lane_table_block.group[2] = 3;
    EXPECT_EQ(lanes_result(1, inside, 0, status), 0);
    EXPECT_EQ(lanes_result(1, inside, -1, status), 1);
    EXPECT_EQ(status, 0);
    const std::vector<xy> outside = rect(400, 400, 410, 410);
    EXPECT_EQ(lanes_result(1, outside, -1, status), 1);
    EXPECT_EQ(lanes_result(2, outside, -1, status), 0);  // branch 2 was tested
    // A lane whose parent contour is open is passed over too.
    lane_table_block.group[2] = 0;
    lane_table_block.contour_type[1] = kOpenContour;
    EXPECT_EQ(lanes_result(1, inside, 0, status), 0);
    EXPECT_EQ(lanes_result(1, inside, -1, status), 1);
    // Without the group option the incoming -1 means nothing.
    pocket_state_block.group_option = 0;
    lane_table_block.contour_type[1] = 0;
    EXPECT_EQ(lanes_result(1, outside, -1, status), 0);
}

TEST_F(LanesTests, LoopInLanesWithAnOpenOuterContourAsksForCrossings)
{
    lane_table_block.contour_type[1] = kOpenContour;
    struct row {
        const char* name;
        std::vector<xy> loop;
        int result;
    } rows[] = {
        {"inside, clear of the offset", rect(40, 40, 50, 50), 1},
        {"starts inside, crosses the offset", rect(90, 40, 99, 50), 2},
        {"starts outside, crosses the offset", rect(2, 40, 10, 50), 2},
        {"outside everything", rect(400, 400, 410, 410), 0},
    };
    for (const row& r : rows) {
        int status = 0;
        EXPECT_EQ(lanes_result(1, r.loop, 0, status), r.result) << r.name;
        EXPECT_EQ(status, 0) << r.name;
    }
    // The crossing test is made with the last lane read: branch 2 when two levels are asked.
    int status = 0;
    EXPECT_EQ(lanes_result(2, rect(2, 40, 10, 50), 0, status), 0);
    EXPECT_EQ(lanes_result(2, rect(290, 240, 310, 250), 0, status), 2);
}

TEST_F(IslandTests, AnIslandThatCannotBeReadIsAMemoryFailure)
{
    contour_and_two_islands();
    add(1, 1, 1, 0, rect(5, 5, 95, 95));  // a live outer lane for loop_in_lanes
    // No pool block left to reuse, and every new one refused: the islands cannot be read.
    pkdm_rel_all();
    pokarr loop = make_from(kClear.loop);
    vantu::control::inject_fault("DM_ALLOC", 1, 1000, -1);
    int result = -7, status = -7;
    loop_in_islands(0, 0, -1, loop, result, status);
    EXPECT_EQ(status, kInsideFailed);
    EXPECT_EQ(result, 0);
    loop_in_island_cross_first(loop, 0, 0, result, status);
    EXPECT_EQ(status, kInsideFailed);
    loop_in_island_inside_first(loop, 0, 0, result, status);
    EXPECT_EQ(status, kInsideFailed);
    loop_in_island_wholly(loop, 0, 0, result, status);
    EXPECT_EQ(status, kInsideFailed);
    loop_in_lanes(1, loop, result, status);
    EXPECT_EQ(status, kInsideFailed);
    vantu::control::clear_faults();
    pokarr_free(loop);
}
