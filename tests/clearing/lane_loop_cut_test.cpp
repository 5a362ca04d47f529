// The small loops of a lane laid across a fold: a loop whose ends cross within the reach is cut
// out with its normals, also across the seam of a closed string; a longer one and a plain seam
// are left alone. The swallowtails of a 3-D offset go within their bounds.
#include "surface_grid_support.hpp"

#include "clearing/surface_lanes/lane_loop_cut.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

TEST(LaneLoopCut, CutsSmallLoopsOnlyAndKeepsNormalsBeside)
{
    // Along x to 3, back to (2, 1), then down across the segment from 2 to 3 and on.
    const std::vector<lane_pnt> folded = {{0, 0, 0}, {1, 0, 0},     {2, 0, 0}, {3, 0, 0},
                                          {2, 1, 0}, {2.5f, -1, 0}, {5, 0, 0}};
    // A closed square whose last point repeats the first.
    const std::vector<lane_pnt> square = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 0, 0}};
    const struct {
        const char* what;
        std::vector<lane_pnt> string;
        float reach;
        std::vector<lane_pnt> want;
    } rows[] = {
        {"a fold-back within the reach is cut",
         folded,
         10.0f,
         {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2.5f, -1, 0}, {5, 0, 0}}},
        {"a loop longer than the reach stays", folded, 1.0f, folded},
        {"the seam of a closed string stays", square, 100.0f, square},
        // A thin closed lane whose end folds back over its start: the move into the last point
        // crosses the first move.
        {"a loop across the seam of a closed string is cut",
         {{0, 0, 0}, {2, 0, 0}, {4, 0, 0}, {4, 1, 0}, {1, 1, 0}, {1, -1, 0}, {0, 0, 0}},
         10.0f,
         {{2, 0, 0}, {4, 0, 0}, {4, 1, 0}, {1, 1, 0}, {2, 0, 0}}},
    };
    for (const auto& r : rows) {
        std::vector<lane_pnt> points = r.string, normals;
        for (const lane_pnt& p : r.string) normals.push_back({p[0], 0, 1});  // each point's x, to follow it
        int count = static_cast<int>(points.size());
        lane_loops_cut(points.data(), normals.data(), count, r.reach);
        points.resize(static_cast<std::size_t>(count));
        EXPECT_EQ(points, r.want) << r.what;
        for (int i = 0; i < count; ++i) EXPECT_EQ(normals[i][0], points[i][0]) << r.what << " normal " << i;
    }
}

// A lane laid on the grid: the same search over a pocket array, its normals following its points,
// across the seam of a closed lane too; a lane with an arc record is left alone.
using LaneLoopCutGrid = grid_test::GridTest;

TEST_F(LaneLoopCutGrid, CutsSmallLoopsOfALaneWithItsNormals)
{
    using xy = std::vector<std::array<double, 2>>;
    const xy folded = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {2, 1}, {2.5, -1}, {5, 0}};
    const xy seam = {{0, 0}, {2, 0}, {4, 0}, {4, 1}, {1, 1}, {1, -1}, {0, 0}};
    const struct {
        const char* what;
        xy lane;
        int dimension;
        double reach;
        xy want;
    } rows[] = {
        {"a step back within the reach is cut", folded, 4, 10.0, {{0, 0}, {1, 0}, {2, 0}, {2.5, -1}, {5, 0}}},
        {"a loop longer than the reach stays", folded, 3, 1.0, folded},
        {"a loop across the seam is cut", seam, 4, 10.0, {{2, 0}, {4, 0}, {4, 1}, {1, 1}, {2, 0}}},
        {"a planar lane is left alone", folded, 2, 10.0, folded},
    };
    for (const auto& r : rows) {
        pokarr lane;
        pokarr_init(r.dimension, lane);
        int status = 0;
        for (const auto& p : r.lane) {
            const double point[3] = {p[0], p[1], 2.0 * p[0]}, normal[3] = {p[0], 0.0, 1.0};
            pokarr_add_pnt_nrm(point, normal, lane, status);
        }
        ASSERT_EQ(status, 0) << r.what;
        lane_loops_cut(lane, r.reach);
        xy got;
        for (int i = 0; i < lane.count; ++i) {
            got.push_back({lane.x[i], lane.y[i]});
            if (r.dimension >= 3) {
                EXPECT_EQ(lane.z[i], 2.0 * lane.x[i]) << r.what << " z " << i;
            }
            if (r.dimension == 4) {
                EXPECT_EQ(pokarr_normal(lane, i)[0], lane.x[i]) << r.what << " normal " << i;
            }
        }
        EXPECT_EQ(got, r.want) << r.what;
        pokarr_free(lane);
    }
}

// A closed lane laid on the part surface loses the smaller way round at a crossing of any length,
// whichever way that turns; an open string is left alone.
TEST(LaneLoopCut, CutsTheSmallerWayRoundAtACrossingOfAClosedLane)
{
    // Counter-clockwise round a square, curling through a unit square below its first side.
    const std::vector<lane_pnt> curled = {{0, 0, 0},  {6, 0, 0},   {6, -1, 0}, {4, -1, 0}, {4, 1, 0},
                                          {10, 1, 0}, {10, 10, 0}, {0, 10, 0}, {0, 0, 0}};
    const std::vector<lane_pnt> open(curled.begin(), curled.end() - 1);
    const struct {
        const char* what;
        std::vector<lane_pnt> string, want;
    } rows[] = {
        {"the curl goes", curled, {{0, 0, 0}, {4, 1, 0}, {10, 1, 0}, {10, 10, 0}, {0, 10, 0}, {0, 0, 0}}},
        {"an open string stays", open, open},
    };
    for (const auto& r : rows) {
        std::vector<lane_pnt> points = r.string;
        int count = static_cast<int>(points.size());
        lane_crossings_cut(points.data(), nullptr, count);
        points.resize(static_cast<std::size_t>(count));
        EXPECT_EQ(points, r.want) << r.what;
    }
}

// A 3-D offset loses its swallowtails within the bounds, the crossing put in their place at its
// height along the lane, across the seam too; a curl of the loop's own sense, a reversed way
// larger than the bounds and an open lane stay.
TEST_F(LaneLoopCutGrid, CutsReversedWaysWithinTheBoundsAtTheirCrossing)
{
    using xy = std::vector<std::array<double, 2>>;
    // Counter-clockwise round a square, a clockwise swallowtail through a unit square below its
    // first side; the same loop started inside the swallowtail; a counter-clockwise curl above it.
    const xy tail = {{0, 0}, {6, 0}, {6, -1}, {4, -1}, {4, 1}, {10, 1}, {10, 10}, {0, 10}, {0, 0}};
    const xy seam = {{6, -1}, {4, -1}, {4, 1}, {10, 1}, {10, 10}, {0, 10}, {0, 0}, {6, 0}, {6, -1}};
    const xy curl = {{0, 0}, {6, 0}, {6, 1}, {4, 1}, {4, -1}, {10, -1}, {10, 10}, {0, 10}, {0, 0}};
    const xy cut = {{0, 0}, {4, 0}, {4, 1}, {10, 1}, {10, 10}, {0, 10}, {0, 0}};
    // The swallowtail with a point a few thousandths short of its crossing, which the way's test
    // judges elsewhere.
    const xy beside = {{0, 0}, {6, 0}, {6, -1}, {4, -1}, {4, -0.005}, {4, 1}, {10, 1}, {10, 10}, {0, 10}, {0, 0}};
    const auto all_but_beside = [](const std::vector<int>& points) {
        return std::find(points.begin(), points.end(), 4) == points.end();
    };
    const fold_bounds wide{10.0, 100.0, {}};
    const struct {
        const char* what;
        xy lane;
        fold_bounds bounds;
        xy want;
    } rows[] = {
        {"the swallowtail goes", tail, wide, cut},
        {"over the seam the loop starts at the crossing",
         seam,
         wide,
         {{4, 0}, {4, 1}, {10, 1}, {10, 10}, {0, 10}, {0, 0}, {4, 0}}},
        {"a curl of the loop's sense stays", curl, wide, curl},
        {"a swallowtail larger than the area bound stays", tail, {0.5, 100.0, {}}, tail},
        {"a swallowtail longer than the length bound stays", tail, {10.0, 5.0, {}}, tail},
        {"a swallowtail whose points lie elsewhere stays",
         tail,
         {10.0, 100.0,
          [](const std::vector<int>& points) {
              return points != std::vector<int>{1, 2, 3};
          }},
         tail},
        {"a point beside the crossing stands at it", beside, {10.0, 100.0, all_but_beside, 0.01}, cut},
        {"a point beyond that reach keeps the swallowtail", beside, {10.0, 100.0, all_but_beside, 0.001}, beside},
        {"an open lane stays", xy(tail.begin(), tail.end() - 1), wide, xy(tail.begin(), tail.end() - 1)},
    };
    for (const auto& r : rows) {
        pokarr lane;
        pokarr_init(3, lane);
        int status = 0;
        for (const auto& p : r.lane) {
            const double point[3] = {p[0], p[1], 2.0 * p[0]};
            pokarr_add_pnt(point, lane, status);
        }
        ASSERT_EQ(status, 0) << r.what;
        int cut = -1;
        lane_folds_cut(lane, r.bounds, cut);
        xy got;
        for (int i = 0; i < lane.count; ++i) {
            got.push_back({lane.x[i], lane.y[i]});
            EXPECT_DOUBLE_EQ(lane.z[i], 2.0 * lane.x[i]) << r.what << " z " << i;
        }
        EXPECT_EQ(got, r.want) << r.what;
        EXPECT_EQ(cut, r.want == r.lane ? 0 : 1) << r.what;
        pokarr_free(lane);
    }
}
