// Cutting the excursions of a 3-D offset loop on a flat grid: the offset of the square 0..10 two
// inwards, its corner near (2, 2) replaced by a run that goes on across the source and comes back.
// A long run that lies across the source (a corner filled round the wrong side) is cut and the
// loop closed where its way in and way out cross, also where the run holds the loop's first
// point; a long run that crosses the source only shallowly and stays on its own side (the offset
// of a part narrower than the offset) is kept. A spike out to the source and back that stops a
// hair short of it (a walk that overshot onto its source) is cut as well, also on a steep slope
// where its ends stand near in XY but far apart in space, and so is a thin spike across the
// source out of a long run near it whose ends stand apart, with the points beside it on the
// source; for a contour's first offset, which keeps its distance in XY, nearness is judged in XY.
// The nearness of a fold's points counts the source's vertices too.
#include "surface_lane_support.hpp"

#include "clearing/surface_lanes/lane_excursion_cut.hpp"

#include <gtest/gtest.h>

namespace {

using plane_point = std::array<double, 2>;

// The polyline through the corners, sampled every half unit, on the plane rising by `rise` in y.
std::vector<p3> sampled(const std::vector<plane_point>& corners, double rise = 0.0)
{
    std::vector<p3> points;
    for (std::size_t k = 0; k + 1 < corners.size(); ++k) {
        const plane_point &a = corners[k], &b = corners[k + 1];
        const int steps = std::max(1, static_cast<int>(std::ceil(std::hypot(b[0] - a[0], b[1] - a[1]) / 0.5)));
        for (int s = 0; s < steps; ++s) {
            const double t = static_cast<double>(s) / steps;
            const double y = a[1] + t * (b[1] - a[1]);
            points.push_back({a[0] + t * (b[0] - a[0]), y, rise * y});
        }
    }
    points.push_back({corners.back()[0], corners.back()[1], rise * corners.back()[1]});
    return points;
}

// Lays the grid of the plane rising by `rise` in y under the square 0..10 and sets the pocket's
// tolerance; the least distance the loops keep from their source.
double flat_grid_least(double rise = 0.0)
{
    grid_test::load_grid(-5.0, -5.0, 1.0, 21, 21, grid_test::plane(0.0, rise, 0.0));
    pocket_work_block.tolerance = 0.01;
    return 1.99;
}

}  // namespace

TEST_F(SurfaceLaneTest, ExcursionsAcrossTheSourceAreCutAndShallowRunsKept)
{
    const double least = flat_grid_least();
    const struct {
        const char* what;
        std::vector<plane_point> corners;  // round from the bottom's middle, the excursion in place of a corner
        bool cut;
        bool corner;            // the loop turns where the run's way in crossed its way out
        double keep;            // the distance from the source every point keeps after the cut
        double rise = 0.0;      // the surface's rise in y
        bool in_plane = false;  // a contour's first offset, its distance kept in XY
    } rows[] = {
        {"down across the bottom by 1.75, back across the left side by 1.75 and in along y = 2.1",
         {{5, 2.1}, {8, 2.1}, {8, 8}, {2.25, 8}, {2.25, -1.75}, {-1.75, 2.1}, {5, 2.1}},
         true,
         true,
         least},
        {"a spike from the left side out to a hair short of the source and back",
         {{5, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 5.5}, {1e-3, 5.01}, {2, 4.5}, {2, 2}, {5, 2}},
         true,
         false,
         least},
        {"the same excursion, the loop starting on it",
         {{2.25, -0.75}, {-1.75, 2.1}, {5, 2.1}, {8, 2.1}, {8, 8}, {2.25, 8}, {2.25, -0.75}},
         true,
         true,
         least},
        {"along the left side at 1, a spike across it by 0.3 standing on it at its sides",
         {{5, 2},
          {8, 2},
          {8, 8},
          {2, 8},
          {1, 7},
          {1, 5.1},
          {0.005, 5.05},
          {-0.3, 5},
          {0.005, 4.95},
          {1, 4.9},
          {1, 3},
          {2, 2},
          {5, 2}},
         true,
         false,
         0.5},
        {"along the bottom at 1, across the right side by 0.3, back at 1.5",
         {{5, 2},
          {8, 2},
          {8, 8},
          {2, 8},
          {2, 2.5},
          {2.5, 2},
          {3, 2},
          {3, 1},
          {10.3, 1},
          {10.3, 1.5},
          {3.5, 1.5},
          {3.5, 2},
          {5, 2}},
         false,
         false,
         least},
        {"a spike out across the left side on a slope rising 3 in y: its ends 1 apart in XY, 3.2 in space",
         {{5, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 5.5}, {-0.5, 5}, {2, 4.5}, {2, 2}, {5, 2}},
         true,
         false,
         least,
         3.0},
        {"a contour's first offset on that slope: a spike down across the bottom, all of it within 2 in XY",
         {{5, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 2}, {3, 2}, {3.5, -0.5}, {4, 2}, {5, 2}},
         true,
         false,
         least,
         3.0,
         true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        flat_grid_least(r.rise);
        pocket_work_block.contour_offset_in_plane = r.in_plane ? 1 : 0;
        const std::vector<p3> source = sampled({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, r.rise);
        const std::vector<p3> before = sampled(r.corners, r.rise);
        pokarr source_array = make_3d(source), loop = make_3d(before);
        int cut = 0, status = 0;
        lane_excursion_cut(source_array, least, loop, cut, status);
        pocket_work_block.contour_offset_in_plane = 0;
        const std::vector<p3> after = points_of(loop);
        pokarr_free(source_array);
        pokarr_free(loop);
        ASSERT_EQ(status, 0);
        if (!r.cut) {
            EXPECT_EQ(cut, 0);
            EXPECT_EQ(after.size(), before.size());
            continue;
        }
        ASSERT_GT(cut, 0);
        // Nothing of the excursion is left: every point stands inside the source, as far from it
        // as the loop keeps, the loop is closed, and it turns at the corner where its way in
        // crossed its way out.
        double corner = 1e30;
        for (const p3& p : after) {
            EXPECT_TRUE(std::min({p[0], p[1], 10.0 - p[0], 10.0 - p[1]}) >= r.keep) << p[0] << ", " << p[1];
            corner = std::min(corner, std::hypot(p[0] - 2.25, p[1] - 2.1));
        }
        EXPECT_EQ(after.front(), after.back());
        if (r.corner) {
            EXPECT_LT(corner, 1e-9);
        }
    }
}

// The points of a fold judged near their source: the square 0..10 whose right side jogs in by a
// hundredth at its middle, as a side laid on a grid does. A point beyond the ends of both
// segments at the jog lies in reach of its vertex and is near; a point beyond every segment's
// inside and every vertex within the distance is not.
TEST_F(SurfaceLaneTest, PointsBesideAJogOfTheSourceAreNearIt)
{
    const double least = flat_grid_least();
    const struct {
        const char* what;
        p3 point;
        bool near;
    } rows[] = {
        {"square to the jog, a unit in", {9.0, 5.0, 0.0}, true},
        {"square to the jog, 1.9 in", {8.1, 5.0, 0.0}, true},
        {"beside a side's inside", {9.0, 3.25, 0.0}, true},
        {"square to the jog, 2.5 in", {7.5, 5.0, 0.0}, false},
        {"in the middle", {5.0, 5.0, 0.0}, false},
    };
    pokarr source = make_3d(sampled({{0, 0}, {10, 0}, {10, 4.5}, {9.99, 5}, {10, 5.5}, {10, 10}, {0, 10}, {0, 0}}));
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        pokarr loop = make_3d({r.point, r.point});
        int status = 0;
        const int near = lane_points_near_source(source, least, loop, {0}, status);
        pokarr_free(loop);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(near, r.near ? 1 : 0);
    }
    pokarr_free(source);
}
