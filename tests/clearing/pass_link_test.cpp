// The link of one pass of surface points to the next: the link arrays and their growth, the
// held-back strings, the arcs at string ends, the lift over the part and the whole link as the
// motion output receives it. The part is a triangle model of level pieces under a ball of
// diameter 2; the tool's projection along a move is scripted (free or blocked).
#include "tests/cutter/cutter_test_support.hpp"

#include "clearing/surface_passes/deferred_strings.hpp"
#include "clearing/surface_passes/link_arrays.hpp"
#include "clearing/surface_passes/link_moves.hpp"
#include "clearing/surface_passes/pass_link.hpp"
#include "cutter/drop_front.hpp"
#include "cutter/tool_probe.hpp"
#include "host/control.hpp"
#include "host/control/memory.hpp"
#include "host/vantu.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/mill_services.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "surfaces/tri_store_least.hpp"
#include "toolpath/updown_buffers.hpp"
#include "toolpath/updown_entries.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr float kDiameter = 2.0f, kTolerance = 0.01f;
bool blocked = false;

void scripted_project(const float*, const float*, float*, float*, int& status)
{
    status = blocked ? kProjectContact : kProjectFree;
}

double distance(const point3& a, const point3& b)
{
    return std::hypot(double(a[0]) - b[0], double(a[1]) - b[1], double(a[2]) - b[2]);
}

std::vector<point3> buffered()
{
    const auto* p = static_cast<const point3*>(mmcptr(updown_buffers().points));
    return p ? std::vector<point3>(p, p + updown().count) : std::vector<point3>{};
}

class PassLinkTest : public CutterTest {
protected:
    void SetUp() override
    {
        release();
        CutterTest::SetUp();
        proc_geometry_reset();
        curve_approx_words& ca = proc_geometry().curve_approx;
        ca.tolerance = kTolerance;
        ca.link_radius = 0.5f;
        mill_service_table().tool_get_mill_diameter = [](int, float& d) { d = kDiameter; };
        tool_probe_table().tool_project_point = scripted_project;
        blocked = false;
        linnet_params_block.cutter_type = 1;
        linnet_params_block.diameter = kDiameter;
        linnet_params_block.corner_radius = 0.5f * kDiameter;
        HEI8().set_real(heights_state::kClearance, 100.0f);
        updown().mode = 2;
        level_model({{-100, 100, -50}});
    }
    void TearDown() override
    {
        release();
        CutterTest::TearDown();
    }
    // Level rectangles (x from, x to, z) across y in [-100, 100], as the triangle model.
    static void level_model(const std::vector<std::array<float, 3>>& pieces)
    {
        std::vector<float> corners;
        for (const auto& [x0, x1, z] : pieces)
            corners.insert(corners.end(), {x0, -100, z, x1, -100, z, x1, 100, z, x0, -100, z, x1, 100, z, x0, 100, z});
        build_model(corners);
    }
    void release()
    {
        int status = 0;
        link_arrays_close();
        deferred_strings_flush(0, status);
        updown().count = 0;
        updown_close(status);
        updown() = updown_state{};
        tool_probe_table() = default_tool_probe_seams();
        mill_service_table() = saved_mill;
        vantu::control::set_flag("nc_sub_code", 0);
    }
    const mill_services saved_mill = mill_service_table();
};

TEST_F(PassLinkTest, ArraysGrowByTheirOwnCapacityAndNormalsFollowTheLargest)
{
    struct row {
        int array, points, capacity;
    } rows[] = {{1, 10, 500}, {1, 2000, 2300}, {3, 600, 800}, {3, 800, 800}, {2, 501, 800}};
    point3* base = nullptr;
    int status = 0;
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << "array " << r.array << " asked for " << r.points);
        link_array_get(r.array, r.points, base, status);
        ASSERT_EQ(status, 0);
        ASSERT_NE(base, nullptr);
        EXPECT_EQ(link_arrays().capacities[static_cast<std::size_t>(r.array - 1)], r.capacity);
        EXPECT_EQ(MM_CUR_N_ENTRIES(link_arrays().handles[static_cast<std::size_t>(r.array - 1)]), r.capacity);
    }
    EXPECT_EQ(link_arrays().normal_capacity, 2300);
    for (int i = 0; i < 2300; ++i) ASSERT_EQ(link_normals()[i], kDefaultDirection) << i;
    link_array_get(4, 1, base, status);
    EXPECT_EQ(status, -1);
}

TEST_F(PassLinkTest, HeldBackStringsAreWrittenOrDroppedAndGiveTheirArraysBack)
{
    // The buffers flush (write to the list) between two strings of one statement: one string each.
    const std::vector<point3> points = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    const int counts[] = {0, 3, 2};
    const int open_before = vantu::control::open_array_count();
    for (const int write : {0, 1}) {
        SCOPED_TRACE(write);
        int status = 0;
        deferred_strings_add(0, points.data(), 2, counts, 4, 15, 16, 8, status);
        deferred_strings_add(0, points.data(), 1, counts + 2, 5, 15, 16, 8, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(deferred_strings().count, 2);
        deferred_strings_flush(write, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(deferred_strings().count, 0);
        const std::vector<point3> expected = {points[0], points[1], points[2], points[0], points[1]};
        EXPECT_EQ(buffered(), write ? expected : std::vector<point3>{});
        for (int k = 0; k < updown().count; ++k) EXPECT_EQ(entry_at(k).value, 15) << "the record's start marker";
        EXPECT_EQ(updown().kept_pass_number, write ? 5 : 0);
        EXPECT_EQ(vantu::control::open_array_count(), open_before + (write ? 4 : 0));  // the UP/DOWN arrays
    }
}

TEST_F(PassLinkTest, ArcStepsStayFiniteForEveryRadius)
{
    struct row {
        double sweep, radius, tolerance;
        int least, steps;
    } rows[] = {{std::numbers::pi / 2, 1.0, 0.01, 4, 6},
                {std::numbers::pi / 2, 0.0, 0.01, 4, 4},
                {std::numbers::pi / 2, -1.0, 0.01, 4, 4},
                {std::numbers::pi / 2, 1.0, 5.0, 4, 4},
                {3 * std::numbers::pi / 2, 1.0, 0.01, 12, 17}};
    for (const row& r : rows) EXPECT_EQ(link_arc_steps(r.sweep, r.radius, r.tolerance, r.least), r.steps) << r.radius;
}

TEST_F(PassLinkTest, EndArcsTurnUpOnTheLinkRadiusOrAreTheEndPointAlone)
{
    struct row {
        const char* name;
        point3 far, end;
        int mode;
        float radius;
        int code;
        bool alone, reported;
    } rows[] = {
        {"level end leaving", {-1, 0, 0}, {0, 0, 0}, 1, 2.0f, 0, false, false},
        {"rising end arriving", {1, 1, -1}, {0, 0, 0}, 2, 2.0f, 0, false, false},
        {"falling end leaving", {0, -1, 2}, {0, 0, 0}, 1, 1.0f, 0, false, false},
        {"radius 0", {-1, 0, 0}, {0, 0, 0}, 1, 0.0f, 0, true, true},
        {"radius below the tolerance", {-1, 0, 0}, {0, 0, 0}, 2, 0.001f, 0, true, true},
        {"vertical end", {3, 4, 4}, {3, 4, 5}, 1, 2.0f, 0, true, true},
        {"coinciding points", {3, 4, 5}, {3, 4, 5}, 2, 2.0f, 0, true, true},
        {"radius 0 under function 34", {-1, 0, 0}, {0, 0, 0}, 1, 0.0f, 34, true, false},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        vantu::control::clear_messages();
        vantu::control::set_flag("nc_sub_code", r.code);
        proc_geometry().curve_approx.link_radius = r.radius;
        point3* points = nullptr;
        int count = 0, status = 0;
        string_end_arc(r.mode, r.far, r.end, kTolerance, points, count, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(vantu::control::texts_of("msg_mdls").size(), r.reported ? 1u : 0u);
        if (r.alone) {
            ASSERT_EQ(count, 1);
            EXPECT_EQ(points[0], r.end);
            continue;
        }
        std::vector<point3> arc(points, points + count);
        if (r.mode == 2) std::reverse(arc.begin(), arc.end());
        ASSERT_GE(count, 5);
        EXPECT_EQ(arc.front(), r.end);
        // The arc leaves along the end's direction and ends going straight up, on a circle of the
        // radius whose centre stands on the upward perpendicular.
        const double d[3] = {r.end[0] - r.far[0], r.end[1] - r.far[1], r.end[2] - r.far[2]};
        const double len = std::hypot(d[0], d[1], d[2]);
        const point3& second = arc[1];
        const double along =
            ((second[0] - r.end[0]) * d[0] + (second[1] - r.end[1]) * d[1] + (second[2] - r.end[2]) * d[2]) /
            (len * distance(second, r.end));
        EXPECT_GT(along, 0.99);
        const point3 &last = arc.back(), &before = arc[arc.size() - 2];
        EXPECT_NEAR(last[0], before[0], 0.05 * r.radius);
        EXPECT_NEAR(last[1], before[1], 0.05 * r.radius);
        EXPECT_GT(last[2], before[2]);
        const double reach = std::hypot(last[0] - r.end[0], last[1] - r.end[1]);
        EXPECT_NEAR(reach, r.radius * (1.0 - d[2] / len), 1e-4);
        for (std::size_t i = 1; i < arc.size(); ++i) EXPECT_LE(distance(arc[i], arc[i - 1]), 0.5 * r.radius);
    }
}

TEST_F(PassLinkTest, AnArcDippingUnderTheToolShrinksToTheLastPointAboveIt)
{
    level_model({{-100, 2, -50}, {2, 100, 3}});
    proc_geometry().curve_approx.link_radius = 5.0f;
    point3* points = nullptr;
    int count = 0, status = 0;
    string_end_arc(1, {-1, 0, 0}, {0, 0, 0}, kTolerance, points, count, status);
    ASSERT_EQ(status, 0);
    ASSERT_GT(count, 1);
    EXPECT_LT(points[count - 1][0], 1.0f);
    for (int i = 0; i < count; ++i) {
        point3 dropped{}, normal{};
        int drop = 0;
        tool_drop_z_at_xy(points[i].data(), dropped.data(), normal.data(), drop);
        ASSERT_EQ(drop, 0);
        EXPECT_GE(points[i][2], dropped[2] - kTolerance) << i;
    }
}

TEST_F(PassLinkTest, ABlockedMoveIsLiftedOverTheHighestDropOrRefusedUnderTheClearance)
{
    // The lift over the highest drop may stand up to 0.01 higher: the highest drop's bound.
    struct row {
        const char* name;
        bool blocked;
        float surface, clearance;
        int status;
        float lift, over;
    } rows[] = {
        {"free way", false, 5.0f, 100.0f, kMoveStands, 0.0f, 0.0f},
        {"blocked over a surface at 5", true, 5.0f, 100.0f, kMoveLifted, 5.0f + 2 * kTolerance + 0.5f * kDiameter,
         0.01f},
        {"blocked, nothing higher than the move", true, -50.0f, 100.0f, kMoveStands, 0.0f, 0.0f},
        {"clearance leaves it too low", true, 5.0f, 4.0f, kMoveRefused, 0.0f, 0.0f},
        {"clearance caps the margin only", true, 5.0f, 5.5f, kMoveLifted, 5.5f, 0.0f},
    };
    const point3 a = {0, 0, 0}, b = {3, 0, 0};
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        int status = 0;
        tri_model_release(status);
        level_model({{-100, 100, r.surface}});
        blocked = r.blocked;
        HEI8().set_real(heights_state::kClearance, r.clearance);
        std::vector<point3> move = {a, {1, 0, 0}, {2, 0, 0}, b};
        link_gouge_lift(move.data(), 4, a, b, -1, 0, status);
        EXPECT_EQ(status, r.status);
        for (const point3& p : move) {
            EXPECT_GE(p[2], r.lift - 1e-4);
            EXPECT_LE(p[2], r.lift + r.over + 1e-4);
        }
    }
}

// Triangles of the models below (corners, 9 floats each): a level rectangle, a block's four
// vertical sides and top, a needle of square base on z = 0 rising to its apex.
std::vector<float> rectangle(float x0, float y0, float x1, float y1, float z)
{
    return {x0, y0, z, x1, y0, z, x1, y1, z, x0, y0, z, x1, y1, z, x0, y1, z};
}

std::vector<float> block(float x0, float y0, float x1, float y1, float top)
{
    std::vector<float> corners = rectangle(x0, y0, x1, y1, top);
    const float ring[5][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
    for (int k = 0; k < 4; ++k) {
        const auto [ax, ay] = ring[k];
        const auto [bx, by] = ring[k + 1];
        corners.insert(corners.end(), {ax, ay, 0, bx, by, 0, bx, by, top, ax, ay, 0, bx, by, top, ax, ay, top});
    }
    return corners;
}

std::vector<float> needle(float x, float y, float half, float top)
{
    const float ring[5][2] = {{x - half, y - half}, {x + half, y - half}, {x + half, y + half}, {x - half, y + half}};
    std::vector<float> corners;
    for (int k = 0; k < 4; ++k) {
        const auto [ax, ay] = ring[k];
        const auto [bx, by] = ring[(k + 1) % 4];
        corners.insert(corners.end(), {ax, ay, 0, bx, by, 0, x, y, top});
    }
    return corners;
}

std::vector<float> joined(std::initializer_list<std::vector<float>> parts)
{
    std::vector<float> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The highest drop of the ball (radius 1) along a line is bounded from above within 0.01, wherever
// its drops fall: over a sharp crest (flanks of slope 5 from a floor at 0 at x = -2 and 2 to 10 at
// x = 0), and, from a plateau 8 high that the line leaves, beside a thin needle and a thin wall
// whose tops (10 high, 0.99 aside) the ball reaches only within 0.16 of x = 0; over a through-hole
// of a plate at 4, a tab of its rim 0.99 aside reached there too.
TEST_F(PassLinkTest, TheHighestDropAlongALineIsBoundedWithinTheToleranceWhateverThePartsFaces)
{
    const std::vector<float> ridge =
        joined({rectangle(-100, -100, -2, 100, 0),
                {-2, -100, 0,  0, -100, 10, 0, 100, 10, -2, -100, 0,  0, 100, 10, -2, 100, 0,
                 0,  -100, 10, 2, -100, 0,  2, 100, 0,  0,  -100, 10, 2, 100, 0,  0,  100, 10},
                rectangle(2, -100, 100, 100, 0)});
    const std::vector<float> floor = joined({rectangle(-100, -100, 100, 100, 0), block(-9, -3, -5, 3, 8)});
    const std::vector<float> spike = joined({floor, needle(0, 0.99f, 0.05f, 10)});
    const std::vector<float> wall = joined({floor, block(-0.02f, 0.99f, 0.02f, 3, 10)});
    const std::vector<float> plate =
        joined({rectangle(-100, -100, 100, -5, 4), rectangle(-100, 5, 100, 100, 4), rectangle(-100, -5, -5, 5, 4),
                rectangle(5, -5, 100, 5, 4), rectangle(-0.02f, 0.99f, 0.02f, 5, 4)});
    const double reached = std::sqrt(1.0 - 0.99 * 0.99);  // the rise of the ball's edge 0.99 aside
    const struct {
        const char* name;
        const std::vector<float>& model;
        float from, to, y;  // the line from (from, y) to (to, y)
        double top;
    } rows[] = {
        {"crest half way between two drops", ridge, -3.0f, 3.0f, 0, 10.0},
        {"crest at the line's first end", ridge, 0.0f, 5.0f, 0, 10.0},
        {"crest at the line's last end", ridge, -5.0f, 0.0f, 0, 10.0},
        {"crest a fifth of a spacing past a drop", ridge, -2.8f, 3.2f, 0, 10.0},
        {"floor only", ridge, 20.0f, 30.0f, 0, 0.0},
        {"thin needle beside the line", spike, -8.0f, 6.0f, 0, 9.0 + reached},
        {"thin vertical wall beside the line", wall, -8.0f, 6.0f, 0, 9.0 + reached},
        {"through-hole, a tab of its rim beside the line", plate, -3.0f, 3.0f, 0, 3.0 + reached},
        {"through-hole, the rim out of reach", plate, -3.0f, 3.0f, -2.0f, kNoDrop},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        int status = 0;
        tri_model_release(status);
        build_model(r.model);
        const projection_on projection;
        const double highest = highest_drop({r.from, r.y, 20}, {r.to, r.y, 20});
        EXPECT_GE(highest, r.top - 1e-4);
        EXPECT_LE(highest, r.top + 0.01 + 1e-4);
    }
}

TEST_F(PassLinkTest, LinksLeaveAndMeetTheStringsInOneUnbrokenMoveOrALift)
{
    struct row {
        const char* name;
        point3 next_start;
        int link_kind, mode, code;
        bool blocked;
        int no_link, lifts;
        float clearance = 100.0f;
    } rows[] = {
        {"lifted arcs", {1.5f, 3, 0}, 0, 1, 0, false, 0, 0},
        {"lifted over the ridge", {3.5f, 0, 0}, 0, 1, 0, true, 0, 0},
        {"loop", {0.2f, 0.5f, 0}, 0, 1, 0, false, 0, 0},
        {"three-quarter arcs", {0.2f, 0.5f, 0}, 1, 1, 0, false, 0, 0},
        {"entry moves", {0.2f, 0.5f, 0}, 0, 2, 0, false, 0, 0},
        {"gap of 2D", {0, 5, 0}, 0, 1, 0, false, 0, 1},
        {"lifted under function 34", {3.5f, 0, 0}, 0, 1, 34, true, 1, 0},
        {"ridge above the clearance: arcs joined", {3.5f, 0, 0}, 0, 1, 0, true, 0, 0, 3.0f},
    };
    const point3 prev = {-1, 0, 0}, end = {0, 0, 0};
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        release();
        SetUp();
        vantu::control::set_flag("nc_sub_code", r.code);
        proc_geometry().curve_approx.link_kind = r.link_kind;
        blocked = r.blocked;
        HEI8().set_real(heights_state::kClearance, r.clearance);
        int status = 0;
        tri_model_release(status);
        // A ridge between the ends of the blocked rows (the scripted projection sees no part).
        if (r.blocked)
            level_model({{-100, 1.6f, -50}, {1.6f, 1.9f, 5}, {1.9f, 100, -50}});
        else
            level_model({{-100, 100, -50}});
        const point3 next = {r.next_start[0] + 1, r.next_start[1], r.next_start[2]};
        int no_link = -1;
        link_pass_strings(prev.data(), end.data(), next.data(), r.next_start.data(), 2, r.mode, no_link, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(no_link, r.no_link);
        const std::vector<point3> written = buffered();
        if (r.no_link) {
            EXPECT_TRUE(written.empty());
            continue;
        }
        ASSERT_GE(written.size(), 3u);
        EXPECT_EQ(written.front(), end);
        EXPECT_EQ(written.back(), r.next_start);
        int jumps = 0;
        for (std::size_t i = 0; i < written.size(); ++i) {
            point3 dropped{}, normal{};
            tool_drop_z_at_xy(written[i].data(), dropped.data(), normal.data(), status);
            if (status == 0) {
                EXPECT_GE(written[i][2], dropped[2] - kTolerance) << i;
            }
            if (i > 0 &&
                std::hypot(written[i][0] - written[i - 1][0], written[i][1] - written[i - 1][1]) > 2.0 * kDiameter)
                ++jumps;
        }
        EXPECT_EQ(jumps, r.lifts);
    }
}

}  // namespace
