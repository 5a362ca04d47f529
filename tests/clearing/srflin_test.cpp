// Point strings along a hatch line over one parametric surface (srflin) and the surface buffer
// evaluation under it: judged by where the tool points lie on the surfaces, the statuses and the
// messages.
#include "clearing/surface_passes/string_methods.hpp"
#include "clearing/surface_services/check_plane.hpp"
#include "clearing/surface_services/srflin.hpp"
#include "cutter/kernels/contact_geometry.hpp"
#include "host/control.hpp"
#include "host/control/messages.hpp"
#include "host/control/trim_host.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/current_tool.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kPlane = 30, kWall = 31, kSphere = 32, kPatch = 33, kFreePlane = 34;
constexpr float kRadius = 20.0f, kBall = 4.0f;

// A level plane z = 2 over x 0..100, y 0..50; a vertical wall; a sphere of radius 20 about
// (50, 25, 0) over its upper half; a gently curved bicubic patch over x, y 0..60; and the level
// plane with both range checks off.
const char* const kPart = R"({"entities": [
 {"id": 30, "kind": "plane", "origin": [0, 0, 2], "u_axis": [1, 0, 0], "v_axis": [0, 1, 0],
  "u_range": [0, 100], "v_range": [0, 50]},
 {"id": 31, "kind": "plane", "origin": [0, 0, 0], "u_axis": [1, 0, 0], "v_axis": [0, 0, 1],
  "u_range": [0, 10], "v_range": [0, 10]},
 {"id": 32, "kind": "sphere", "centre": [50, 25, 0], "radius": 20, "u_range": [0, 6.2831853],
  "v_range": [0.05, 1.5707963], "range_check": [2, 0]},
 {"id": 33, "kind": "bicubic", "u_range": [0, 1], "v_range": [0, 1], "points": [
  [0, 0, 0], [20, 0, 4], [40, 0, 4], [60, 0, 0], [0, 20, 3], [20, 20, 9], [40, 20, 8], [60, 20, 2],
  [0, 40, 2], [20, 40, 8], [40, 40, 9], [60, 40, 3], [0, 60, 0], [20, 60, 3], [40, 60, 4], [60, 60, 1]]},
 {"id": 34, "kind": "plane", "origin": [0, 0, 2], "u_axis": [1, 0, 0], "v_axis": [0, 1, 0],
  "u_range": [0, 100], "v_range": [0, 50], "range_check": [2, 2]}]})";

surface_buffer buffer_of(int id)
{
    surface_buffer buffer;
    int status = 0;
    surface_buffer_load(id, buffer.words, status);
    EXPECT_EQ(status, 0) << id;
    return buffer;
}

// A ball mill of kBall as the current tool, the clearance at 100.
// The current tool, a mill of its own id (an id of -1 would read as no tool).
void ball_mill(float diameter = kBall, float corner = kBall / 2, float taper = 0.0f)
{
    constexpr int kMillId = 1;
    PRM9().words[machine_params::kToolId] = kMillId;
    tool_block().IDTOOL = kMillId;
    tool_block().tool_class = kMill;
    tool_block().TLVERS = 1000;
    tool_shapes().mill.DIAMTR = diameter;
    tool_shapes().mill.CRNRRD = corner;
    tool_shapes().mill.SPARE1 = taper;
    HEI8().set_real(heights_state::kClearance, 100.0f);
}

class Srflin : public ::testing::Test {
protected:
    void SetUp() override
    {
        vantu::control::reset();
        vantu::control::load_part_text(kPart, "part");
        ball_mill();
        surface_pass = surface_pass_state{};
    }
    void TearDown() override
    {
        tool_block() = current_tool{};
        vantu::control::reset();
    }

    struct line_result {
        int status = 9, string_count = 0;
        int counts[kSrflinMostStrings] = {};
        std::vector<float> points = std::vector<float>(3000, -7.0f);
    };
    line_result run(int id, float x0, float y0, float x1, float y1, float tolerance = 0.01f)
    {
        line_result r;
        const float start[2] = {x0, y0}, end[2] = {x1, y1};
        surface_line_continuation continuation;
        int plane = 9;
        srflin(buffer_of(id), 1, start, end, tolerance, continuation, static_cast<int>(r.points.size()), 0,
               r.points.data(), r.string_count, r.counts, plane, r.status);
        return r;
    }
};

// The ball's centre over the sphere lies R + r from the sphere's centre: the tip r below it.
float ball_tip_over_sphere(float x, float y)
{
    const float dx = x - 50, dy = y - 25, reach = kRadius + kBall / 2;
    return std::sqrt(reach * reach - dx * dx - dy * dy) - kBall / 2;
}

}  // namespace

// Over each surface every tool point stands on the hatch line, and over the level plane and the
// sphere at the height a ball touching the surface has; a line that never meets the surface gives
// no string and status 1.
TEST_F(Srflin, ToolPointsStandOnTheLineAndTouchTheSurface)
{
    struct row {
        const char* what;
        int id;
        float x0, y0, x1, y1;
        int status, strings;
        float (*height)(float x, float y);  // the expected tip height, or null
    };
    const row rows[] = {
        {"level plane", kPlane, 10, 20, 90, 20, 0, 1, [](float, float) { return 2.0f; }},
        {"plane without range checks", kFreePlane, 10, 20, 90, 20, 0, 1, [](float, float) { return 2.0f; }},
        {"over the sphere", kSphere, 20, 27, 80, 27, 0, 1, nullptr},
        {"across the patch", kPatch, 5, 30, 55, 32, 0, 1, nullptr},
        {"beside the plane", kPlane, 10, 80, 90, 80, kSrflinNoTouch, 1, nullptr},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        const line_result out = run(r.id, r.x0, r.y0, r.x1, r.y1);
        EXPECT_EQ(out.status, r.status);
        EXPECT_EQ(out.string_count, r.strings);
        if (r.status != 0) {
            EXPECT_EQ(out.counts[0], 0);
            continue;
        }
        ASSERT_GE(out.counts[0], 2);
        const float dx = r.x1 - r.x0, dy = r.y1 - r.y0, length = std::hypot(dx, dy);
        for (int k = 0; k < out.counts[0]; ++k) {
            const float* p = &out.points[static_cast<std::size_t>(3 * k)];
            EXPECT_NEAR(((p[0] - r.x0) * dy - (p[1] - r.y0) * dx) / length, 0.0f, 1e-3f) << k;
            if (r.height) {
                EXPECT_NEAR(p[2], r.height(p[0], p[1]), 0.02f) << k;
            }
            if (r.id == kSphere) {
                EXPECT_NEAR(p[2], ball_tip_over_sphere(p[0], p[1]), 0.02f) << k;
            }
        }
    }
}

// A line that runs beyond the surface at both ends gives a string from edge to edge: the searches
// for the ends of the contact start where it was last found, in either direction of the line.
TEST_F(Srflin, StringReachesBothEdgesOfTheSurface)
{
    const struct {
        float from, to;
    } rows[] = {{-20, 120}, {120, -20}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.from);
        const line_result out = run(kPlane, r.from, 20, r.to, 20);
        ASSERT_EQ(out.status, 0);
        ASSERT_EQ(out.string_count, 1);
        ASSERT_GE(out.counts[0], 2);
        const float first = out.points[0], last = out.points[static_cast<std::size_t>(3 * (out.counts[0] - 1))];
        EXPECT_NEAR(std::min(first, last), 0.0f, 0.05f);
        EXPECT_NEAR(std::max(first, last), 100.0f, 0.05f);
    }
}

// A check plane across the level plane's line stops the string, and the line, on the plane; the
// plane that stopped it is recorded.
TEST_F(Srflin, CheckPlaneStopsTheString)
{
    constexpr int kCheckPlane = 77;
    PLN1().at(plane_state::kThirdEntity) = kCheckPlane;
    const float wall[4] = {1, 0, 0, -40};  // x = 40
    for (int k = 0; k < 4; ++k) PLN1().set_real(plane_state::kPlane + k, wall[k]);
    const float start[2] = {10, 20}, end[2] = {90, 20};
    surface_line_continuation continuation;
    std::vector<float> points(3000, -7.0f);
    int counts[kSrflinMostStrings], string_count = 0, plane = 9, status = 9;
    srflin(buffer_of(kPlane), 1, start, end, 0.01f, continuation, static_cast<int>(points.size()), 0, points.data(),
           string_count, counts, plane, status);
    const plane_state stopped = PLN1();
    PLN1() = plane_state{};
    EXPECT_EQ(status, 0);
    EXPECT_EQ(plane, kPlaneCrossed);
    ASSERT_EQ(string_count, 1);
    ASSERT_GE(counts[0], 2);
    const float* last = &points[static_cast<std::size_t>(3 * (counts[0] - 1))];
    EXPECT_NEAR(last[0], 40.0f, 1e-3f);
    EXPECT_NEAR(last[2], 2.0f, 1e-3f);
    for (int k = 0; k < counts[0]; ++k) EXPECT_LE(points[static_cast<std::size_t>(3 * k)], 40.001f) << k;
    EXPECT_EQ(stopped.at(plane_state::kStopPlane), kCheckPlane);
    EXPECT_EQ(stopped.real(plane_state::kStopNormal), 1.0f);
}

// A string longer than the capacity stops with its message, writing nothing past the capacity.
TEST_F(Srflin, CapacityIsNeverPassed)
{
    line_result big = run(kSphere, 0, 25, 100, 25, 0.001f);
    ASSERT_EQ(big.status, 0);
    const int total = big.counts[0];
    ASSERT_GT(total, 4);
    const float start[2] = {0, 25}, end[2] = {100, 25};
    surface_line_continuation continuation;
    std::vector<float> points(3 * 3 + 1, -7.0f);
    int counts[kSrflinMostStrings], string_count = 0, plane = 0, status = 0;
    srflin(buffer_of(kSphere), 1, start, end, 0.001f, continuation, 9, 0, points.data(), string_count, counts, plane,
           status);
    EXPECT_EQ(status, -2);
    EXPECT_EQ(points[9], -7.0f);
    EXPECT_EQ(vantu::control::texts_of("eroutc"),
              std::vector<std::string>{"NXTSTP,STRING OF POINTS HAS EXCEEDED ITS LIMIT"});
}

// Twenty strings fill the line's room; a twenty-first is refused with the message.
TEST_F(Srflin, TwentyStringsAtMost)
{
    int counts[kSrflinMostStrings] = {};
    string_output out{nullptr, 0, counts};
    for (int stored : {0, 19, 20, 21}) {
        out.string_count = stored + 1;
        vantu::control::reset();
        EXPECT_EQ(string_room(out), stored < kSrflinMostStrings) << stored;
        EXPECT_EQ(vantu::control::texts_of("eroutc").size(), stored < kSrflinMostStrings ? 0u : 1u);
    }
    EXPECT_EQ(vantu::control::texts_of("eroutc"), std::vector<std::string>{"srflin,CAN CREATE UP TO 20 STRINGS "});
}

// With the warn flag set, an under-cut followed by a gouge shows only the under-cut; the gouge
// alone shows its own warning.
TEST_F(Srflin, OneWarningWhileTheFlagIsSet)
{
    const float contact[3] = {1, 2, 3}, down[3] = {0, 0.6f, -0.8f}, wall[3] = {1, 0, 0};
    const float tapered[3] = {kBall, 0.5f, 10.0f};
    float tip[3];
    int status = 0, warn = 1;
    tool_point_warn(tapered, contact, down, tip, status, warn);
    EXPECT_EQ(status, kContactUnderCut);
    tool_point_warn(tapered, contact, wall, tip, status, warn);
    EXPECT_EQ(warn, 0);
    std::vector<std::string> shown;
    for (const vantu::control::message& m : vantu::control::messages())
        if (m.line.find("WARNING") != std::string::npos) shown.push_back(m.line.substr(0, 34));
    EXPECT_EQ(shown, std::vector<std::string>{"WARNING: THERE IS AN UNDER-CUT AT:"});
    vantu::control::reset();
    warn = 1;
    tool_point_warn(tapered, contact, wall, tip, status, warn);
    EXPECT_EQ(warn, 0);
    ASSERT_EQ(vantu::control::messages().empty(), false);
    EXPECT_NE(vantu::control::messages().front().line.find("WARNING: THE TOOL GOUGES THE SURFACE AT:"),
              std::string::npos);
}

// The range check passes flagged parameters on the range ends within the host tolerance and
// refuses them beyond; unflagged directions are not checked; a bad buffer is refused by name.
TEST_F(Srflin, RangeCheckAndBadBuffers)
{
    struct row {
        float u, v;
        int u_flag, v_flag, status;
    };
    const row rows[] = {
        {100.00005f, 50, 1, 1, 0}, {-0.00005f, 0, 1, 1, 0}, {100.01f, 25, 1, 1, -1},
        {50, 50.01f, 1, 1, -1},    {100.01f, 25, 0, 1, 0},  {50, -3, 1, 0, 0},
    };
    const surface_buffer plane = buffer_of(kPlane);
    for (const row& r : rows) {
        int status = 9;
        SRFRNG(r.u, r.v, plane, r.u_flag, r.v_flag, status);
        EXPECT_EQ(status, r.status) << r.u << " " << r.v;
    }
    const surface_buffer bad;
    float u = 3, v = 4, normal[3];
    surface_block block;
    const float target[3] = {1, 1, 1};
    int status = 0;
    SRFUV1(1, 1, 1, 0, 0, 1, u, v, bad, target, block, normal, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(u, 3.0f);
    EXPECT_EQ(v, 4.0f);
    EXPECT_EQ(vantu::control::texts_of("eroutc"), std::vector<std::string>{"SRFUV1 - BAD FORMAT OF SURFACE BUFFER"});
    int u_flag = 0, v_flag = 0;
    srf_range_flags(buffer_of(kFreePlane), u_flag, v_flag);
    EXPECT_EQ(u_flag + v_flag, 0);
    srf_range_flags(buffer_of(kPlane), u_flag, v_flag);
    EXPECT_EQ(u_flag + v_flag, 2);
}

// The coarse start takes only net nodes whose normal points upwards: none on a wall or on a plane
// seen from below; the nearest upward node on the level plane and the sphere.
TEST_F(Srflin, CoarseStartUsesUpwardNodesOnly)
{
    struct row {
        int id, orientation;
        float x, y;
        int status;
    };
    const row rows[] = {
        {kPlane, 1, 33.3f, 11.2f, 0}, {kPlane, -1, 33.3f, 11.2f, -1}, {kWall, 1, 5, 0, -1}, {kSphere, 1, 52, 27, 0}};
    for (const row& r : rows) {
        const surface_buffer buffer = buffer_of(r.id);
        int status = 9;
        coarse_net_fill(buffer, r.orientation, status);
        ASSERT_EQ(status, 0);
        float u = -1, v = -1, net = 0, hu = 0, hv = 0;
        surface_block block;
        const float position[2] = {r.x, r.y};
        RGHNET(position, buffer, r.orientation, u, v, block, net, hu, hv, status);
        EXPECT_EQ(status, r.status) << r.id << " " << r.orientation;
        EXPECT_GT(net, 0.0f);
        if (r.status == 0) {
            EXPECT_LT(std::fabs(block.point[0] - r.x) + std::fabs(block.point[1] - r.y), 12.0f);
        }
    }
}

// The vertical foot found on the patch lies straight under the target, from any start.
TEST_F(Srflin, VerticalFootOnThePatch)
{
    const surface_buffer patch = buffer_of(kPatch);
    const float targets[][3] = {{30, 30, 50}, {5, 50, 50}, {55, 8, 50}, {12.5f, 41, 50}};
    for (const auto& target : targets) {
        float u = 0.5f, v = 0.5f, normal[3];
        surface_block block;
        float words[9];
        evsrf(2, patch.words, u, v, words);
        std::copy(words, words + 3, block.point);
        std::copy(words + 3, words + 6, block.du);
        std::copy(words + 6, words + 9, block.dv);
        int status = 9;
        SRFUV1(1, 1, 1, 0, 0, 1, u, v, patch, target, block, normal, status);
        EXPECT_EQ(status, 0);
        EXPECT_NEAR(block.point[0], target[0], 1e-2f);
        EXPECT_NEAR(block.point[1], target[1], 1e-2f);
        EXPECT_GT(normal[2], 0.0f);
    }
}

// The reach of the cutter sideways and its share across the side direction, worked cases: a ball
// reaches the chord at the side step's depth (sqrt(8 R w - 4 w^2)), at most R once w passes R; a
// flat end over a level step reaches its diameter, over a vertical one the chord; a direction
// along the hatch has no share across and falls back to D / 8.
TEST_F(Srflin, CutterReachWorkedCases)
{
    struct row {
        float diameter, corner, step;
        float c[3], d[3];
        float reach;
    };
    const row rows[] = {
        {4, 2, 1, {1, 0, 0}, {1, 0, 0}, std::sqrt(12.0f)},
        {4, 2, 3, {1, 0, 0}, {1, 0, 0}, 2},
        {4, 0, 1, {1, 0, 0}, {1, 0, 0}, 4},
        {4, 0, 1, {1, 0, 0}, {0, 0, 1}, std::sqrt(12.0f)},
        {0, 0, 1, {1, 0, 0}, {1, 0, 0}, 0.01f},
    };
    for (const row& r : rows) {
        float reach = 0;
        cutter_reach(r.c, r.d, r.diameter, r.corner, r.step, reach);
        EXPECT_NEAR(reach, r.reach, 1e-4f) << r.diameter << " " << r.corner << " " << r.step;
    }
    float side[2] = {0, 2}, width = 0;
    const float across[3] = {1, 1, 0}, along[3] = {1, 0, 0};
    side_width(across, 2, side, 4, width);
    EXPECT_NEAR(width, std::sqrt(2.0f), 1e-5f);
    EXPECT_EQ(side[1], 1.0f) << "the side direction is made unit in place";
    side_width(along, 2, side, 4, width);
    EXPECT_EQ(width, 0.5f);
}

// The string method 1 of the pass engine runs srflin over the procedure's first part surface: the
// patch gives one string on the hatch line; without a parametric surface the line gives none.
TEST_F(Srflin, LineStringsOfTheEngineFollowTheProcedureSurface)
{
    curve_approx_words words;
    words.method = 1;
    words.tolerance = 0.01f;
    segment_job job;
    job.a[0] = 5, job.a[1] = 30, job.b[0] = 55, job.b[1] = 30;
    for (const std::vector<int>& surfaces : {std::vector<int>{kPatch}, std::vector<int>{}}) {
        ASSERT_TRUE(vantu::control::set_procedure_surfaces(0, surfaces));
        string_block out(200, kSrflinMostStrings);
        int gap = 0, status = 9;
        segment_strings(words, job, out, gap, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(out.total > 2, !surfaces.empty()) << out.total;
        for (int k = 0; k < out.total; ++k) EXPECT_NEAR(out.points[static_cast<std::size_t>(3 * k + 1)], 30.0f, 1e-3f);
    }
}
