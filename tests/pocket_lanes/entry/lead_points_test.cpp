// Lead points at lane ends: the lane end when there is no lead, straight and arc leads on a
// square lane, the link reductions, the refusals of an arc inside the lane's opening arc and of
// an arc crossing its own lane ten times, and the lead-out's side and linking move.
#include "pocket_lanes/lane_test_support.hpp"
#include "toolpath/motion_output_support.hpp"

#include "pocket/lane_table.hpp"
#include "pocket_arrays/elem_lane_crossings.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/entry/lead_lane_checks.hpp"
#include "pocket_lanes/entry/lead_points.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"

#include <cmath>
#include <vector>

using namespace motion_test;

namespace {

class LeadPoints : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        fresh_at({5, 5, 0});
        start_without_tool();
        int status = 0;
        POKREL(0, status);
        lane_table_reset();
        int size = 4000;
        PokAllocMainArray(size, 0, status);
        pocket_box_block.first_output_lane = 0;
        point_mover() = point_mover_words{};
        pocket_state& ps = pocket_state_block;
        ps.lead_mode = 1;
        ps.lead_values[0] = 2.0;
        ps.lead_values[1] = 2.0;
        ps.lead_values[2] = 3.0;
        ps.direction_sign = 1;
        ps.offsets_mode = 1;
        ps.entry_shift = 10;
        ps.order_flag = 1;
        pocket_work_block.tolerance = 0.01;
        pocket_work_block.extra_offset = 1.0;
        pocket_work_block.side_step = 1.0;
    }
    void TearDown() override
    {
        int status = 0;
        lane_box_close(status);
        POKREL(1, status);
        to_load_state();
        LaneTest::TearDown();
    }
    // Adds a live lane of the level with these entries; answers its row.
    static int add_lane(const std::vector<xy>& entries, int level = 1)
    {
        pokarr a = make_from(entries);
        int status = 0;
        lane_add(1, level, 0, 0, 0, 1.0, 0, a, status);
        EXPECT_EQ(status, 0);
        pokarr_free(a);
        return lane_table_block.count;
    }
    static void tool_at(double x, double y)
    {
        DSP8().set_vec(tool_position_state::kPosition, {float(x), float(y), 0.0f});
    }
};

struct answer {
    int shortened = -1, status = -9;
    double lead[2] = {0, 0}, centre[2] = {0, 0}, direction = 0;
};

std::vector<double> flat(const std::vector<xy>& e)
{
    std::vector<double> v;
    for (const xy& p : e) {
        v.push_back(p.x);
        v.push_back(p.y);
    }
    return v;
}

answer lead_in(int lane, const std::vector<xy>& e, int entry_mode = 2, int island_mode = 0)
{
    answer a;
    const std::vector<double> p = flat(e);
    lead_in_calc(island_mode, lane, static_cast<int>(e.size()), p.data(), entry_mode, a.shortened, a.lead, a.centre,
                 a.direction, a.status);
    return a;
}

answer lead_out(int lane, const std::vector<xy>& e, int& entry_mode)
{
    answer a;
    const std::vector<double> p = flat(e);
    lead_out_calc(0, lane, static_cast<int>(e.size()), p.data(), entry_mode, a.shortened, a.lead, a.centre, a.direction,
                  a.status);
    return a;
}

// The square 0..10 counter-clockwise, starting in the middle of its bottom edge.
const std::vector<xy> kSquare = {{5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {5, 0}};

}  // namespace

TEST_F(LeadPoints, NoLeadValueGivesTheLaneEnd)
{
    const int lane = add_lane(kSquare);
    struct row {
        int mode, value_index;
    } rows[] = {{1, 1}, {2, 0}, {0, 0}};
    for (const row& r : rows) {
        pocket_state_block.lead_mode = r.mode;
        pocket_state_block.lead_values[r.value_index] = 0.0;
        const answer a = lead_in(lane, kSquare);
        EXPECT_EQ(a.status, kLeadStands) << r.mode;
        EXPECT_EQ(a.shortened, 0);
        EXPECT_DOUBLE_EQ(a.lead[0], 5.0);
        EXPECT_DOUBLE_EQ(a.lead[1], 0.0);
        EXPECT_DOUBLE_EQ(a.direction, 1.0);
    }
}

TEST_F(LeadPoints, StraightLeadOnTheSideOfTheDirectionSign)
{
    const int lane = add_lane(kSquare);
    // Left of the lane (inside the counter-clockwise square), then right (outside).
    answer a = lead_in(lane, kSquare);
    EXPECT_EQ(a.status, kLeadStands);
    EXPECT_EQ(a.shortened, 0);
    EXPECT_NEAR(a.lead[0], 5.0, 1e-12);
    EXPECT_NEAR(a.lead[1], 2.0, 1e-12);
    // The tool below the square, so that its move to the lead stays clear of the lane.
    tool_at(5, -5);
    pocket_state_block.direction_sign = -1;
    a = lead_in(lane, kSquare);
    EXPECT_EQ(a.status, kLeadStands);
    EXPECT_NEAR(a.lead[1], -2.0, 1e-12);
    // A lead longer than the room to another lane stops at that lane; the tool's move to that
    // point touches the lane there, so the lead is cut back a tenth.
    tool_at(5, 0.5);
    pocket_state_block.direction_sign = 1;
    add_lane({{-1, 1.5}, {11, 1.5}, {11, 12}, {-1, 12}, {-1, 1.5}}, 3);
    a = lead_in(lane, kSquare);
    EXPECT_EQ(a.status, kLeadStands);
    EXPECT_EQ(a.shortened, 1);
    EXPECT_NEAR(a.lead[1], 1.35, 1e-9);
}

TEST_F(LeadPoints, LinkCrossingAtEveryLengthEndsAtTheLaneStartUnshortened)
{
    const int lane = add_lane(kSquare);
    // The tool stands above the square: its move to any point of the lead crosses the top edge.
    tool_at(5, 20);
    const answer a = lead_in(lane, kSquare);
    EXPECT_EQ(a.status, kLeadStands);
    EXPECT_EQ(a.shortened, 0);
    EXPECT_DOUBLE_EQ(a.lead[0], 5.0);
    EXPECT_DOUBLE_EQ(a.lead[1], 0.0);
    // Entry mode 13 does not test the linking move.
    const answer b = lead_in(lane, kSquare, kEntryModeNoLinkTest);
    EXPECT_NEAR(b.lead[1], 2.0, 1e-12);
}

TEST_F(LeadPoints, LinkCrossingNearTheLaneKeepsAShorterLead)
{
    const int lane = add_lane(kSquare);
    // A wall at y 1.7 between the tool and the upper part of the lead.
    add_lane({{3, 1.7}, {7, 1.7}}, 2);
    tool_at(5, 1.0);
    pocket_state_block.lead_values[1] = 3.0;
    const answer a = lead_in(lane, kSquare, 2);
    // The lead itself stops at the wall (1.7); the move from (5, 1) to (5, 1.7) touches it, so the
    // lead is cut back a tenth, to 0.9 of 1.7.
    EXPECT_EQ(a.status, kLeadStands);
    EXPECT_EQ(a.shortened, 1);
    EXPECT_NEAR(a.lead[1], 1.53, 1e-9);
}

TEST_F(LeadPoints, ArcLeadTangentToTheLane)
{
    pocket_state_block.lead_mode = 2;
    const int lane = add_lane(kSquare);
    answer a = lead_in(lane, kSquare);
    EXPECT_EQ(a.status, kLeadStands);
    EXPECT_EQ(a.shortened, 0);
    EXPECT_NEAR(a.centre[0], 5.0, 1e-12);
    EXPECT_NEAR(a.centre[1], 2.0, 1e-12);
    EXPECT_NEAR(a.lead[0], 3.0, 1e-12);
    EXPECT_NEAR(a.lead[1], 2.0, 1e-12);
    EXPECT_DOUBLE_EQ(a.direction, 1.0);
    // The lead-out leaves the lane end forward: it ends ahead of the end, on the same side.
    int entry_mode = 0;
    a = lead_out(lane, kSquare, entry_mode);
    EXPECT_EQ(entry_mode, 1);
    EXPECT_EQ(a.status, kLeadStands);
    EXPECT_NEAR(a.lead[0], 7.0, 1e-12);
    EXPECT_NEAR(a.lead[1], 2.0, 1e-12);
    EXPECT_NEAR(a.centre[1], 2.0, 1e-12);
    EXPECT_DOUBLE_EQ(a.direction, 1.0);
    // Clockwise on the other side.
    pocket_state_block.direction_sign = -1;
    a = lead_in(lane, kSquare);
    EXPECT_NEAR(a.centre[1], -2.0, 1e-12);
    EXPECT_NEAR(a.lead[0], 3.0, 1e-12);
    EXPECT_DOUBLE_EQ(a.direction, -1.0);
}

TEST_F(LeadPoints, ArcInsideTheLanesOpeningArcIsRefused)
{
    pocket_state_block.lead_mode = 2;
    pocket_state_block.lead_values[0] = 3.0;
    // A closed lane opening with a counter-clockwise arc of radius 2 about (5, 2): the lead's
    // centre (5, 3) lies within 3 of it.
    std::vector<xy> e = {{5, 0}};
    push_arc(e, 2.0, 1.0, 5.0, 2.0, 7.0, 2.0);
    e.insert(e.end(), {{7, 10}, {0, 10}, {0, 0}, {5, 0}});
    const int lane = add_lane(e);
    const answer a = lead_in(lane, e);
    EXPECT_EQ(a.status, kNoUsableLead);
    EXPECT_EQ(a.shortened, 1);
    EXPECT_DOUBLE_EQ(a.lead[0], 5.0);
    EXPECT_DOUBLE_EQ(a.lead[1], 0.0);
}

TEST_F(LeadPoints, ArcCrossingItsOwnLaneTenTimesIsRefused)
{
    pocket_state_block.lead_mode = 2;
    pocket_state_block.lead_values[0] = 5.0;
    pocket_state_block.entry_shift = 0;
    // An open lane from (0, 0) to the right, then a comb of lines across the lead arc (which runs
    // from (0, 0) back to (-5, 5) about (0, 5)).
    std::vector<xy> e = {{0, 0}, {1, 0}};
    for (int k = 1; k <= 10; ++k) {
        const double y = 0.4 * k;
        if (k % 2 == 1)
            e.insert(e.end(), {{1, y}, {-6, y}});
        else
            e.insert(e.end(), {{-6, y}, {1, y}});
    }
    const int lane = add_lane(e);
    answer a = lead_in(lane, e);
    EXPECT_EQ(a.status, kNoUsableLead);
    EXPECT_EQ(a.shortened, 1);
    // Nine crossings shorten the lead to the one nearest the lane start.
    e.resize(e.size() - 2);
    lane_table_reset();
    const int fewer = add_lane(e);
    a = lead_in(fewer, e);
    EXPECT_EQ(a.status, kLeadStands);
    EXPECT_EQ(a.shortened, 1);
    EXPECT_LT(a.lead[1], 0.4);
    EXPECT_GT(a.lead[1], 0.0);
}

TEST_F(LeadPoints, SideConflictTable)
{
    struct row {
        int orientation, inside, side, want;
    } rows[] = {{1, 1, 1, 0},  {1, 0, 1, 1},  {-1, 1, 1, 1}, {-1, 0, 1, 0},
                {1, 1, -1, 1}, {1, 0, -1, 0}, {0, 1, 1, 0},  {0, 0, -1, 0}};
    for (const row& r : rows)
        EXPECT_EQ(side_conflict(r.orientation, r.inside, r.side), r.want)
            << r.orientation << " " << r.inside << " " << r.side;
}

TEST_F(LeadPoints, LeadOutLinkFromTheNextLaneStart)
{
    const int lane = add_lane(kSquare);
    // The next lane starts above the square: the move from there to the lead-out point crosses
    // the top edge at every length.
    add_lane({{5, 20}, {6, 20}}, 2);
    int entry_mode = 2;
    answer a = lead_out(lane, kSquare, entry_mode);
    EXPECT_EQ(a.status, kLeadStands);
    EXPECT_DOUBLE_EQ(a.lead[1], 0.0);
    // No lane follows: the lead stands at full length.
    entry_mode = -2;
    a = lead_out(lane, kSquare, entry_mode);
    EXPECT_EQ(entry_mode, 2);
    EXPECT_NEAR(a.lead[0], 5.0, 1e-12);
    EXPECT_NEAR(a.lead[1], 3.0, 1e-12);
}

TEST_F(LeadPoints, ElementCrossingsInOrderAlongTheElement)
{
    // The square 0..10 and a lower half circle of radius 5 about (20, 0).
    const std::vector<double> sx = {0, 10, 10, 0, 0}, sy = {0, 0, 10, 10, 0};
    const std::vector<double> ax = {15, 1e25, 5, 20, 25}, ay = {0, 0, 1, 0, 0};
    struct row {
        int kind;
        double s[2], e[2], c[2], r, dir;
        const std::vector<double>*x, *y;
        int room;
        std::vector<double> want_x;
    } rows[] = {
        {kElementLine, {-5, 5}, {15, 5}, {0, 0}, 0, 1, &sx, &sy, 10, {0, 10}},
        {kElementLine, {15, 5}, {-5, 5}, {0, 0}, 0, 1, &sx, &sy, 10, {10, 0}},
        {kElementLine, {-5, 5}, {15, 5}, {0, 0}, 0, 1, &sx, &sy, 2, {0}},          // room - 1 crossings
        {kElementLine, {-5, -5}, {15, 15}, {0, 0}, 0, 1, &sx, &sy, 10, {0, 10}},   // through two corners, once each
        {kElementLine, {10, -3}, {30, -3}, {0, 0}, 0, 1, &ax, &ay, 10, {16, 24}},  // one arc met twice
        // An arc element (counter-clockwise upper half about (5, 10), radius 2) across the top edge.
        {kElementArc, {7, 10}, {3, 10}, {5, 10}, 2, 1, &sx, &sy, 10, {7, 3}},
    };
    for (const row& r : rows) {
        double ox[10], oy[10];
        int count = -1;
        elem_lane_crossings(r.kind, r.s[0], r.s[1], r.e[0], r.e[1], r.c[0], r.c[1], r.r, r.dir, r.x->data(),
                            r.y->data(), static_cast<int>(r.x->size()), r.room, ox, oy, count);
        ASSERT_EQ(count, static_cast<int>(r.want_x.size())) << r.s[0] << "," << r.s[1];
        for (int k = 0; k < count; ++k) EXPECT_NEAR(ox[k], r.want_x[static_cast<std::size_t>(k)], 1e-9) << k;
    }
    double ox[2], oy[2];
    int count = -1;
    const double one = 0;
    elem_lane_crossings(kElementLine, -5, 5, 15, 5, 0, 0, 0, 1, &one, &one, 1, 2, ox, oy, count);
    EXPECT_EQ(count, 0);
}

TEST_F(LeadPoints, RefusedStraightLeadFallsBackAlongTheLane)
{
    const int lane = add_lane(kSquare);
    // Another lane crosses the lead at the lane start itself.
    add_lane({{4, -1}, {6, 1}}, 2);
    answer a = lead_in(lane, kSquare);
    EXPECT_EQ(a.status, kNoUsableLead);
    EXPECT_EQ(a.shortened, 0);  // the whole lead value fits behind the start
    EXPECT_NEAR(a.lead[0], 3.0, 1e-12);
    EXPECT_NEAR(a.lead[1], 0.0, 1e-12);
    // Longer than half the segment behind the start: half of it.
    pocket_state_block.lead_values[1] = 4.0;
    a = lead_in(lane, kSquare);
    EXPECT_EQ(a.status, kNoUsableLead);
    EXPECT_NEAR(a.lead[0], 2.5, 1e-12);
    // The lead-out falls back ahead of the lane end, along the first segment.
    int entry_mode = 0;
    a = lead_out(lane, kSquare, entry_mode);
    EXPECT_EQ(a.status, kNoUsableLead);
    EXPECT_NEAR(a.lead[0], 7.5, 1e-12);
    // A lane the table does not hold has no lead.
    a = lead_in(lane + 5, kSquare);
    EXPECT_EQ(a.status, kNoUsableLead);
    EXPECT_DOUBLE_EQ(a.lead[0], 5.0);
}

TEST_F(LeadPoints, IslandArcLeadNeedsAnOuterLane)
{
    pocket_state_block.lead_mode = 2;
    pocket_state_block.lead_values[0] = 1.0;
    const std::vector<xy> island = {{5, 4}, {6, 4}, {6, 6}, {4, 6}, {4, 4}, {5, 4}};
    const int lane = add_lane(island, kLevelIsland + 1);
    answer a = lead_in(lane, island);
    EXPECT_EQ(a.status, kNoUsableLead);
    EXPECT_EQ(a.shortened, 1);
    add_lane(kSquare, 1);
    a = lead_in(lane, island);
    EXPECT_EQ(a.status, kLeadStands);
    EXPECT_NEAR(a.centre[1], 5.0, 1e-12);
}

TEST_F(LeadPoints, OpenIslandTriesTheOtherSide)
{
    // An open island (contour type 3) lane along y 5; a wall just above it cuts the lead on the
    // direction sign's side short, so the side below wins.
    const std::vector<xy> open = {{2, 5}, {8, 5}};
    const int lane = add_lane(open, kLevelIsland + 1);
    add_lane({{0, 5.5}, {10, 5.5}}, 2);
    lane_table_block.contour_type[1] = 3;  // island 1's contour type
    answer a = lead_in(-lane, open, 2, 1);
    EXPECT_EQ(a.status, kLeadStands);
    EXPECT_NEAR(a.lead[1], 3.0, 1e-12);
    // Without the negative lane number only the first side is tried.
    a = lead_in(lane, open, 2, 1);
    EXPECT_EQ(a.shortened, 1);
    EXPECT_GT(a.lead[1], 5.0);
}

TEST_F(LeadPoints, BlockedArcLeadIsBisectedTowardsTheLaneEnd)
{
    pocket_state_block.lead_mode = 2;
    const int lane = add_lane(kSquare);
    // The tool is in the pocket at (1, 3); a wall at x 2.5 from y 2 to 5 blocks its move to the
    // lead point (3, 2) but not to points nearer the lane start (5, 0).
    point_mover().level_drawn = 1;
    tool_at(1, 3);
    add_lane({{2.5, 2}, {2.5, 5}}, 2);
    const answer a = lead_in(lane, kSquare);
    EXPECT_EQ(a.status, kLeadStands);
    EXPECT_EQ(a.shortened, 1);
    EXPECT_NEAR(std::hypot(a.lead[0] - 5.0, a.lead[1] - 2.0), 2.0, 1e-9);  // on the lead circle
    EXPECT_GT(a.lead[0], 3.0);
    EXPECT_LT(a.lead[0], 5.0);
    // The result is the free end of the bisection: the move from the tool to its overlap probe
    // passes the wall's line below the wall.
    const double m[2] = {a.lead[0] + 0.1 * (5.0 - a.lead[0]), a.lead[1] + 0.1 * (0.0 - a.lead[1])};
    const double y_at_wall = 3.0 + (m[1] - 3.0) * (2.5 - 1.0) / (m[0] - 1.0);
    EXPECT_LT(y_at_wall, 2.0);
    // With the wall reaching down to the lane, every move is blocked: refused.
    add_lane({{2.5, -1}, {2.5, 2}}, 3);
    const answer b = lead_in(lane, kSquare);
    EXPECT_EQ(b.status, kNoUsableLead);
    EXPECT_EQ(b.shortened, 1);
}
