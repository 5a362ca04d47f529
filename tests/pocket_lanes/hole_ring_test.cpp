// The ring round a hole lane found through the lane table's links (merges of the ring through
// either link, holes cut from holes, unrelated lanes and a damaged table), and the islands that
// reach into such a hole.
#include "engine_test_support.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_lanes/hole_ring.hpp"

namespace {

class HoleRing : public EngineTest {};

}  // namespace

TEST_F(HoleRing, RingIsFoundThroughEitherLinkOfItsMerges)
{
    lane_table_reset();
    lane_table& lt = lane_table_block;
    lt.count = 10;
    // Lanes 1 to 3 and 9: islands' first offsets. Lane 4 merges 1 and 2; merged with 3 it leaves
    // the ring 6 and its hole 5; lane 7 is a hole cut from hole 5 by a merge with lane 2; lane 8
    // merges 2 with the ring (the ring on its second link). Lane 10 is a hole whose first link
    // names itself (a damaged table).
    const int link1[] = {0, 0, 0, 0, 1, 4, 4, 5, 2, 0, 10}, link2[] = {0, 0, 0, 0, 2, 3, 3, 2, 6, 0, 0};
    const int group[] = {0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1};
    for (int n = 1; n <= lt.count; ++n) lt.link1[n] = link1[n], lt.link2[n] = link2[n], lt.group[n] = group[n];
    struct row {
        int ring, hole;
        bool is_ring;
    } rows[] = {
        {6, 5, true},    // the merge that left the hole
        {8, 5, true},    // a later merge that took the ring through its second link
        {4, 5, true},    // the lane the hole was cut from
        {6, 7, true},    // a hole cut from the hole
        {9, 5, false},   // another island's lane
        {3, 5, false},   // an island merged into the ring, older than the lane the hole was cut from
        {6, 10, false},  // the damaged table: the walk stops
    };
    for (const row& r : rows) EXPECT_EQ(lane_is_ring_of_hole(r.ring, r.hole), r.is_ring) << r.ring << " " << r.hole;
}

// A square hole lane from (10, 10) to (14, 14) and one island of first offset 1 (the pocket's
// tolerance 0.01): the island reaches into the hole when its contour stands inside it or nearer
// it than the offset less the tolerance, however it got there.
TEST_F(HoleRing, IslandReachesIntoHoleWhenNearerThanItsOffset)
{
    struct row {
        const char* name;
        contour island;
        double offset;
        bool ignored;  // the island's first offset vanished and its level was closed
        bool meets;
    } rows[] = {
        {"far away", circle(30, 12, 1), 1.0, false, false},
        {"bounding the hole: its offset touches it", circle(16, 12, 1), 1.0, false, false},
        {"its offset within half the tolerance of the hole", circle(15.995, 12, 1), 1.0, false, false},
        {"its offset 0.05 into the hole", circle(15.95, 12, 1), 1.0, false, true},
        {"its offset into the hole at a corner", circle(15.3, 15.3, 1), 1.0, false, true},
        {"its contour across the hole's wall", circle(14.5, 12, 1), 1.0, false, true},
        {"inside the hole", circle(12, 12, 0.5), 1.0, false, true},
        {"a speck inside the hole", circle(12, 12, 1e-4), 0.5, false, true},
        {"an ignored speck inside the hole", circle(12, 12, 1e-4), 0.001, true, false},
    };
    for (const row& r : rows) {
        lane_table_reset();
        int status = 0;
        const auto add = [&status](int lane_status, int level, int parent, double offset, const contour& c) {
            pokarr a = make_from(c);
            lane_add(lane_status, level, parent, 0, 0, offset, 0, a, status);
            pokarr_free(a);
        };
        add(0, 1, 0, 0.0, rectangle(0, 0, 40, 30));
        add(0, kLevelIsland + 1, 0, r.offset, r.island);
        lane_table_block.island_count = 1;
        if (r.ignored) lane_add_empty(1, kLevelIsland + 1, 2, status);
        add(1, 2, 1, 1.0, rectangle(10, 10, 14, 14));
        ASSERT_EQ(status, 0) << r.name;
        const int hole = lane_table_block.count;
        EXPECT_EQ(hole_meets_island(hole, status), r.meets) << r.name;
        EXPECT_EQ(status, 0) << r.name;
    }
}

// Two islands whose first offsets were merged into lanes of other levels, one of them the ring
// the hole was cut from: an island merged into the ring counts for the hole, one merged into
// another live lane does not, whichever of the two is asked first. The hole is the square from
// (10, 10) to (14, 14); island A (row 3) stands inside it, island P (row 2) off its corner,
// nearer than its first offset by box only.
TEST_F(HoleRing, IslandMergedIntoRingCountsAndIntoAnotherLaneNot)
{
    constexpr int p = 2, a = 3, ring = 4;
    struct row {
        const char* name;
        int ring_links[2], other_links[2];  // the islands each merged lane was made from
        bool meets;
    } rows[] = {
        {"P into the other lane, A into the ring: A inside the hole", {a, 0}, {p, 0}, true},
        {"P into the ring, A into the other lane: P keeps its distance", {p, 0}, {a, 0}, false},
        {"both into the ring", {p, a}, {0, 0}, true},
        {"both into the other lane", {0, 0}, {p, a}, false},
    };
    for (const row& r : rows) {
        lane_table_reset();
        int status = 0;
        const auto add = [&status](int lane_status, int level, const int* links, const contour& c) {
            pokarr loop = make_from(c);
            lane_add(lane_status, level, 0, links[0], links[1], 1.0, 0, loop, status);
            pokarr_free(loop);
        };
        const int none[2] = {0, 0}, from_ring[2] = {ring, 0};
        add(0, 1, none, rectangle(0, 0, 40, 30));
        add(0, kLevelIsland + 1, none, circle(15.2, 15.2, 0.5));
        add(0, kLevelIsland + 2, none, circle(12, 12, 0.5));
        lane_table_block.island_count = 2;
        add(1, kLevelIsland + 3, r.ring_links, circle(20, 20, 3));
        add(1, kLevelIsland + 4, r.other_links, circle(30, 10, 3));
        add(1, 2, from_ring, rectangle(10, 10, 14, 14));
        ASSERT_EQ(status, 0) << r.name;
        const int hole = lane_table_block.count;
        lane_table_block.group[hole] = 1;
        EXPECT_EQ(hole_meets_island(hole, status), r.meets) << r.name;
        EXPECT_EQ(status, 0) << r.name;
    }
}
