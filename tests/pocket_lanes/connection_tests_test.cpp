// Crossings of a segment with a lane and the connection tests against the lanes and islands of a
// lane table.
#include "lane_test_support.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/moves/connection_tests.hpp"

#include <vector>

namespace {

class ConnectionTest : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        int status = 0;
        POKREL(0, status);
        lane_table_reset();
        int size = 2000;
        PokAllocMainArray(size, 0, status);
    }
    void TearDown() override
    {
        int status = 0;
        lane_box_close(status);
        POKREL(1, status);
        LaneTest::TearDown();
    }
    static int add_lane(int lane_status, int level, const pokarr& a, int contour_type = 0)
    {
        int status = 0;
        lane_add(lane_status, level, 0, 0, 0, 1.0, contour_type, a, status);
        EXPECT_EQ(status, 0);
        return lane_table_block.count;
    }
};

pokarr rect(double x0, double y0, double x1, double y1)
{
    return make_2d({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}});
}

// A zigzag that the segment y = 1 from x 0 to 10 crosses at x 2, 5 and 8.
pokarr zigzag() { return make_2d({{1, 0}, {3, 2}, {5, 0}, {7, 2}, {9, 0}}); }

}  // namespace

TEST_F(ConnectionTest, SegmentCrossingsInOrderAlongTheSegment)
{
    pokarr lane = zigzag();
    const double s[3] = {0, 1, 0}, e[3] = {10, 1, 0};
    struct row {
        int wanted, result;
        double hit_x;
        int element;
    } rows[] = {{2, 2, 1.5, 1}, {1, 1, 1.5, 1}, {5, 2, 1.5, 1}};
    // The zigzag meets y = 1 at x 2 (element 1), 4 (element 2)... the first is x 2.
    rows[0].hit_x = rows[1].hit_x = rows[2].hit_x = 2.0;
    for (const row& r : rows) {
        double hit[3] = {0, 0, 0};
        int element = 0, result = 0;
        seg_lane_hits(kSegHitsEntry, s, e, lane, r.wanted, hit, element, result);
        EXPECT_EQ(result, r.wanted == 5 ? 4 : r.result) << "wanted " << r.wanted;
        EXPECT_NEAR(hit[0], r.hit_x, 1e-9);
        EXPECT_NEAR(hit[1], 1.0, 1e-9);
        EXPECT_EQ(element, r.element);
    }
    // Reversed, the first crossing along the segment is the one at x 8 on element 4.
    double hit[3] = {0, 0, 0};
    int element = 0, result = 0;
    seg_lane_hits(kSegHitsEntry, e, s, lane, 1, hit, element, result);
    EXPECT_EQ(result, 1);
    EXPECT_NEAR(hit[0], 8.0, 1e-9);
    EXPECT_EQ(element, 4);
    pokarr_free(lane);
}

TEST_F(ConnectionTest, DegenerateLanesAndMissesGiveNoCrossing)
{
    pokarr one = make_2d({{5, 5}});
    pokarr lane = zigzag();
    const double s[3] = {5, 0.5, 0}, e[3] = {5, 5, 0};
    const double far_s[3] = {0, 10, 0}, far_e[3] = {10, 10, 0};
    double hit[3] = {-7, -7, -7};
    int element = -7, result = -7;
    seg_lane_hits(kSegHitsConnection, s, e, one, 2, hit, element, result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(hit[0], -7);  // nothing written
    seg_lane_hits(kSegHitsConnection, far_s, far_e, lane, 2, hit, element, result);
    EXPECT_EQ(result, 0);
    pokarr_free(one);
    pokarr_free(lane);
}

TEST_F(ConnectionTest, SpatialLaneCountsEveryCrossingAndPicksTheNearest)
{
    pocket_state_block.pocket_dimension = 3;
    pokarr lane;
    pokarr_init(3, lane);
    int status = 0;
    const double pts[5][3] = {{1, 0, 0}, {3, 2, 2}, {5, 0, 4}, {7, 2, 6}, {9, 0, 8}};
    for (const auto& p : pts) pokarr_add_pnt(p, lane, status);
    ASSERT_EQ(status, 0);
    // The segment runs at height 6 from right to left: crossings at x 8, 6, 4, 2 with lane
    // heights 7, 5, 3, 1; the nearest to the start (x 10, z 6) in space is the one at x 8.
    const double s[3] = {10, 1, 6}, e[3] = {0, 1, 6};
    double hit[3] = {0, 0, 0};
    int element = 0, result = 0;
    seg_lane_hits(kSegHitsConnection, s, e, lane, 1, hit, element, result);
    EXPECT_EQ(result, 4);  // the wanted count does not shorten a spatial walk
    EXPECT_NEAR(hit[0], 8.0, 1e-9);
    EXPECT_NEAR(hit[2], 7.0, 1e-9);
    EXPECT_EQ(element, 4);
    pokarr_free(lane);
}

TEST_F(ConnectionTest, ConnectionHitsOtherLanesButNotItsOwnEnds)
{
    pokarr a = rect(0, 0, 4, 4), b = rect(10, 0, 14, 4), c = rect(5, -5, 8, 10);
    const int lane_a = add_lane(1, 1, a);
    const int lane_b = add_lane(1, 2, b);
    const double s[3] = {2, 2, 0}, e[3] = {12, 2, 0};
    int status = -7;
    // Lanes a and b are touched once each; the scan stops before the last lane of the table.
    add_lane(1, 3, c);
    conn_hits_lane(lane_a, lane_b, s, e, status);
    EXPECT_EQ(status, 0);  // c is the table's last lane: not scanned
    pokarr d = rect(20, 20, 21, 21);
    add_lane(1, 4, d);
    conn_hits_lane(lane_a, lane_b, s, e, status);
    EXPECT_EQ(status, 2);  // c crossed twice
    // One crossing of lane a is the connection's own; crossing a twice is a hit.
    const double once_s[3] = {-1, 2, 0}, once_e[3] = {2, 2, 0};
    conn_hits_lane(lane_a, lane_b, once_s, once_e, status);
    EXPECT_EQ(status, 0);
    const double twice_s[3] = {-1, 2, 0}, twice_e[3] = {4.5, 2, 0};
    conn_hits_lane(lane_a, lane_b, twice_s, twice_e, status);
    EXPECT_EQ(status, 2);
    for (pokarr* p : {&a, &b, &c, &d}) pokarr_free(*p);
}

TEST_F(ConnectionTest, IslandTestSkipsOpenIslandsAndNamesTheHit)
{
    pokarr outer = rect(0, 0, 40, 40), i1 = rect(10, 10, 12, 30), i2 = rect(20, 10, 22, 30);
    add_lane(0, 1, outer);
    const int first = add_lane(1, kLevelIsland + 1, i1, 2);
    const int second = add_lane(1, kLevelIsland + 2, i2);
    lane_table_block.island_count = 2;
    const double s[3] = {5, 20, 0}, e[3] = {30, 20, 0};
    int hit = 0, status = -7;
    conn_hits_island(0, 0, s, e, hit, status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(hit, second);  // the open island is passed over
    lane_table_block.contour_type[first] = 0;
    conn_hits_island(0, 0, s, e, hit, status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(hit, first);
    const double clear_s[3] = {5, 35, 0}, clear_e[3] = {30, 35, 0};
    conn_hits_island(0, 0, clear_s, clear_e, hit, status);
    EXPECT_EQ(status, 0);
    for (pokarr* p : {&outer, &i1, &i2}) pokarr_free(*p);
}

// An island list listed again as the table grows keeps what it knew of the lanes it still holds
// and answers for a level's new lane, not for the lane the new one replaced (read before).
TEST_F(ConnectionTest, IslandListListedAgainAnswersForTheLanesItNowHolds)
{
    pokarr outer = rect(0, 0, 100, 40), moved = rect(80, 32, 82, 38);
    add_lane(0, 1, outer);
    std::vector<pokarr> islands;
    std::vector<int> lanes;
    for (int k = 0; k < 8; ++k) {
        islands.push_back(rect(10 + 10 * k, 10, 12 + 10 * k, 30));
        lanes.push_back(add_lane(2, kLevelIsland + 1 + k, islands.back()));
    }
    lane_table_block.island_count = 8;
    island_test_lanes list;
    island_test_lanes_list(list);
    // Through island 8 alone, and through island 1 alone.
    const double s8[3] = {75, 20, 0}, e8[3] = {85, 20, 0}, s1[3] = {5, 20, 0}, e1[3] = {15, 20, 0};
    int hit = 0, status = -7;
    conn_hits_island_listed(list, 0, 0, s8, e8, hit, status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(hit, lanes[7]);
    const int replacing = add_lane(3, kLevelIsland + 8, moved);
    island_test_lanes_list(list);
    ASSERT_EQ(list.lanes.size(), 8u);
    EXPECT_EQ(list.lanes[7], replacing);
    conn_hits_island_listed(list, 0, 0, s8, e8, hit, status);
    EXPECT_EQ(status, 0);
    conn_hits_island_listed(list, 0, 0, s1, e1, hit, status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(hit, lanes[0]);
    for (pokarr& p : islands) pokarr_free(p);
    for (pokarr* p : {&outer, &moved}) pokarr_free(*p);
}

// The kept island list follows appended lanes as a full listing would list them: a new lane of an
// island level takes over as its live lane (closed: the level has none), first offsets keep table
// order, open islands (contour type 2) are never listed, and a smaller table is read anew.
TEST_F(ConnectionTest, KeptIslandListFollowsAppendedLanesAsAFullListing)
{
    pokarr box = rect(0, 0, 1, 1);
    lane_table_block.island_count = 3;
    struct row {
        int status, level, contour_type;
    } rows[] = {{0, 1, 0},
                {1, kLevelIsland + 1, 0},
                {1, kLevelIsland + 2, 2},
                {1, kLevelIsland + 3, 0},
                {2, kLevelIsland + 1, 0},
                {1, kLevelIsland + 2, 0},
                {-1, kLevelIsland + 3, 0},
                {0, kLevelSeparator, 0},
                {1, kLevelIsland + 5, 0},
                {1, kLevelIsland + 1, 0},
                {0, kLevelIsland + 2, 0},
                {3, 2, 0}};
    island_test_lanes_kept kept;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        add_lane(rows[i].status, rows[i].level, box, rows[i].contour_type);
        island_test_lanes full;
        island_test_lanes_list(full);
        EXPECT_EQ(island_test_lanes_follow(kept).lanes, full.lanes) << "after row " << i;
    }
    lane_table_reset();
    lane_table_block.island_count = 3;
    add_lane(1, kLevelIsland + 2, box);
    island_test_lanes full;
    island_test_lanes_list(full);
    EXPECT_EQ(island_test_lanes_follow(kept).lanes, full.lanes);
    EXPECT_EQ(full.lanes, std::vector<int>{1});
    pokarr_free(box);
}
