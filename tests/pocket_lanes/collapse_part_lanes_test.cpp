// Lanes inside wide collapse parts: a collapse lane whose middle stands farther than half a step
// and the tolerance from its outline gets the lane at that distance inside it on a branch of its
// own; thin parts and lanes of other kinds get none, and the branch count stays.
#include "engine_test_support.hpp"

#include "pocket_arrays/delups.hpp"
#include "pocket_arrays/lane_offset.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_lanes/collapse_lanes.hpp"
#include "pocket_lanes/collapse_part_lanes.hpp"

#include <algorithm>
#include <cmath>

namespace {

using CollapsePartLanes = EngineTest;

// An equilateral triangle with its inscribed circle of radius r about (cx, cy), counter-clockwise.
contour triangle(double cx, double cy, double r)
{
    contour c;
    for (int k = 0; k <= 3; ++k) {
        const double a = -std::numbers::pi / 2.0 + 2.0 * std::numbers::pi * (k % 3) / 3.0 + std::numbers::pi / 3.0;
        c.push_back({cx + 2.0 * r * std::cos(a), cy + 2.0 * r * std::sin(a)});
    }
    return c;
}

// The offset by step 1 of lane 1 on pass 2, its branch count in `branches`.
oneoff_request branch_offset(int& branches)
{
    oneoff_request branch;
    branch.side = kSideLeft;
    branch.first_offset = 1.0;
    branch.distance = 1.0;
    branch.source_lane = 1;
    branch.pass = 2;
    branch.level = 1;
    branch.branch_count = &branches;
    return branch;
}

// The distance from a point to a polygon's nearest side.
double distance_to(const contour& polygon, double px, double py)
{
    double nearest = 1e30;
    for (std::size_t i = 0; i + 1 < polygon.size(); ++i) {
        const double ax = polygon[i].x, ay = polygon[i].y;
        const double dx = polygon[i + 1].x - ax, dy = polygon[i + 1].y - ay, length2 = dx * dx + dy * dy;
        const double t = length2 > 0.0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / length2, 0.0, 1.0) : 0.0;
        nearest = std::min(nearest, std::hypot(ax + t * dx - px, ay + t * dy - py));
    }
    return nearest;
}

TEST_F(CollapsePartLanes, OnlyWideCollapsePartsGetALaneAtHalfAStepInside)
{
    struct row {
        const char* name;
        contour part;
        int contour_type;
        bool lane;
    } rows[] = {
        // Half a step and the tolerance is 0.51: a triangle whose inscribed circle is wider by
        // more than the tolerance holds material there.
        {"wide triangle", triangle(20.0, 20.0, 0.8), kContourCollapse, true},
        {"triangle just too narrow", triangle(20.0, 20.0, 0.5), kContourCollapse, false},
        // Deeper than the reach by less than the tolerance: its lane would be a pass of no width.
        {"triangle barely deeper", triangle(20.0, 20.0, 0.515), kContourCollapse, false},
        // Inscribed radius 0.577, its centre off every point a probe a reach off a side would
        // reach.
        {"scalene triangle a little wider",
         {{20.0, 20.0}, {22.6, 20.0}, {20.5, 21.5}, {20.0, 20.0}},
         kContourCollapse,
         true},
        {"long thin horn", {{10.0, 20.0}, {30.0, 20.0}, {10.0, 20.9}, {10.0, 20.0}}, kContourCollapse, false},
        {"wide triangle of a plain lane", triangle(20.0, 20.0, 0.8), 0, false},
    };
    for (const row& r : rows) {
        to_load_state();
        pocket_work_block.side_step = pocket_work_block.engine_step = 1.0;
        pocket_work_block.tolerance = pocket_work_block.working_tolerance = 0.01;
        pocket_work_block.reach_squared[0] = pocket_work_block.reach_squared[1] = 1.0;
        int status = 0, size = 4000;
        PokAllocMainArray(size, 0, status);
        ASSERT_EQ(status, 0);
        pokarr source = make_from(rectangle(0.0, 0.0, 40.0, 40.0)), part = make_from(r.part);
        lane_add(1, 1, 0, 0, 0, 1.0, 0, source, status);
        lane_add(2, 1, 1, 1, 0, 1.0, r.contour_type, part, status);
        pokarr_free(source);
        pokarr_free(part);
        ASSERT_EQ(status, 0) << r.name;
        int branches = 1;
        const oneoff_request branch = branch_offset(branches);
        EXPECT_EQ(collapse_part_lanes(branch, 2, 2), 0) << r.name;
        const lane_table& lt = lane_table_block;
        EXPECT_EQ(lt.count, r.lane ? 3 : 2) << r.name;
        EXPECT_EQ(branches, r.lane ? 2 : 1) << r.name;
        if (!r.lane || lt.count < 3) continue;
        EXPECT_EQ(lt.level[3], 2) << r.name;
        EXPECT_EQ(lt.status[3], 2) << r.name;
        EXPECT_EQ(lt.contour_type[3], kContourCollapse) << r.name;
        // Every corner of the inner lane stands 0.51 inside the part.
        pokarr inner;
        pokarr_init(2, inner);
        lane_to_pokarr(3, inner, status);
        for (int i = 0; i + 1 < inner.count; ++i)
            EXPECT_NEAR(distance_to(r.part, inner.x[i], inner.y[i]), 0.51, 1e-6) << r.name;
        pokarr_free(inner);
        delups_clear();
    }
}

// The search for a point deeper than a depth: in a part by its outline's distance, and in a part
// beside a wall by the least of the wall's distance and the part's depth lifted by the depth (so
// that only a point inside the part and farther than the depth from the wall passes). The point
// answered passes; none is answered where none passes.
TEST_F(CollapsePartLanes, DeepPointSearchFindsAPointDeeperThanTheDepthOrNone)
{
    // A wall along x = -0.3.
    const auto wall = [](double x, double) { return std::fabs(x + 0.3); };
    struct row {
        const char* name;
        contour part;
        double depth;
        bool beside_wall;
        bool found;
    } rows[] = {
        {"square of inscribed radius 1", rectangle(0.0, 0.0, 2.0, 2.0), 0.98, false, true},
        {"square, deeper than its middle", rectangle(0.0, 0.0, 2.0, 2.0), 1.01, false, false},
        {"circle of radius 1", circle(5.0, 5.0, 1.0), 0.98, false, true},
        {"circle, deeper than its centre", circle(5.0, 5.0, 1.0), 1.01, false, false},
        {"triangle of inscribed radius 0.8", triangle(20.0, 20.0, 0.8), 0.79, false, true},
        {"triangle, deeper than its centre", triangle(20.0, 20.0, 0.8), 0.81, false, false},
        // The square's points farther than 1 from the wall: x above 0.7.
        {"square beside a wall", rectangle(0.0, 0.0, 2.0, 2.0), 1.0, true, true},
        // Farther than 2.5 from the wall lies beyond the square, however deep its middle.
        {"square too near a wall", rectangle(0.0, 0.0, 2.0, 2.0), 2.5, true, false},
    };
    for (const row& r : rows) {
        pokarr part = make_from(r.part);
        const outline_distance outline(part);
        double box[4];
        ASSERT_TRUE(outline.box(box)) << r.name;
        const point_measure measure = [&](double x, double y) {
            return r.beside_wall ? std::min(wall(x, y), outline(x, y) + r.depth) : outline(x, y);
        };
        double x = 0.0, y = 0.0;
        EXPECT_EQ(collapse_deep_point(box, r.depth, 1e-3, measure, x, y), r.found) << r.name;
        if (r.found) {
            EXPECT_GT(measure(x, y), r.depth) << r.name << " at " << x << ", " << y;
        }
        pokarr_free(part);
    }
}

// The nearest distance from a point to the lanes from lane `first` on.
double nearest_lane(int first, double px, double py)
{
    double nearest = 1e30;
    pokarr lane;
    pokarr_init(2, lane);
    for (int n = first; n <= lane_table_block.count; ++n) {
        int status = 0;
        lane_to_pokarr(n, lane, status);
        contour corners;
        for (int i = 0; status == 0 && i < lane.count; ++i) corners.push_back({lane.x[i], lane.y[i]});
        nearest = std::min(nearest, distance_to(corners, px, py));
    }
    pokarr_free(lane);
    return nearest;
}

// A triangle a little wider than two steps: its offset by the step leaves a spot too small for a
// lane, and the half-step lane (0.504 inside) leaves the points about the spot farther than half a
// step and the tolerance (0.504). With the step offset's pieces the spot is cut too, and every
// point of the triangle lies within that reach of its outline or of a lane; a spot noted outside
// it is no lane, nor a spot no wider than four tolerances, whose points the half-step lane reaches.
TEST_F(CollapsePartLanes, HalfStepLaneKeepsTheStepOffsetsSpots)
{
    constexpr double kTolerance = 0.004, kReach = 0.5 + kTolerance;
    // Inscribed radius 1.012 at step 1: the step offset's spot has inscribed radius 0.012 (area
    // 0.00075, below the least area of a lane).
    struct row {
        const char* name;
        double radius;  // the triangle's inscribed radius
        bool pieces_given;
        contour spot;
        int lanes;     // recorded by the half-step lane
        bool covered;  // every point within reach of a side or a lane
    } rows[] = {
        {"spots given", 1.012, true, triangle(20.0, 20.0, 0.012), 2, true},
        {"spots not given", 1.012, false, triangle(20.0, 20.0, 0.012), 1, false},
        {"a spot outside the loop", 1.012, true, triangle(30.0, 20.0, 0.012), 1, false},
        {"a spot too narrow to matter", 1.003, true, triangle(20.0, 20.0, 0.003), 1, true},
    };
    for (const row& r : rows) {
        to_load_state();
        pocket_work_block.side_step = pocket_work_block.engine_step = 1.0;
        pocket_work_block.tolerance = pocket_work_block.working_tolerance = kTolerance;
        pocket_work_block.reach_squared[0] = pocket_work_block.reach_squared[1] = 1.0;
        int status = 0, size = 4000;
        PokAllocMainArray(size, 0, status);
        ASSERT_EQ(status, 0);
        pokarr loop = make_from(triangle(20.0, 20.0, r.radius));
        lane_add(1, 1, 0, 0, 0, 1.0, 0, loop, status);
        ASSERT_EQ(status, 0) << r.name;
        collapse_pieces step_pieces;
        pokarr spot = make_from(r.spot);
        step_pieces.x.assign(spot.x, spot.x + spot.count);
        step_pieces.y.assign(spot.y, spot.y + spot.count);
        step_pieces.counts = {spot.count};
        step_pieces.distance = 1.0;
        pokarr_free(spot);
        int branches = 1;
        const oneoff_request branch = branch_offset(branches);
        EXPECT_EQ(collapse_half_step(branch, loop, r.pieces_given ? &step_pieces : nullptr), 0) << r.name;
        pokarr_free(loop);
        EXPECT_EQ(lane_table_block.count - 1, r.lanes) << r.name;
        // Points along the triangle's bisector through its centre, within reach of its bottom side
        // or its slanted sides, or of a lane.
        const double low = 20.0 - r.radius, top = 20.0 + 2.0 * r.radius;
        bool covered = true;
        for (double py = low; py <= top; py += 0.001) {
            const double from_sides = std::min(py - low, 0.5 * (top - py));
            covered = covered && std::min(from_sides, nearest_lane(2, 20.0, py)) <= kReach;
        }
        EXPECT_EQ(covered, r.covered) << r.name;
        delups_clear();
        collapse_pieces_clear();
    }
}

}  // namespace

namespace {

// The pieces the half-step offset of a 10 x 10 square cut out as too small for a lane: those
// running its way that are no crumbs and stand inside it at the offset's distance become lanes, the first on the
// offset's level unless a lane of the offset stands there, the next on new branches.
TEST_F(CollapsePartLanes, SpotsTooSmallForALaneAreKeptUnlessCrumbsOrRunningTheOtherWay)
{
    const contour spot = {{5.0, 5.0}, {5.04, 5.0}, {5.0, 5.04}, {5.0, 5.0}};   // mean half width 0.0059
    const contour crumb = {{6.0, 5.0}, {6.2, 5.0}, {6.0, 5.001}, {6.0, 5.0}};  // 0.00025
    struct row {
        const char* name;
        std::vector<contour> pieces;
        bool lane_on_level;  // the offset made a lane on its level
        int result;
        std::vector<int> levels;  // of the lanes recorded here
    } rows[] = {
        {"a spot", {spot}, false, 0, {1}},
        {"a crumb", {crumb}, false, kOneoffNoOffset, {}},
        {"a spot running the other way", {reversed(spot)}, false, kOneoffNoOffset, {}},
        {"two spots", {spot, translated(spot, 1.0, 0.0)}, false, 0, {1, 2}},
        {"a spot beside a lane", {spot}, true, 0, {2}},
        // Pieces cut out elsewhere: outside the source, or nearer it than the offset's distance.
        {"a piece outside the source", {translated(spot, 7.0, 0.0)}, false, kOneoffNoOffset, {}},
        {"a piece near the source", {translated(spot, -4.8, 0.0)}, false, kOneoffNoOffset, {}},
    };
    for (const row& r : rows) {
        to_load_state();
        pocket_work_block.tolerance = 0.01;
        int status = 0, size = 4000;
        PokAllocMainArray(size, 0, status);
        ASSERT_EQ(status, 0);
        collapse_pieces_clear();
        for (const contour& c : r.pieces) {
            pokarr piece = make_from(c);
            collapse_piece_note(piece, 0.51);
            pokarr_free(piece);
        }
        pokarr lane = make_from(rectangle(0.0, 0.0, 10.0, 10.0));
        lane_add(1, 1, 0, 0, 0, 1.0, 0, lane, status);
        if (r.lane_on_level) lane_add(2, 1, 1, 1, 0, 0.51, kContourCollapse, lane, status);
        pokarr_free(lane);
        ASSERT_EQ(status, 0) << r.name;
        const int first_new = 2, before = lane_table_block.count;
        int branches = 1;
        oneoff_request half;
        half.distance = 0.51;
        half.source_lane = 1;
        half.pass = 2;
        half.level = 1;
        half.branch_count = &branches;
        pokarr source = make_from(rectangle(0.0, 0.0, 10.0, 10.0));
        const int answer = collapse_half_step_spots(half, collapse_pieces_block, source, first_new,
                                                    r.lane_on_level ? 0 : kOneoffNoOffset);
        pokarr_free(source);
        EXPECT_EQ(answer, r.lane_on_level ? 0 : r.result) << r.name;
        std::vector<int> levels;
        for (int n = before + 1; n <= lane_table_block.count; ++n) {
            levels.push_back(lane_table_block.level[n]);
            EXPECT_EQ(lane_table_block.contour_type[n], kContourCollapse) << r.name;
            EXPECT_EQ(lane_table_block.status[n], 2) << r.name;
            EXPECT_EQ(lane_table_block.parent[n], 1) << r.name;
        }
        EXPECT_EQ(levels, r.levels) << r.name;
        collapse_pieces_clear();
    }
}

}  // namespace
