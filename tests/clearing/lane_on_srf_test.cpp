// The projection of a lane onto the part surfaces (lane_on_srf, draw_lane_3d, the grid's
// direction) against a scripted probe that meets a known height field, and with the real probe
// for every kind of cutter against the exact drop.
#include "lane_on_srf_support.hpp"

#include "cutter/cutter_test_support.hpp"
#include "cutter/exact_drop_reference.hpp"

#include "clearing/surface_lanes/lane_on_srf.hpp"
#include "clearing/surface_lanes/lane_walls.hpp"
#include "cutter/prj_manager_least.hpp"
#include "host/control.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "surfaces/tri_model_sources_least.hpp"

#include <cmath>
#include <random>
#include <set>

namespace {

// n points along x from (1, 2, z), spacing apart.
void lane_along_x(pokarr& lane, int n, float spacing, float z)
{
    int status = 0;
    for (int i = 0; i < n; ++i) {
        const double p[3] = {1.0 + spacing * i, 2.0, z}, up[3] = {0.0, 0.0, 1.0};
        pokarr_add_pnt_nrm(p, up, lane, status);
    }
}

// The input points whose own projection the probe saw (its first push starts 0.25 s f = 1 above
// the point along (0, 0, 1)).
std::set<int> projected_inputs(const pokarr& lane)
{
    std::set<int> seen;
    for (const field_probe::call& c : probe.calls)
        for (int i = 0; i < lane.count; ++i)
            if (c.from[0] == static_cast<float>(lane.x[i]) && c.from[2] == static_cast<float>(lane.z[i]) + 1.0f)
                seen.insert(i);
    return seen;
}

}  // namespace

TEST_F(LaneOnSrfTest, LaneOverAPlaneLandsOnItWithItsXY)
{
    pocket_frame_block.origin_copy[0] = 10.0;
    pocket_frame_block.origin_copy[1] = -4.0;
    pocket_frame_block.origin_copy[2] = 1.0;
    struct row {
        int dimension, origin;
        float lane_z, expected_z;
    } rows[] = {{3, 0, 5.5f, 5.0f}, {4, 0, 5.5f, 5.0f}, {3, 1, 4.5f, 4.0f}, {4, 1, 4.5f, 4.0f}};
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << "dimension " << r.dimension << " origin " << r.origin);
        pokarr_work lane(r.dimension), out(3), raw(4);
        lane_along_x(lane.a, 6, 5.0f, r.lane_z);
        int status = 0;
        lane_on_srf(r.origin, 0, 0, 0, lane.a, out.a, raw.a, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(out.a.dimension, 4);
        ASSERT_EQ(out.a.count, lane.a.count) << "a halving point was kept over a plane";
        EXPECT_EQ(raw.a.count, 0);
        for (int i = 0; i < out.a.count; ++i) {
            EXPECT_NEAR(out.a.x[i], lane.a.x[i], 1e-5);
            EXPECT_NEAR(out.a.y[i], lane.a.y[i], 1e-5);
            EXPECT_NEAR(out.a.z[i], r.expected_z, 1e-5);
            EXPECT_EQ(out.a.n[3 * i + 2], 1.0);
        }
    }
}

TEST_F(LaneOnSrfTest, EveryOtherPointFirstAndTheRestOnlyWhereTheSurfaceBends)
{
    struct row {
        int n;
        float bump;  // height of the field's step at x = 2.2 (0: flat)
        std::set<int> projected;
        int out;
    } rows[] = {
        {4, 0.0f, {0, 1, 2, 3}, 4}, {5, 0.0f, {0, 2, 4}, 3}, {6, 0.0f, {0, 2, 4, 5}, 4}, {5, 1.0f, {0, 1, 2, 3, 4}, 5}};
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.n << " points, bump " << r.bump);
        probe = field_probe{};
        probe.height = [bump = r.bump](float x, float) { return x > 2.2f ? 5.0f + bump : 5.0f; };
        pokarr_work lane(3), out(4);
        lane_along_x(lane.a, r.n, 0.5f, 8.0f);
        int status = 0;
        lane_on_srf(0, 0, 1, 0, lane.a, out.a, out.a, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(projected_inputs(lane.a), r.projected);
        if (r.bump == 0.0f)
            EXPECT_EQ(out.a.count, r.out);
        else
            EXPECT_GT(out.a.count, r.out) << "the step was not filled by halving";
    }
}

TEST_F(LaneOnSrfTest, DrawLaneTriesFactorFourThenFortyAndTurnsOnceTowardsASteepNormal)
{
    const lane_pnt tilted = {0.8f, 0.0f, 0.6f};
    struct row {
        float plane;
        lane_pnt normal;
        int status;
        std::size_t calls;
        bool turned;
    } rows[] = {{5.5f, {0.0f, 0.0f, 1.0f}, 0, 1, false},
                {-20.0f, {0.0f, 0.0f, 1.0f}, 0, 2, false},
                {-100.0f, {0.0f, 0.0f, 1.0f}, -1, 2, false},
                // The first push starts in the part (below 8): only the second finds the surface.
                {8.0f, {0.0f, 0.0f, 1.0f}, 0, 2, false},
                {30.0f, {0.0f, 0.0f, 1.0f}, -1, 2, false},
                {5.5f, tilted, 0, 2, true}};
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << "plane " << r.plane);
        probe = field_probe{};
        probe.height = [z = r.plane](float, float) { return z; };
        probe.normal = r.normal;
        const float point[3] = {0.0f, 0.0f, 6.0f};
        float result[3] = {}, direction[3] = {0.0f, 0.0f, 1.0f};
        int status = 0;
        draw_lane_3d(1, point, result, direction, status);
        EXPECT_EQ(status, r.status);
        ASSERT_EQ(probe.calls.size(), r.calls);
        for (std::size_t k = 0; k < probe.calls.size(); ++k) {
            lane_pnt d = {0.0f, 0.0f, 1.0f};
            if (r.turned && k == 1) d = {1.6f, 0.0f, 2.2f};
            lane_unit(d);
            const float f = r.turned ? 4.0f : (k == 0 ? 4.0f : 40.0f);
            const lane_pnt p = lane_pnt_of(point);
            EXPECT_LT(lane_dist(probe.calls[k].from, p + (0.25f * f) * d), 1e-5f);
            EXPECT_LT(lane_dist(probe.calls[k].to, p - f * d), 1e-5f);
        }
        if (r.status == 0) {
            EXPECT_FLOAT_EQ(result[2], r.plane);
            EXPECT_EQ(lane_pnt_of(direction), r.normal);
        }
    }
}

namespace {
struct hook_calls {
    int begin = 0, end = 0;
    int begin_answer = 0, end_answer = 0, started = 0;
} hooks_seen;
}  // namespace

TEST_F(LaneOnSrfTest, HooksOfTheHostAlgorithmRunOnlyWhenSetAndBalanced)
{
    ASSERT_TRUE(vantu::control::set_flag("d3ds_running", 1));
    struct row {
        bool begin, end, started;
        int begin_answer, end_answer, started_answer;
        float plane;
        int status, begins, ends;
    } rows[] = {
        {false, false, false, 0, 0, 0, 5.0f, 0, 0, 0},    // nothing set: nothing called
        {true, false, false, 3, 0, 0, 5.0f, 3, 1, 0},     // a failed begin ends the projection
        {true, true, false, 0, 7, 0, 5.0f, 7, 1, 1},      // the end's answer is the result
        {true, true, false, 0, 0, 0, -500.0f, -1, 1, 1},  // but never turns a miss into a success
        {true, true, true, 0, 7, 1, 5.0f, 0, 0, 0},       // already started: neither begun nor ended
        {false, true, false, 0, 7, 0, 5.0f, 0, 0, 0},     // never begun: never ended
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << "begin " << r.begin << " end " << r.end << " started " << r.started);
        disp_state_reset();
        hooks_seen = hook_calls{0, 0, r.begin_answer, r.end_answer, r.started_answer};
        probe.height = [z = r.plane](float, float) { return z; };
        d3ds_hooks& h = *disp_state_ptr();
        if (r.begin) h.begin = [](float, float, float) { return ++hooks_seen.begin, hooks_seen.begin_answer; };
        if (r.end) h.end = [](float, float, float) { return ++hooks_seen.end, hooks_seen.end_answer; };
        if (r.started) h.started = [] { return hooks_seen.started; };
        const float point[3] = {0.0f, 0.0f, 6.0f};
        float result[3] = {}, direction[3] = {0.0f, 0.0f, 1.0f};
        int status = 0;
        draw_lane_3d(1, point, result, direction, status);
        EXPECT_EQ(status, r.status);
        EXPECT_EQ(hooks_seen.begin, r.begins);
        EXPECT_EQ(hooks_seen.end, r.ends);
    }
    disp_state_reset();
    const d3ds_hooks& h = *disp_state_ptr();
    EXPECT_TRUE(h.begin == nullptr && h.end == nullptr && h.node_counts == nullptr && h.node_height == nullptr &&
                h.started == nullptr);
}

TEST_F(LaneOnSrfTest, BadInputEndsWithItsStatusAndArraysClosed)
{
    ASSERT_EQ(prj_manager_active(), 0);
    struct row {
        const char* name;
        int dimension, n;
        float cell_size, plane;
        const char* fault;
        int algorithm, status, out;
    } rows[] = {
        {"empty lane", 3, 0, 1.0f, 5.0f, nullptr, 0, 0, 0},
        {"one point", 3, 1, 1.0f, 5.0f, nullptr, 0, 0, 1},
        {"no point projectable", 3, 6, 1.0f, -500.0f, nullptr, 0, 0, 0},
        {"cell size 0: pushed from each point to itself", 3, 6, 0.0f, 5.0f, nullptr, 0, 0, 0},
        {"arrays refused", 3, 6, 1.0f, 5.0f, "MM_OPEN_ARRAY", 0, -1, 2},
        {"host algorithm, no projection manager", 4, 6, 1.0f, 5.0f, nullptr, 1, -1, 2},
        {"host algorithm, dimension 3", 3, 6, 1.0f, 5.0f, nullptr, 1, -1, 2},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        probe = field_probe{};
        probe.height = [z = r.plane](float, float) { return z; };
        surface_grid_block.projection.cell_size = r.cell_size;
        ASSERT_TRUE(vantu::control::set_flag("d3ds_running", r.algorithm));
        if (r.fault != nullptr) vantu::control::inject_fault(r.fault, 1, 1, -1);
        pokarr_work lane(r.dimension), out(4), raw(4);
        lane_along_x(lane.a, r.n, 5.0f, 6.0f);
        lane_along_x(out.a, 2, 1.0f, 0.0f);
        lane_along_x(raw.a, 2, 1.0f, 0.0f);
        int status = 0;
        lane_on_srf(0, 0, r.algorithm, 0, lane.a, out.a, raw.a, status);
        vantu::control::clear_faults();
        EXPECT_EQ(status < 0 ? -1 : status, r.status);
        EXPECT_EQ(out.a.count, r.out);
        EXPECT_EQ(raw.a.count, 2);
        EXPECT_EQ(vantu::control::open_array_count(), 0);
    }
}

TEST_F(LaneOnSrfTest, ABumpyLaneOutgrowsItsArraysAndAFailedGrowthIsReported)
{
    // Over a parabola every halving slot leaves the straight line by more than the lane tolerance:
    // 16 records per point, more than the 2 x (5n + 50) the arrays open with.
    const auto parabola = [](float x, float) { return 0.1f * x * x; };
    for (const bool refuse : {false, true}) {
        SCOPED_TRACE(refuse ? "growth refused" : "growth allowed");
        probe = field_probe{};
        probe.height = parabola;
        if (refuse) vantu::control::inject_fault("MM_RESIZE_ARRAY", 1, 1, -1);
        const int n = 40;
        pokarr_work lane(3), out(4);
        lane_along_x(lane.a, n, 8.0f, 0.0f);
        for (int i = 0; i < n; ++i) lane.a.z[i] = parabola(static_cast<float>(lane.a.x[i]), 0.0f) + 0.5;
        int status = 0;
        lane_on_srf(0, 0, 0, 0, lane.a, out.a, out.a, status);
        vantu::control::clear_faults();
        if (refuse) {
            EXPECT_LT(status, 0);
            EXPECT_EQ(out.a.count, 0);
        } else {
            ASSERT_EQ(status, 0);
            EXPECT_GT(out.a.count, 2 * (5 * n + 50));
            for (int i = 0; i < out.a.count; ++i)
                EXPECT_NEAR(out.a.z[i], parabola(static_cast<float>(out.a.x[i]), 0.0f), 1e-3 * (1.0 + out.a.z[i]));
        }
        EXPECT_EQ(vantu::control::open_array_count(), 0);
    }
}

TEST_F(LaneOnSrfTest, GridDirectionIsTheBilinearNodeNormal)
{
    struct row {
        const char* name;
        float cell_size;
        float x, y;
        lane_pnt expected;
    } rows[] = {
        {"plane", 1.0f, 4.3f, 5.6f, {-0.5f, -0.25f, 1.0f}},
        {"on a node", 1.0f, 4.0f, 5.0f, {-0.5f, -0.25f, 1.0f}},
        {"cell size 0", 0.0f, 4.3f, 5.6f, {0.0f, 0.0f, 1.0f}},
        {"off the grid", 1.0f, -30.0f, 5.0f, {0.0f, 0.0f, 1.0f}},
    };
    grid_test::load_grid(0.0, 0.0, 1.0, 12, 12, grid_test::plane(0.5, 0.25, 1.0));
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        surface_grid_block.projection = grid_projection_values{r.cell_size, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
        lane_pnt expected = r.expected, direction{};
        lane_unit(expected);
        const float point[3] = {r.x, r.y, 0.0f};
        int status = -7;
        lane_pnt_dir(point, direction.data(), status);
        EXPECT_EQ(status, 0);
        EXPECT_LT(lane_dist(direction, expected), 1e-5f);
    }
}

// A lane over bumpy terrain laid with the real tool probe for the cutters other than the ball (whose
// lanes the runner's surface suite judges over random surfaces): each point the
// tool's tip where it rests on the triangles (the exact drop over every triangle), and every move
// no deeper under that drop than the tolerance, bumps between the points included.
TEST_F(LaneOnSrfTest, EveryCutterRestsOnThePartAndCutsNoDeeperAlongTheMoves)
{
    tool_probe_table() = default_tool_probe_seams();
    constexpr int kNodes = 15;
    constexpr float kTolerance = 0.01f;
    std::mt19937 random(6301);
    std::uniform_real_distribution<float> bump(-0.15f, 0.15f);
    std::vector<float> heights;
    for (int r = 0; r < kNodes; ++r)
        for (int c = 0; c < kNodes; ++c)
            heights.push_back(4.0f + 2.0f * std::exp(-0.05f * float((c - 7) * (c - 7))) + bump(random));
    int status = 0;
    tri_model_from_grid(kNodes, kNodes, 0.0f, 0.0f, 1.0f, heights.data(), status);
    ASSERT_EQ(status, 0);
    surface_grid_block.h = 1.0;
    surface_grid_block.nx = surface_grid_block.ny = kNodes;
    surface_grid_block.heights = heights;
    std::vector<double> corners;
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    for (int t = 0; t < tri_store_block.entry_count; ++t)
        for (int k = 0; k < 9; ++k) corners.push_back(nodes[3 * (entries[t].nodes[k / 3] - 1) + k % 3]);
    const test_cutter cutters[] = {
        {"flat end", kCutterFlat, 2.0f, 0.0f, 0.0f, 0.0f},
        {"bull-nose", kCutterBullNose, 2.0f, 0.5f, 0.0f, 0.0f},
        {"tapered bull-nose", kCutterBullNose + kCutterTapered, 1.5f, 0.3f, static_cast<float>(M_PI / 18), 1.0f},
    };
    for (const test_cutter& cutter : cutters) {
        cutter.make_current();
        const exact_drop_reference reference(cutter.profile());
        pokarr_work lane(3), out(4);
        for (int i = 0; i < 40; ++i) {
            const double a = 2.0 * M_PI * i / 39.0, p[3] = {7.0 + 3.0 * std::cos(a), 7.0 + 3.0 * std::sin(a), 9.0};
            pokarr_add_pnt(p, lane.a, status);
        }
        lane_on_srf(0, 1, 0, 0, lane.a, out.a, out.a, status);
        ASSERT_EQ(status, 0) << cutter.name;
        const std::vector<p3> laid = points_of(out.a);
        ASSERT_GE(laid.size(), 20U) << cutter.name;
        double worst_point = 0.0, deepest = 0.0;
        for (std::size_t i = 0; i < laid.size(); ++i) {
            const p3& q = laid[i];
            worst_point = std::max(worst_point, std::fabs(reference.drop(corners, q[0], q[1]) - q[2]));
            if (i == 0) continue;
            const p3& o = laid[i - 1];
            const int samples = static_cast<int>(std::ceil(std::hypot(q[0] - o[0], q[1] - o[1]) / 0.1));
            for (int k = 1; k < samples; ++k) {
                const double u = static_cast<double>(k) / samples;
                deepest =
                    std::max(deepest, reference.drop(corners, o[0] + u * (q[0] - o[0]), o[1] + u * (q[1] - o[1])) -
                                          (o[2] + u * (q[2] - o[2])));
            }
        }
        EXPECT_LE(worst_point, kTolerance) << cutter.name;
        EXPECT_LE(deepest, kTolerance) << cutter.name;
    }
    tri_model_release(status);
}

namespace {

// Holds the walls of the square pocket 2..12 round the island 6..8 x 6..8, every contour kept 1
// away, in the scope the caller opened.
void hold_square_pocket_walls()
{
    way_region& region = lane_walls_block().region;
    way_region_add(region, {{2, 2}, {12, 2}, {12, 12}, {2, 12}}, 1.0);
    way_region_add(region, {{6, 6}, {6, 8}, {8, 8}, {8, 6}}, 1.0);
}

double wall_distance(const lane_pnt& p)
{
    const double x = p[0], y = p[1];
    const double outer = std::min({x - 2.0, 12.0 - x, y - 2.0, 12.0 - y});
    const double dx = std::max({6.0 - x, 0.0, x - 8.0}), dy = std::max({6.0 - y, 0.0, y - 8.0});
    return std::min(outer, std::hypot(dx, dy));
}

}  // namespace

// A ball pushed along the normal of a flank that falls towards a wall touches it with its tip
// down the flank, nearer the wall than the point it was pushed through; it is moved back to keep
// the clearance and half the room its point had beyond it, the ball resting on the triangles there;
// a point laid within a clearance already is moved out to it. A flank rising to
// the wall, or one far from it, leaves the push as it is.
TEST_F(LaneOnSrfTest, ATipPushedDownAFlankTowardsAWallKeepsTheWallsClearance)
{
    tool_probe_table() = default_tool_probe_seams();
    const test_cutter ball{"ball", kCutterBall, 2.0f, 1.0f, 0.0f, 0.0f};
    ball.make_current();
    const exact_drop_reference reference(ball.profile());
    constexpr int kNodes = 15;
    const struct {
        float degrees;  // the flank's slope, falling towards -x
        float x, y;     // the point pushed through, on the flank
        bool nearer;    // whether the push alone ends nearer a wall than 1
        float least;    // the least distance from the walls the tip keeps: 1 and half the point's room
    } rows[] = {
        {0.0f, 3.0f, 4.0f, false, 1.0f},
        {30.0f, 3.0f, 4.0f, true, 1.0f},
        {60.0f, 3.0f, 4.0f, true, 1.0f},
        {60.0f, 3.2f, 4.0f, true, 1.1f},
        {75.0f, 3.0f, 10.0f, true, 1.0f},
        {-60.0f, 11.0f, 4.0f, true, 1.0f},
        {-45.0f, 3.0f, 4.0f, false, 1.0f},
        {60.0f, 9.0f, 7.0f, true, 1.0f},
        {45.0f, 5.0f, 4.0f, false, 1.0f},
        // Points the lane was laid too near a wall or an island's corner: moved out to the clearance.
        {0.0f, 2.9f, 4.0f, true, 1.0f},
        {0.0f, 5.4f, 5.4f, true, 1.0f},
        {30.0f, 8.9f, 8.5f, true, 1.0f},
    };
    const lane_walls_scope walls(0);
    hold_square_pocket_walls();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.degrees);
        const float slope = std::tan(r.degrees * static_cast<float>(M_PI) / 180.0f);
        std::vector<float> heights;
        for (int row = 0; row < kNodes; ++row)
            for (int col = 0; col < kNodes; ++col) heights.push_back(20.0f + slope * static_cast<float>(col - 7));
        int status = 0;
        tri_model_from_grid(kNodes, kNodes, 0.0f, 0.0f, 1.0f, heights.data(), status);
        ASSERT_EQ(status, 0);
        std::vector<double> corners;
        const float* nodes = tri_model_nodes();
        const qt_entry* entries = tri_model_entries();
        for (int t = 0; t < tri_store_block.entry_count; ++t)
            for (int k = 0; k < 9; ++k) corners.push_back(nodes[3 * (entries[t].nodes[k / 3] - 1) + k % 3]);
        const float point[3] = {r.x, r.y, 20.0f + slope * (r.x - 7.0f)};
        const lane_pnt up_the_flank = {-slope, 0.0f, 1.0f};
        const auto laid = [&](bool with_walls) {
            lane_walls held = std::move(lane_walls_block());
            if (with_walls) lane_walls_block() = held;
            lane_pnt direction = up_the_flank, tip{};
            lane_unit(direction);
            int drawn = 0;
            draw_lane_3d(1, point, tip.data(), direction.data(), drawn);
            lane_walls_block() = std::move(held);
            EXPECT_EQ(drawn, 0);
            return tip;
        };
        const lane_pnt pushed = laid(false), kept = laid(true);
        EXPECT_EQ(wall_distance(pushed) < 1.0 - 0.01, r.nearer) << pushed[0] << ", " << pushed[1];
        EXPECT_GE(wall_distance(kept), r.least - 1e-3) << kept[0] << ", " << kept[1];
        EXPECT_NEAR(reference.drop(corners, kept[0], kept[1]), kept[2], 0.01);
        if (!r.nearer) {
            EXPECT_EQ(kept, pushed);
        }
        tri_model_release(status);
    }
}

// The refinement leaves out points by how straight the string runs: where the chord of two it
// keeps passes an island's corner within its clearance, the points between come back.
TEST_F(LaneOnSrfTest, PointsARefinedStringNeedsToKeepTheWallsComeBack)
{
    // The lane round the island's corner (6, 6), 1 from its sides, the corner's arc by one point.
    const float arc = 6.0f - static_cast<float>(M_SQRT1_2);
    const std::vector<lane_pnt> collected = {{5, 7.5f, 0}, {5, 7, 0}, {5, 6, 0},   {arc, arc, 0},
                                             {6, 5, 0},    {7, 5, 0}, {7.5f, 5, 0}};
    const struct {
        const char* what;
        std::vector<int> refined, expected;  // indices of the collected points
        bool walls;
    } rows[] = {
        {"nothing left out", {0, 1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 4, 5, 6}, true},
        {"points along the sides", {0, 2, 3, 4, 6}, {0, 2, 3, 4, 6}, true},
        {"the corner's point", {0, 1, 2, 4, 5, 6}, {0, 1, 2, 3, 4, 5, 6}, true},
        {"the corner's stretch", {0, 1, 6}, {0, 1, 2, 3, 4, 5, 6}, true},
        {"the corner's stretch, no walls held", {0, 1, 6}, {0, 1, 6}, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const lane_walls_scope walls(0);
        if (r.walls) hold_square_pocket_walls();
        std::vector<lane_pnt> refined, expected;
        for (int i : r.refined) refined.push_back(collected[static_cast<std::size_t>(i)]);
        for (int i : r.expected) expected.push_back(collected[static_cast<std::size_t>(i)]);
        EXPECT_EQ(lane_walls_restore(collected, refined.data(), static_cast<int>(refined.size()), 0.0025f), expected);
    }
}

// The halving judges a gap by its middle: a chord whose middle keeps the walls may still pass an
// island's corner within its clearance nearer one end. Its middle slot is kept then, so that the
// halves are judged in turn.
TEST_F(LaneOnSrfTest, AHalvingSlotIsKeptWhereTheChordPassesAWallsClearance)
{
    const struct {
        const char* what;
        lane_pnt from, to;
        bool walls;
        int expected;
    } rows[] = {
        {"past the corner, the middle clear", {5.0f, 7.9f, 5.0f}, {5.1f, 3.2f, 5.0f}, true, 1},
        {"past the corner, no walls held", {5.0f, 7.9f, 5.0f}, {5.1f, 3.2f, 5.0f}, false, 0},
        {"beside the island, clear of it", {4.0f, 9.0f, 5.0f}, {4.0f, 4.0f, 5.0f}, true, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const lane_walls_scope walls(0);
        if (r.walls) hold_square_pocket_walls();
        lane_pnt points[17] = {}, normals[17] = {};
        points[0] = r.from;
        points[16] = r.to;
        normals[0] = normals[16] = {0.0f, 0.0f, 1.0f};
        int status = 0;
        lane_pnt_subdivide(1, points, normals, 0, 16, 8, status);
        EXPECT_EQ(status, r.expected);
        EXPECT_FLOAT_EQ(points[8][2], 5.0f);
        if (r.walls) {
            EXPECT_GE(wall_distance(points[8]), 1.0 - 1e-3) << points[8][0] << ", " << points[8][1];
        }
    }
}
