// One offset of one loop: a loop too small to offset, an inward offset, a split into two
// branches, an offset below 0.013 taken without the piece tests, the arc-corner mode's offset
// distance, a hole of the first inward offset of the outer contour becoming an island, the
// leftover lanes of a pocket without islands, a loop on surfaces and where it starts on the grid,
// the collection mode, and a loop or distance holding a number that is not finite.
#include "lane_test_support.hpp"

#include "clearing/surface_lanes/lane_offset_3d.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/delups.hpp"
#include "pocket_arrays/lane_offset.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_lanes/common_loops.hpp"
#include "pocket_lanes/one_offset.hpp"
#include "surfaces/surface_grid.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

class OneOffset : public LaneTest {
protected:
    void SetUp() override
    {
        delups_block = delups_state{};
        LaneTest::SetUp();
        pocket_work_block.tolerance = 0.01;
        pocket_work_block.working_tolerance = 0.001;
        pocket_work_block.side_step = pocket_work_block.engine_step = 1.0;
        pocket_work_block.reach_squared[0] = pocket_work_block.reach_squared[1] = 1.0e6;
        lane_table_reset();
    }
    void TearDown() override
    {
        delups_clear();
        loop_buffer_clear(collected_loops_block);
        LaneTest::TearDown();
    }
};

std::vector<xy> rect(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

// A request for lane 1 of the outer contour's branch 1, offset inwards (to the left).
oneoff_request inward(double d, int* branches)
{
    oneoff_request r;
    r.side = kSideLeft;
    r.first_offset = 1.0;
    r.distance = d;
    r.source_lane = 1;
    r.pass = 1;
    r.level = 1;
    r.branch_count = branches;
    return r;
}

struct lane_seen {
    int level, status, parent, contour_type;
    double offset, signed_area;
};

std::vector<lane_seen> lanes_from(int first)
{
    std::vector<lane_seen> out;
    for (int n = first; n <= lane_table_block.count; ++n) {
        pokarr l;
        pokarr_init(2, l);
        int status = 0;
        lane_to_pokarr(n, l, status);
        double area = 0.0;
        int direction = 0;
        pokarr_area_dir(l, area, direction);
        const lane_table& lt = lane_table_block;
        out.push_back({lt.level[n], lt.status[n], lt.parent[n], lt.contour_type[n], lt.offset[n], area * direction});
        pokarr_free(l);
    }
    return out;
}

}  // namespace

TEST_F(OneOffset, OffsetsOfASquare)
{
    struct row {
        const char* name;
        int side;
        double d;
        int status;
        std::vector<double> areas;  // signed areas of the lanes recorded
    } rows[] = {
        {"inward", kSideLeft, 2.0, 0, {16.0 * 16.0}},
        // Outward pieces fail the test against their source, unless the offset is below 0.013.
        {"outward", kSideRight, 0.5, kOneoffNoOffset, {}},
        {"outward below 0.013", kSideRight, 0.01, 0, {20.02 * 20.02}},
    };
    for (const row& r : rows) {
        lane_table_reset();
        int branches = 1;
        pokarr loop = make_from(rect(0, 0, 20, 20));
        oneoff_request rq = inward(r.d, &branches);
        rq.side = r.side;
        int status = -7;
        oneoff_pokarr(rq, loop, status);
        EXPECT_EQ(status, r.status) << r.name;
        const std::vector<lane_seen> lanes = lanes_from(1);
        ASSERT_EQ(lanes.size(), r.areas.size()) << r.name;
        for (std::size_t i = 0; i < lanes.size(); ++i) {
            EXPECT_NEAR(lanes[i].signed_area, r.areas[i], 0.05) << r.name;
            EXPECT_EQ(lanes[i].offset, r.d) << r.name;
            EXPECT_EQ(lanes[i].level, 1) << r.name;
            EXPECT_EQ(lanes[i].status, 1) << r.name;
            EXPECT_EQ(lanes[i].contour_type, 0) << r.name;
        }
        pokarr_free(loop);
    }
}

TEST_F(OneOffset, TwoPointsLeftGiveNoOffset)
{
    int branches = 1;
    pokarr loop = make_from({{0, 0}, {10, 0}, {0, 0}});
    int status = -7;
    oneoff_pokarr(inward(1.0, &branches), loop, status);
    EXPECT_EQ(status, kOneoffNoOffset);
    EXPECT_EQ(lane_table_block.count, 0);
    pokarr_free(loop);
}

TEST_F(OneOffset, SplitOffsetOpensABranch)
{
    // Two rooms about 20 x 20 joined by a corridor 2 wide: an offset of 3 falls apart.
    pokarr loop = make_from({{0, 0},
                             {20, 0},
                             {20, 9},
                             {40, 9},
                             {40, 0},
                             {60, 0},
                             {60, 20},
                             {41, 20},
                             {41, 11},
                             {21, 11},
                             {21, 20},
                             {0, 20},
                             {0, 0}});
    int branches = 1, status = -7;
    oneoff_pokarr(inward(3.0, &branches), loop, status);
    EXPECT_EQ(status, 0);
    const std::vector<lane_seen> lanes = lanes_from(1);
    ASSERT_EQ(lanes.size(), 2u);
    EXPECT_EQ(lanes[0].level, 1);
    EXPECT_EQ(lanes[1].level, 2);
    EXPECT_EQ(branches, 2);
    // The rooms less 3 all round: 14 x 14, with the steps of their walls (+5 and -9).
    EXPECT_NEAR(lanes[0].signed_area + lanes[1].signed_area, 388.0, 1e-6);
    pokarr_free(loop);
}

TEST_F(OneOffset, ArcCornerLanesCarryTheDistance)
{
    pocket_work_block.corner_arcs = 1;
    pocket_work_block.reoffset_distance = 0.5;
    int branches = 1, status = -7;
    pokarr loop = make_from(rect(0, 0, 20, 20));
    oneoff_pokarr(inward(2.0, &branches), loop, status);
    EXPECT_EQ(status, 0);
    const std::vector<lane_seen> lanes = lanes_from(1);
    ASSERT_EQ(lanes.size(), 1u);
    EXPECT_EQ(lanes[0].offset, 2.0);
    // Offset by 2.5 and back by 0.5: the corners are rounded with radius 0.5.
    const double rounded = 16.0 * 16.0 - (4.0 - std::acos(-1.0)) * 0.25;
    EXPECT_NEAR(lanes[0].signed_area, rounded, 0.01);
    pokarr_free(loop);
}

TEST_F(OneOffset, HoleOfTheFirstInwardOffsetBecomesAnIsland)
{
    // A closed room with a narrow mouth: offset outwards (the inward mark turns the side) the
    // mouth closes and the room is left as a hole.
    pokarr loop = make_from({{0, 0},
                             {40, 0},
                             {40, 19},
                             {30, 19},
                             {30, 10},
                             {10, 10},
                             {10, 30},
                             {31, 30},
                             {31, 21},
                             {41, 21},
                             {41, 40},
                             {0, 40},
                             {0, 0}});
    int branches = 1, status = -7;
    oneoff_request rq = inward(2.0, &branches);
    rq.inward = 1;
    lane_table_block.count = 0;
    pocket_box_block.island_count = 2;
    const int islands = pocket_box_block.island_count;
    oneoff_pokarr(rq, loop, status);
    EXPECT_EQ(status, 0);
    const std::vector<lane_seen> lanes = lanes_from(1);
    int holes = 0;
    for (std::size_t i = 0; i < lanes.size(); ++i) {
        if (lanes[i].signed_area > 0.0) continue;
        ++holes;
        EXPECT_EQ(lanes[i].level, kLevelIsland + islands + 1);
        EXPECT_EQ(lanes[i].status, 0);
        EXPECT_EQ(lanes[i].parent, 0);
        // The room less 2 all round, its mouth closed.
        EXPECT_GT(lanes[i].signed_area, -16.5 * 16.5);
        EXPECT_LT(lanes[i].signed_area, -16.0 * 16.0);
    }
    EXPECT_EQ(holes, 1);
    EXPECT_EQ(pocket_box_block.island_count, islands + 1);
    pokarr_free(loop);
}

TEST_F(OneOffset, LeftoverLanesOfAPocketWithoutIslands)
{
    // A pass after the first with the retry switch: the corners that the tool running along the
    // offset at 1.9 does not reach from the first offset (1) become leftover lanes.
    int branches = 1, status = -7;
    pokarr loop = make_from(rect(0, 0, 20, 20));
    oneoff_request rq = inward(1.9, &branches);
    rq.pass = 2;
    rq.retry = 1;
    oneoff_pokarr(rq, loop, status);
    EXPECT_EQ(status, 0);
    const std::vector<lane_seen> lanes = lanes_from(1);
    ASSERT_EQ(lanes.size(), 5u);
    EXPECT_EQ(lanes[0].offset, 1.9);
    EXPECT_EQ(lanes[0].contour_type, 0);
    for (std::size_t i = 1; i < lanes.size(); ++i) {
        EXPECT_EQ(lanes[i].offset, 1.0);
        EXPECT_EQ(lanes[i].contour_type, 100);
        EXPECT_EQ(lanes[i].status, 2);
        EXPECT_GT(lanes[i].signed_area, 0.0);
        EXPECT_LT(lanes[i].signed_area, 1.0);
    }
    pokarr_free(loop);
}

// A loop on the surface goes to the surface offset: without a surface grid under it the offset
// fails with its message and its code passes up (no lane); over a flat grid it gets its lane.
// A raw offset that fails says why and its negative status comes up as it is, not as "no offset":
// a surface loop without a grid under it, a planar loop at a distance the raw offset refuses.
TEST_F(OneOffset, FailedRawOffsetsPassTheirStatusUp)
{
    const struct {
        const char* what;
        int dimension;
        bool grid;
        double distance;
        int want;
        const char* line;  // the last line on the error channel, or none
    } rows[] = {
        {"surface loop on a grid", 3, true, 2.0, 0, nullptr},
        {"surface loop without a grid", 3, false, 2.0, kOffset3dNotLaid,
         "[lane_offset_3d] THE OFFSET CANNOT BE LAID ON THE SURFACE"},
        {"planar loop at a negative distance", 2, false, -2.0, kOffsetRefused,
         "[lane_offset_2d3d] SIDE MUST BE 1 OR -1 AND DISTANCE A FINITE NUMBER NOT BELOW 0"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        pocket_state_block.pocket_dimension = r.dimension;
        surface_grid_block = surface_grid{};
        if (r.grid) {
            surface_grid_block.x0 = surface_grid_block.y0 = -5.0;
            surface_grid_block.h = 1.0;
            surface_grid_block.nx = surface_grid_block.ny = 31;
            surface_grid_block.heights.assign(31 * 31, 1.0f);
        }
        ++surface_grid_block.generation;
        lane_table_reset();
        pokarr loop;
        pokarr_init(r.dimension, loop);
        int status = 0;
        for (const xy& p : rect(0, 0, 20, 20)) {
            const double q[3] = {p.x, p.y, 1.0};
            pokarr_add_pnt(q, loop, status);
        }
        const std::size_t said = errors().size();
        int branches = 1;
        oneoff_pokarr(inward(r.distance, &branches), loop, status);
        EXPECT_EQ(status, r.want);
        EXPECT_EQ(lane_table_block.count, r.want == 0 ? 1 : 0);
        if (r.line != nullptr)
            EXPECT_EQ(errors().back(), r.line);
        else
            EXPECT_EQ(errors().size(), said);
        pokarr_free(loop);
    }
    surface_grid_block = surface_grid{};
}

TEST_F(OneOffset, CollectionModeFillsTheBuffer)
{
    int branches = 1, status = -7;
    pokarr loop = make_from(rect(0, 0, 20, 20));
    oneoff_request rq = inward(2.0, &branches);
    rq.collection = kOneoffCollect;
    oneoff_pokarr(rq, loop, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(lane_table_block.count, 0);
    EXPECT_EQ(collected_loops_block.loops, 1);
    EXPECT_GT(collected_loops_block.counts[1], 3);
    pokarr_free(loop);
}

namespace {

// The points of lane n, entry by entry.
std::vector<xy> lane_points(int n)
{
    pokarr l;
    pokarr_init(2, l);
    int status = 0;
    lane_to_pokarr(n, l, status);
    std::vector<xy> out;
    for (int k = 0; k < l.count; ++k) out.push_back({l.x[k], l.y[k]});
    pokarr_free(l);
    return out;
}

// Offsets the loop by 1 inwards as a later pass and answers the points of the lane it records.
std::vector<xy> offset_as_pass_two(const std::vector<xy>& entries)
{
    lane_table_reset();
    int branches = 1, status = -7;
    pokarr loop = make_from(entries);
    oneoff_request rq = inward(1.0, &branches);
    rq.pass = 2;
    oneoff_pokarr(rq, loop, status);
    pokarr_free(loop);
    EXPECT_EQ(status, 0);
    return lane_table_block.count == 1 ? lane_points(1) : std::vector<xy>{};
}

}  // namespace

TEST_F(OneOffset, CleanUpFoundUnderOtherWorkingValuesIsNotReused)
{
    // A trapezoid whose long bottom edge bends by 0.03 at its middle. With a side step of 1 the
    // redundant-point removal keeps the bend (both runs are longer than 50); a side step or extra
    // offset of 20 lets it go, and the offset then restarts in the middle of the whole bottom
    // edge instead of the top one. Offsetting the lane recorded under the first values again
    // under the second must give what an offset under the second values alone gives.
    const std::vector<xy> trapezoid = {{0, 0}, {150, -0.03}, {300, 0}, {250, 100}, {50, 100}, {0, 0}};
    struct row {
        const char* name;
        double side_step, extra_offset;
    } rows[] = {{"side step", 20.0, 0.0}, {"extra offset", 1.0, 20.0}};
    for (const row& r : rows) {
        pocket_work_block.side_step = 1.0;
        pocket_work_block.extra_offset = 0.0;
        const std::vector<xy> recorded = offset_as_pass_two(trapezoid);
        ASSERT_FALSE(recorded.empty()) << r.name;
        pocket_work_block.side_step = r.side_step;
        pocket_work_block.extra_offset = r.extra_offset;
        const std::vector<xy> after = offset_as_pass_two(recorded);
        // The same offset once the loops remembered are others.
        offset_as_pass_two(trapezoid);
        const std::vector<xy> alone = offset_as_pass_two(recorded);
        ASSERT_EQ(after.size(), alone.size()) << r.name;
        for (std::size_t k = 0; k < after.size(); ++k) {
            EXPECT_EQ(after[k].x, alone[k].x) << r.name << ", entry " << k;
            EXPECT_EQ(after[k].y, alone[k].y) << r.name << ", entry " << k;
        }
    }
}

TEST_F(OneOffset, NumbersThatAreNotFiniteAreRefusedBeforeAnyPass)
{
    // A square whose right side is an outward arc: entries 3 to 5 are the arc record (radius and
    // direction, centre, end).
    std::vector<xy> sound = {{0, 0}, {20, 0}};
    push_arc(sound, std::hypot(5.0, 10.0), 1.0, 15.0, 10.0, 20.0, 20.0);
    sound.push_back({0, 20});
    sound.push_back({0, 0});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct row {
        const char* name;
        int entry;  // -1: the distance
        bool on_y;
        double value;
    } rows[] = {
        {"first vertex", 0, false, nan},  {"first vertex", 0, true, -inf}, {"middle vertex", 6, true, nan},
        {"middle vertex", 1, false, inf}, {"last vertex", 7, false, nan},  {"last vertex", 7, true, inf},
        {"arc radius", 3, false, nan},    {"arc direction", 3, true, inf}, {"arc centre", 4, true, nan},
        {"arc end", 5, false, -inf},      {"distance", -1, false, nan},    {"distance", -1, false, inf},
    };
    for (const row& r : rows) {
        lane_table_reset();
        const std::size_t lines_before = errors().size();
        std::vector<xy> entries = sound;
        if (r.entry >= 0) (r.on_y ? entries[r.entry].y : entries[r.entry].x) = r.value;
        int branches = 1;
        pokarr loop = make_from(entries);
        int status = -7;
        oneoff_pokarr(inward(r.entry < 0 ? r.value : 2.0, &branches), loop, status);
        EXPECT_EQ(status, kOneoffRefused) << r.name;
        const std::vector<std::string> lines = errors();
        ASSERT_EQ(lines.size(), lines_before + 1) << r.name;
        EXPECT_EQ(lines.back(), "[oneoff_pokarr] LOOP OR DISTANCE HOLDS A NUMBER THAT IS NOT FINITE") << r.name;
        EXPECT_EQ(lane_table_block.count, 0) << r.name;
        EXPECT_EQ(entries_of(loop).size(), entries.size()) << r.name << ": the loop is left as given";
        pokarr_free(loop);
    }
    // The same loop with finite numbers is offset, without a word.
    lane_table_reset();
    const std::size_t lines_before = errors().size();
    int branches = 1;
    pokarr loop = make_from(sound);
    int status = -7;
    oneoff_pokarr(inward(2.0, &branches), loop, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(lane_table_block.count, 1);
    EXPECT_EQ(errors().size(), lines_before);
    pokarr_free(loop);
}

// A loop on the surface grid is offset from a start in the middle of its longest side: that
// point stands on the surface under it, not on the side's chord, which passes below a ridge
// across the side.
TEST_F(OneOffset, SurfaceLoopRestartsOnTheSurface)
{
    const struct {
        const char* what;
        double ridge;  // the ridge's height above the corners, along y at x = 10
    } rows[] = {{"flat", 0.0}, {"a ridge across the longest side", 3.0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        pocket_state_block.pocket_dimension = 3;
        surface_grid_block = surface_grid{};
        surface_grid_block.x0 = surface_grid_block.y0 = -5.0;
        surface_grid_block.h = 1.0;
        surface_grid_block.nx = surface_grid_block.ny = 31;
        for (int row = 0; row < 31; ++row)
            for (int col = 0; col < 31; ++col)
                surface_grid_block.heights.push_back(
                    static_cast<float>(1.0 + std::max(0.0, r.ridge - std::fabs(col - 5.0 - 10.0))));
        ++surface_grid_block.generation;
        lane_table_reset();
        pokarr loop;
        pokarr_init(3, loop);
        int status = 0;
        for (const xy& p : rect(0, 0, 20, 8)) {
            const double q[3] = {p.x, p.y, 1.0};
            pokarr_add_pnt(q, loop, status);
        }
        int branches = 1;
        oneoff_pokarr(inward(2.0, &branches), loop, status);
        EXPECT_EQ(status, 0);
        ASSERT_GT(loop.count, 2);
        EXPECT_NEAR(loop.x[0], 10.0, 1e-9);
        EXPECT_NEAR(loop.z[0], 1.0 + r.ridge, 1e-6);
        EXPECT_EQ(loop.z[loop.count - 1], loop.z[0]);
        pokarr_free(loop);
    }
    surface_grid_block = surface_grid{};
}
