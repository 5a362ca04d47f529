// Lanes laid onto the surface grid: over seeded planes and ridges every lane point stands once in
// the result, in order, and every piece of the result lies on the surface; one-point lanes,
// closing, densification; lanes off the grid or with a chord too steep to trace fail with the
// lane unchanged. The lane engine reaches the real routines through its seams.
#include "surface_grid_support.hpp"

#include "clearing/surface_lanes/grid_projection.hpp"
#include "pocket_lanes/moves/surface_grid_seams.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

using namespace grid_test;

namespace {

using point3 = std::array<double, 3>;

class LanOnGrid : public GridTest {
protected:
    void TearDown() override
    {
        pokarr_free(lane);
        GridTest::TearDown();
    }
    pokarr lane;

    void make_lane(const std::vector<point3>& points)
    {
        pokarr_free(lane);
        pokarr_init(3, lane);
        int status = 0;
        for (const point3& p : points) pokarr_add_pnt(p.data(), lane, status);
    }
    std::vector<point3> points() const
    {
        std::vector<point3> out;
        for (int i = 0; i < lane.count; ++i) out.push_back({lane.x[i], lane.y[i], lane.z[i]});
        return out;
    }
};

// The largest gap to the surface of the result's points and of the middles of its pieces: a
// piece that leaves its triangle has its middle off a folded surface.
double off_surface(const std::vector<point3>& result, const height_fn& z)
{
    double worst = 0;
    for (std::size_t i = 0; i < result.size(); ++i) {
        worst = std::max(worst, std::fabs(result[i][2] - z(result[i][0], result[i][1])));
        if (i == 0) continue;
        point3 m;
        for (int k = 0; k < 3; ++k) m[k] = 0.5 * (result[i][k] + result[i - 1][k]);
        worst = std::max(worst, std::fabs(m[2] - z(m[0], m[1])));
    }
    return worst;
}

// Whether the lane points stand in the result once each and in order.
bool lane_points_in_order(const std::vector<point3>& lane, const std::vector<point3>& result)
{
    std::size_t next = 0;
    for (const point3& r : result)
        if (next < lane.size() && r == lane[next])
            ++next;
        else if (std::find(lane.begin(), lane.end(), r) != lane.end())
            return false;
    return next == lane.size();
}

}  // namespace

TEST_F(LanOnGrid, SeededLanesLieOnTheSurfaceWithEveryPointOnceInOrder)
{
    EXPECT_EQ(surface_grid_seam_table().lan_on_grid, &lan_on_grid);
    const unsigned seed = 391;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 120; ++trial) {
        reset_grid();
        const double h = 0.5 * (1 + trial % 3);
        const height_fn z = trial % 2 == 0 ? ridge(15 * h, 6, 0.75)
                                           : plane((static_cast<int>(unit(random) * 9) - 4) / 4.0,
                                                   (static_cast<int>(unit(random) * 9) - 4) / 4.0, 2);
        load_grid(0, 0, h, 31, 31, z);
        std::vector<point3> input;
        for (int k = 0; k < 2 + trial % 7; ++k) {
            const double x = h * (1 + 28 * unit(random)), y = h * (1 + 28 * unit(random));
            input.push_back({x, y, z(x, y)});
        }
        make_lane(input);
        int status = 0;
        lan_on_grid(kProjectPlain, 0, lane, 0.0, status);
        ASSERT_EQ(status, 0) << "seed " << seed << " trial " << trial;
        const std::vector<point3> result = points();
        EXPECT_TRUE(lane_points_in_order(input, result)) << "seed " << seed << " trial " << trial;
        EXPECT_LT(off_surface(result, z), 1e-9) << "seed " << seed << " trial " << trial;
    }
    // A segment across 800 small cells: its strings hold far more than 500 points each.
    reset_grid();
    const height_fn z = ridge(50, 6, 0.75);
    load_grid(0, 0, 0.125, 801, 801, z);
    make_lane({{1, 2, z(1, 2)}, {99, 98, z(99, 98)}});
    int status = 0;
    lan_on_grid(kProjectPlain, 0, lane, 0.0, status);
    ASSERT_EQ(status, 0);
    EXPECT_GT(lane.count, 1500);
    EXPECT_LT(off_surface(points(), z), 1e-9);
}

TEST_F(LanOnGrid, OnePointClosingAndDensifying)
{
    const height_fn z = plane(0.5, 0, 1);
    const double lift = 0.01, foot = lift / 1.25;  // along the normal (-0.5, 0, 1) / sqrt(1.25)
    struct row {
        double cell;
        std::vector<point3> lane;
        int mode, close;
        double spacing;
        std::vector<point3> expected;
    };
    const std::vector<row> rows = {
        // Onto the nearest point of the surface, or left as it is.
        {1,
         {{5.3, 4.2, z(5.3, 4.2) + lift}},
         kProjectOntoSurface,
         0,
         0,
         {{5.3 + 0.5 * foot, 4.2, z(5.3, 4.2) + lift - foot}}},
        {1, {{5.3, 4.2, 100}}, kProjectPlain, 0, 0, {{5.3, 4.2, 100}}},
        // Along a row of cells on a plane: the crossings of cell edges and diagonals, closed.
        {1,
         {{2.5, 3.5, 2.25}, {4.5, 3.5, 3.25}},
         kProjectPlain,
         1,
         0,
         {{2.5, 3.5, 2.25}, {3, 3.5, 2.5}, {3.5, 3.5, 2.75}, {4, 3.5, 3}, {4.5, 3.5, 3.25}, {2.5, 3.5, 2.25}}},
        // Mode 3 with spacing 2.5 on a piece of length 10 within a cell: four points at its fifths.
        {20,
         {{15, 2, 8.5}, {15, 12, 8.5}},
         kProjectGridFrame,
         0,
         2.5,
         {{15, 2, 8.5}, {15, 4, 8.5}, {15, 6, 8.5}, {15, 8, 8.5}, {15, 10, 8.5}, {15, 12, 8.5}}},
    };
    for (const row& r : rows) {
        reset_grid();
        load_grid(0, 0, r.cell, 21, 21, z);
        make_lane(r.lane);
        int status = 0;
        lan_on_grid(r.mode, r.close, lane, r.spacing, status);
        ASSERT_EQ(status, 0);
        const std::vector<point3> result = points();
        ASSERT_EQ(result.size(), r.expected.size()) << r.lane.size() << " points, mode " << r.mode;
        for (std::size_t i = 0; i < result.size(); ++i)
            for (int k = 0; k < 3; ++k) EXPECT_NEAR(result[i][k], r.expected[i][k], 1e-12) << i << " " << k;
        if (r.close != 0) {
            EXPECT_EQ(result.back(), result.front());
        }
    }
    // With normals (dimension 4): the same string, each point with the normal it was reached on.
    reset_grid();
    load_grid(0, 0, 1, 21, 21, z);
    pokarr_free(lane);
    pokarr_init(4, lane);
    int status = 0;
    const double normal[3] = {0, 0.6, 0.8};
    for (const point3& p : std::vector<point3>{{2.5, 3.5, 2.25}, {4.5, 3.5, 3.25}})
        pokarr_add_pnt_nrm(p.data(), normal, lane, status);
    lan_on_grid(kProjectPlain, 0, lane, 0.0, status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(lane.count, 5);
    EXPECT_EQ(lane.n[1], 0.6);  // the lane's first point keeps its own
    for (int i = 1; i < 4; ++i) EXPECT_NEAR(lane.n[3 * i], -0.5 / std::sqrt(1.25), 1e-12) << i;
    EXPECT_EQ(lane.n[3 * 4 + 1], 0.6);
}

TEST_F(LanOnGrid, FailuresLeaveTheLaneUnchanged)
{
    struct row {
        bool grid;
        std::vector<point3> lane;
        int status;
        std::vector<std::string> errors;
    };
    const std::string unmapped = "[get_grid_index] UNABLE TO MAP POINT";
    const std::vector<row> rows = {
        {true, {{2, 2, 0}, {25, 2, 0}}, -1, {unmapped}},  // leaves the grid
        {false, {{2, 2, 0}, {3, 2, 0}}, -1, {unmapped}},  // no grid
        // Across a strip without surface: the failing segment's middle has none.
        {true, {{2.3, 5.6, 0}, {8.2, 5.5, 0}}, 1, {}},
        {true, {{2.3, 5.6, 0}, {8.2, 5.5, std::nan("")}}, -1, {"[lan_on_grid] LANE HOLDS A NUMBER THAT IS NOT FINITE"}},
        {true, {}, 77, {}},  // an empty lane: nothing to do, the status untouched
    };
    for (const row& r : rows) {
        reset_grid();
        if (r.grid) {
            load_grid(0, 0, 1, 11, 11, plane(0, 0, 0));
            for (int row = 0; row < 11; ++row) set_node(5, row, 1.0e8f);
        }
        make_lane(r.lane);
        const std::size_t before = errors().size();
        int status = 77;
        lan_on_grid(kProjectPlain, 0, lane, 0.0, status);
        EXPECT_EQ(status, r.status) << r.lane.size();
        const std::vector<point3> after = points();
        ASSERT_EQ(after.size(), r.lane.size());
        for (std::size_t i = 0; i < after.size(); ++i)
            for (int k = 0; k < 3; ++k) EXPECT_TRUE(after[i][k] == r.lane[i][k] || std::isnan(r.lane[i][k]));
        const std::vector<std::string> all = errors();
        EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(before), all.end()), r.errors);
    }
}

// A chord up a cliff runs within a degree of the normal of the flat cells at both its ends, where
// neither walker can follow it: the segment is still traced, its string climbing the face in
// order with every piece on the surface and both ends in place.
TEST_F(LanOnGrid, ChordUpACliffIsSplitAndTraced)
{
    const height_fn cliff = [](double x, double) { return std::clamp(1000.0 * (x - 5.0), 0.0, 1000.0); };
    load_grid(0, 0, 1, 11, 11, cliff);
    const std::vector<point3> ends = {{4.5, 5.3, 0}, {6.5, 5.3, 1000}};
    make_lane(ends);
    int status = 77;
    lan_on_grid(kProjectPlain, 0, lane, 0.0, status);
    ASSERT_EQ(status, 0);
    const std::vector<point3> result = points();
    EXPECT_GT(result.size(), 2u);
    EXPECT_EQ(result.front(), ends.front());
    EXPECT_EQ(result.back(), ends.back());
    EXPECT_LT(off_surface(result, cliff), 1e-6);
    for (std::size_t i = 1; i < result.size(); ++i) EXPECT_GE(result[i][0], result[i - 1][0] - 1e-9);
}

// A closed lane the tool runs loses the loops where it crosses itself within two cells, whatever
// tool the projection is set up with for the lanes laid with it: the lane engine's offsets on the
// grid come out the same under every tool. Each lane runs along y = 5.3, on past a fold whose tip
// comes back down across that side (off the grid's lines, where the crossing would be a
// point of both), and round a rectangle back to its start.
TEST_F(LanOnGrid, ClosedLaneLosesLoopsWithinTwoCellsWhateverTheTool)
{
    const height_fn z = plane(0.5, 0, 1);
    const auto folded = [&](const point3& turn, const point3& tip, const point3& back) {
        std::vector<point3> lane = {{5, 5.3, 0}, turn, tip, back, {12, 5.3, 0}, {12, 9, 0}, {5, 9, 0}, {5, 5.3, 0}};
        for (point3& p : lane) p[2] = z(p[0], p[1]);
        return lane;
    };
    // The loop round the tip runs about 3.4 cells in the first fold, 1.7 in the second.
    const std::vector<point3> wide = folded({9.2, 5.3, 0}, {8.8, 6.5, 0}, {8, 4.3, 0});
    const std::vector<point3> narrow = folded({8.6, 5.3, 0}, {8.4, 5.9, 0}, {8, 4.7, 0});
    const struct {
        const char* what;
        float tool_diameter;
        const std::vector<point3>& lane;
        bool tip_kept;
    } rows[] = {
        {"a loop of three cells stays without a tool", 0.0f, wide, true},
        {"a loop of three cells stays under a ball of diameter 2", 2.0f, wide, true},
        {"a loop within two cells goes", 2.0f, narrow, false},
    };
    for (const auto& r : rows) {
        reset_grid();
        load_grid(0, 0, 1, 21, 21, z);
        surface_grid_block.projection.cell_size = 1.0f;
        surface_grid_block.projection.tool_diameter = r.tool_diameter;
        make_lane(r.lane);
        int status = 77;
        lan_on_grid(kProjectPlain, kProjectClosedLane, lane, 0.0, status);
        ASSERT_EQ(status, 0) << r.what;
        const point3& tip = r.lane[2];
        const std::vector<point3> result = points();
        const bool kept = std::any_of(result.begin(), result.end(),
                                      [&](const point3& p) { return std::hypot(p[0] - tip[0], p[1] - tip[1]) < 1e-9; });
        EXPECT_EQ(kept, r.tip_kept) << r.what;
        EXPECT_EQ(result.front(), result.back()) << r.what;
    }
}

// The crossing of a chord with a cell edge between triangles of different slopes: in XY it stands
// where the chord passes the edge in plan; in space, where the distances of the chord's ends from
// the edge weigh (the steeper side's end farther). A chord end on the edge's line finds none.
TEST(GridEdgeCrossing, InXYOverThePlanCrossingInSpaceByTheEndsDistances)
{
    const point3 a = {0, 0, 0}, b = {0, 1, 0};
    const point3 steep = {-1, 0, 3}, gentle = {1, 1, 0.5};
    const double weighed = std::sqrt(10.0) / (std::sqrt(10.0) + std::sqrt(1.25));
    const struct {
        int dimension;
        point3 p, q;
        int found;
        point3 want;
    } rows[] = {
        {2, steep, gentle, 1, {0, 0.5, 0}},
        {3, steep, gentle, 1, {0, weighed, 0}},
        {2, {0, 0.2, 1}, gentle, 0, {}},
        {2, {-1, -3, 0}, {1, -1, 0}, 0, {}},  // the plan crossing lies beyond the edge's start
    };
    for (const auto& r : rows) {
        point3 crossing = {7, 7, 7};
        int found = 0;
        grid_edge_crossing(r.dimension, r.p.data(), r.q.data(), a.data(), b.data(), crossing.data(), found);
        EXPECT_EQ(found, r.found) << "dimension " << r.dimension;
        if (r.found == 0) continue;
        for (int m = 0; m < 3; ++m)
            EXPECT_NEAR(crossing[m], r.want[m], 1e-12) << "dimension " << r.dimension << " " << m;
    }
}
