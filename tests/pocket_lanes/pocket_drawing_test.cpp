// The pocket drawing over lane tables built by hand: the failure of an empty table, the
// start-finding mode, a chain whose ramp cannot be made, long lanes, lead markers; the corner
// loops, the open strings, the re-started closed path and the circle of a circular entry.
#include "lane_test_support.hpp"
#include "toolpath/motion_output_support.hpp"

#include "nc_services/machining_type.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/twirl_words.hpp"
#include "pocket/lane_table.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_lanes/corner_moves.hpp"
#include "pocket_lanes/entry/helix_entry.hpp"
#include "pocket_lanes/entry/lane_leads.hpp"
#include "pocket_lanes/entry/pocket_entry.hpp"
#include "pocket_lanes/entry/ramp_entry.hpp"
#include "pocket_lanes/moves/entry_bookkeeping.hpp"
#include "pocket_lanes/moves/open_strings.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"
#include "pocket_lanes/moves/twirl_spline.hpp"
#include "pocket_lanes/pocket_drawing.hpp"
#include "tools/tools_test_support.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

using namespace motion_test;

namespace {

// A planar pocket at Z -5 with the tool at the origin; the lane table empty and the main store
// open; cut lanes start at the lane after the engine lanes the test adds.
class Drawing : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        fresh_at({0, 0, 0});
        start_without_tool();
        int status = 0;
        POKREL(0, status);
        lane_table_reset();
        int size = 70000;
        PokAllocMainArray(size, 0, status);
        pocket_frame_block = pocket_frame{};
        point_mover() = point_mover_words{};
        pocket_links() = pocket_link_words{};
        proc_geometry_reset();
        pocket_state& ps = pocket_state_block;
        ps.pocket_dimension = 2;
        ps.current_z = -5;
        ps.z_step = 1;
        ps.approach_height = 3;
        ps.approach_clearance = 2;
        ps.direction_sign = 1;
        ps.offsets_mode = 99;
        ps.level_counter = 2;
        ps.order_flag = 1;
        ps.drawing_mode = 1;
        pocket_work_block.tolerance = 0.01;
        pocket_work_block.side_step = pocket_work_block.engine_step = 1.0;
    }
    void TearDown() override
    {
        int status = 0;
        lane_box_close(status);
        POKREL(1, status);
        proc_geometry_reset();
        open_strings_step_test() = step_usable_test;
        to_load_state();
        LaneTest::TearDown();
    }
    static void lane(int status, int level, const std::vector<xy>& points, int group = 0, int link2 = 0)
    {
        pokarr a = make_from(points);
        int st = 0;
        lane_add(status, level, 0, 0, link2, 0.0, 0, a, st);
        ASSERT_EQ(st, 0);
        lane_table_block.group[lane_table_block.count] = group;
        pokarr_free(a);
    }
    static void separator()
    {
        int st = 0;
        lane_add_separator(st);
        ASSERT_EQ(st, 0);
    }
    static int count_of(const std::vector<std::string>& s, const std::string& what)
    {
        return static_cast<int>(std::count(s.begin(), s.end(), what));
    }
};

const std::vector<xy> kSquare = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};

}  // namespace

TEST_F(Drawing, NoCutLaneIsAFailure)
{
    lane(0, 1, kSquare);
    separator();
    pocket_box_block.first_output_lane = 2;
    int status = 0;
    DRAWPK(0, 0, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{kDrawpkFailure});
    EXPECT_TRUE(steps().empty());
}

TEST_F(Drawing, FindStartModeOnlySetsThePathStart)
{
    lane(0, 1, kSquare);
    lane(0, 1, {{2, 3}, {8, 3}, {8, 7}});
    separator();
    pocket_box_block.first_output_lane = 2;
    pocket_state_block.start_point_entry = 1;
    pocket_state_block.drawing_mode = 1;
    int status = 7;
    drawpk_find_start(status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(steps().empty());
    EXPECT_EQ(pocket_state_block.path_start[0], 2.0);
    EXPECT_EQ(pocket_state_block.path_start[1], 3.0);
    EXPECT_EQ(pocket_state_block.drawing_mode, 1);
    EXPECT_EQ(pocket_state_block.start_point_entry, 0) << "find-start clears the start-point entry";
}

TEST_F(Drawing, ChainsAreEnteredLinkedAndWrittenInOrder)
{
    lane(0, 1, kSquare);
    lane(2, 1, {{2, 2}, {8, 2}, {8, 8}});
    lane(2, 1, {{8, 8}, {2, 8}});
    separator();
    lane(2, 1, {{4, 4}, {6, 4}});
    separator();
    pocket_box_block.first_output_lane = 2;
    int status = 7;
    DRAWPK(0, 0, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(errors().empty());
    const std::vector<std::string> s = steps();
    // Entry from above the first lane's start, then the lanes; the second chain is approached.
    const std::vector<std::string> want_tail = {"L(8,2,-5)", "L(8,8,-5)"};
    ASSERT_GE(s.size(), 4u);
    EXPECT_NE(std::find(s.begin(), s.end(), "L(2,2,-5)"), s.end());
    EXPECT_NE(std::search(s.begin(), s.end(), want_tail.begin(), want_tail.end()), s.end());
    EXPECT_EQ(s[s.size() - 2], "L(6,4,-5)");
    EXPECT_EQ(s.back(), "M4") << "the level ends with its marker";
    EXPECT_EQ(count_of(s, "M3"), 1) << "and starts with one";
    EXPECT_EQ(pocket_state_block.last_position[0], 6.0);
    EXPECT_EQ(count_of(texts("usmsgc"), "ENTRY POINT:"), 0) << "the entry point is reported at the first level only";
}

TEST_F(Drawing, AChainWhoseRampFailsIsSkippedAndTheLevelReports99)
{
    lane(0, 1, kSquare);  // an engine lane of status 0: no ramp lane qualifies
    lane(2, 1, {{2, 2}, {8, 2}});
    lane(2, 1, {{8, 2}, {8, 8}});
    separator();
    lane(2, 1, {{3, 3}, {7, 3}}, kGroupConnection);
    separator();
    pocket_box_block.first_output_lane = 2;
    pocket_state_block.ramp_flag = 1;
    pocket_state_block.ramp_angle = 10;
    int status = 0;
    DRAWPK(0, 0, status);
    EXPECT_EQ(status, kLaneNotEntered);
    const std::vector<std::string> s = steps();
    EXPECT_EQ(std::find(s.begin(), s.end(), "L(8,8,-5)"), s.end()) << "the failed chain is skipped";
    EXPECT_NE(std::find(s.begin(), s.end(), "L(3,3,-5)"), s.end()) << "the next chain is drawn";
}

TEST_F(Drawing, LongLanesAreReadWhole)
{
    for (const int n : {7000, 30000}) {
        SetUp();
        std::vector<xy> zigzag;
        for (int i = 0; i < n; ++i) zigzag.push_back({0.01 * i, (i % 2) * 0.5});
        lane(0, 1, kSquare);
        lane(2, 1, zigzag);
        separator();
        pocket_box_block.first_output_lane = 2;
        int status = 7;
        DRAWPK(0, 0, status);
        EXPECT_EQ(status, 0) << n;
        EXPECT_NEAR(pocket_state_block.last_position[0], 0.01 * (n - 1), 1e-4) << n;
        TearDown();
    }
    SetUp();
}

TEST_F(Drawing, LeadLanesGetPairedLeadMarkers)
{
    lane(0, 1, kSquare);
    lane(1, 1, {{2, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 2}});
    separator();
    lane(1, 1, {{4, 4}, {6, 4}, {6, 6}, {4, 6}, {4, 4}});
    separator();
    pocket_box_block.first_output_lane = 2;
    pocket_state_block.lead_mode = 1;  // lead values 0: leads without length
    int status = 7;
    DRAWPK(0, 0, status);
    EXPECT_EQ(status, 0);
    const std::vector<std::string> s = steps();
    for (const char* m : {"M9", "M10", "M11", "M12"}) EXPECT_EQ(count_of(s, m), 2) << m;
    EXPECT_TRUE(texts("usmsgc").empty() || count_of(texts("usmsgc"), kMissingMarkerWarning) == 0);
    EXPECT_EQ(marker_stack().top, -1) << "every lead bracket is closed";
}

TEST_F(Drawing, ApproachRetryFallsBackToAStraightLead)
{
    // A closed lane starting with an arc of radius 1 whose centre lies within the lead radius of
    // the lead arc's centre: the arc lead is refused, the straight one as long as the radius is
    // tried, and the lead mode is 2 again afterwards.
    std::vector<xy> lane_points = {{5, 0}};
    push_arc(lane_points, 1.0, 1.0, 5, 1, 6, 1);
    lane_points.insert(lane_points.end(), {{6, 6}, {0, 6}, {0, 0}, {5, 0}});
    lane(0, 1, {{-5, -5}, {15, -5}, {15, 15}, {-5, 15}, {-5, -5}});
    lane(1, 1, lane_points);
    separator();
    pocket_box_block.first_output_lane = 2;
    pocket_state_block.lead_mode = 2;
    pocket_state_block.lead_values[0] = 2.0;
    int result = 0, found = 0, status = 0;
    double point[2] = {}, centre[2] = {}, direction = 0.0;
    approach_retry(0, result, 13, 2, static_cast<int>(lane_points.size()),
                   reinterpret_cast<const double*>(lane_points.data()), point, centre, direction, found, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(result == kApproachStraightOnly || result == kApproachNone) << result;
    EXPECT_EQ(pocket_state_block.lead_mode, 2);
    EXPECT_EQ(pocket_state_block.lead_values[1], 0.0);
}

TEST_F(Drawing, CornerTestQualifiesTurnsToTheSwitchSide)
{
    // The third point of a path along x to (10, 0) that turns by `degrees` to the switch side
    // (1 to the right).
    const auto turn = [](double degrees, int sw) {
        const double a = degrees * std::numbers::pi / 180.0;
        return xy{10.0 + 10.0 * std::cos(a), -sw * 10.0 * std::sin(a)};
    };
    struct row {
        xy third;
        int sw;
        bool qualifies;
    } rows[] = {
        {{10, -10}, 1, true},                                                          // right turn of 90 degrees
        {{10, 10}, 1, false},                                                          // left turn
        {{10, 10}, -1, true},      {{10, -10}, -1, false},      {{20, -1}, 1, false},  // a turn of about 6 degrees
        {{0, -5}, 1, true},                                                            // a turn of 135 degrees
        {{20, 0}, 1, false},                                                           // straight on
        {turn(44.9, 1), 1, false}, {turn(45.0, 1), 1, true},  // a turn of exactly 45 degrees is a corner
        {turn(45.1, 1), 1, true},  {turn(44.9, -1), -1, false}, {turn(45.0, -1), -1, true}, {turn(45.1, -1), -1, true},
    };
    for (const row& r : rows) {
        const double slots[6] = {0, 0, 10, 0, r.third.x, r.third.y};
        corner_directions d;
        EXPECT_EQ(corner_test(slots, 3, r.sw, d), r.qualifies) << r.third.x << "," << r.third.y << " " << r.sw;
        EXPECT_FALSE(corner_test(slots, 3, 0, d)) << "other switch values never qualify";
    }
}

TEST_F(Drawing, CornerLoopCirclesTouchAndCloseOnTheCorner)
{
    struct row {
        xy third;
        double big_share;  // R / s
    } rows[] = {{{10, -10}, 4.0}, {{0, -5}, 2.0}, {{3, -10}, 2.0}};
    const double s = 0.5;
    for (const row& r : rows) {
        const double slots[6] = {0, 0, 10, 0, r.third.x, r.third.y};
        corner_directions d;
        ASSERT_TRUE(corner_test(slots, 3, 1, d));
        double loop[2 * kCornerLoopSlots];
        const double corner[2] = {10, 0};
        corner_loop_build(d, corner, s, 1, loop);
        const double R = loop[2];
        EXPECT_DOUBLE_EQ(R, r.big_share * s);
        const double* A = loop + 4;
        const double* D = loop + 12;
        const double* B = loop + 28;
        EXPECT_NEAR(std::hypot(D[0] - A[0], D[1] - A[1]), R + s, 1e-9);
        EXPECT_NEAR(std::hypot(D[0] - B[0], D[1] - B[1]), R + s, 1e-9);
        EXPECT_NEAR(std::hypot(corner[0] - A[0], corner[1] - A[1]), R, 1e-9) << "the first arc leaves the corner";
        EXPECT_EQ(loop[30], corner[0]);
        EXPECT_EQ(loop[31], corner[1]);
        // Each arc's end lies on its circle.
        for (int a = 0; a < 4; ++a) {
            const double* rec = loop + 8 * a;
            EXPECT_NEAR(std::hypot(rec[6] - rec[4], rec[7] - rec[5]), rec[2], 1e-9) << a;
        }
    }
}

TEST_F(Drawing, CornerLoopsAreInsertedWhenFreeOnly)
{
    lane(1, 1, {{-20, -20}, {30, -20}, {30, 30}, {-20, 30}, {-20, -20}});
    lane(2, 1, {{0, 0}, {10, 0}, {10, -10}});
    pocket_box_block.first_output_lane = 2;
    curve_approx_words& ca = proc_geometry().curve_approx;
    ca.corner_size = 0.5f;
    ca.tolerance = 0.01f;
    std::vector<double> list = {0, 0, 10, 0, 10, -10};
    auto* points = static_cast<double*>(DM_ALLOC(sizeof(double) * 6));
    std::copy(list.begin(), list.end(), points);
    int count = 3, capacity = 3, status = 0;
    corner_moves_insert(points, count, 2, capacity, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(count, 3 + kCornerLoopSlots);
    EXPECT_GE(capacity, count);
    EXPECT_GT(points[4], 1e20) << "the loop follows the corner";
    EXPECT_EQ(points[2 * (1 + kCornerLoopSlots)], 10.0);
    EXPECT_EQ(points[2 * (1 + kCornerLoopSlots) + 1], 0.0);
    EXPECT_EQ(points[2 * (count - 1) + 1], -10.0);
    EXPECT_EQ(ca.corner_size, 0.5f) << "the corner size is restored";
    DM_FREE(points, 0);

    // A contour lane right beside the corner: every size collides, nothing is inserted.
    lane(1, 1, {{10.05, 5}, {10.05, -5}});
    points = static_cast<double*>(DM_ALLOC(sizeof(double) * 6));
    std::copy(list.begin(), list.end(), points);
    count = 3;
    capacity = 3;
    corner_moves_insert(points, count, 2, capacity, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count, 3);
    DM_FREE(points, 0);
    corner_box_store_release();
}

TEST_F(Drawing, OpenStringsFollowTheUsableSteps)
{
    // The step test blocks the band 4 < x < 6; a tool without diameter walks in steps of 0.05.
    static int calls = 0;
    static double lo = 4, hi = 6;
    open_strings_step_test() = [](const pokarr&, int, double x, double, double, double, const lane_point_index&,
                                  int& code, int& usable, int& status) {
        ++calls;
        code = 0;
        status = 0;
        usable = (x > lo && x < hi) ? 0 : 1;
    };
    const double line[4] = {0, 0, 20, 0};
    int counts[kOpenStringsMost + 2] = {0, 2};
    int strings = 1, status = 0;
    open_string_store store;
    const double reference[2] = {0, 0};
    chkocont(0, 1, -5, 50, 0.01, line, strings, counts, reference, store, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(strings, 2);
    const double* p = static_cast<const double*>(mmcptr(store.handle));
    EXPECT_EQ(p[0], 0.0);
    EXPECT_NEAR(p[2 * (counts[1] - 1)], 4.0, 0.05);
    EXPECT_NEAR(p[2 * counts[1]], 6.0, 0.05);
    EXPECT_EQ(p[2 * (counts[1] + counts[2] - 1)], 20.0);
    EXPECT_GE(calls, 400) << "steps of 0.05 over 20";

    // Mode -1 asks nothing and gives the lane itself.
    calls = 0;
    counts[1] = 2;
    strings = 1;
    store.fill = 0;
    chkocont(kOpenStringsUntested, 1, -5, 50, 0.01, line, strings, counts, reference, store, status);
    EXPECT_EQ(calls, 0);
    ASSERT_EQ(strings, 1);
    EXPECT_EQ(counts[1], 2);

    // A usable run shorter than the step length gives no string.
    lo = 0.02;
    hi = 20.0;
    counts[1] = 2;
    strings = 1;
    chkocont(0, 1, -5, 50, 0.01, line, strings, counts, reference, store, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(strings, 0);
    int closed = 0;
    MM_CLOSE(store.handle, closed);
}

TEST_F(Drawing, TheFiftyFirstStringStopsTheSplit)
{
    open_strings_step_test() = [](const pokarr&, int, double x, double, double, double, const lane_point_index&,
                                  int& code, int& usable, int& status) {
        code = 0;
        status = 0;
        usable = static_cast<int>(std::floor(x)) % 2 == 0 ? 1 : 0;
    };
    const double line[4] = {0, 0, 120, 0};
    int counts[kOpenStringsMost + 2] = {0, 2};
    int strings = 1, status = 0;
    open_string_store store;
    chkocont(0, 1, -5, 50, 0.01, line, strings, counts, nullptr, store, status);
    EXPECT_EQ(status, kOpenStringsCut);
    EXPECT_EQ(strings, 50);
    const std::vector<std::string> e = errors();
    EXPECT_EQ(std::count(e.begin(), e.end(), std::string(kTooManyStrings)), 1);
    int closed = 0;
    MM_CLOSE(store.handle, closed);
}

TEST_F(Drawing, ClosedPathRestartsAtTheNearestPoint)
{
    std::vector<double> path = {0, 0, 10, 0, 10, 10, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    int count = 5;
    lane_start_at_point(5, 12, count, path.data());
    ASSERT_EQ(count, 6);
    const std::vector<double> want = {5, 10, 0, 10, 0, 0, 10, 0, 10, 10, 5, 10};
    EXPECT_EQ(std::vector<double>(path.begin(), path.begin() + 12), want);

    // Inside an arc: both halves keep the arc's record.
    std::vector<xy> e = {{10, 0}};
    push_arc(e, 10, 1, 0, 0, -10, 0);
    e.push_back({10, 0});
    std::vector<double> flat;
    for (const xy& q : e) flat.insert(flat.end(), {q.x, q.y});
    flat.resize(flat.size() + 8);
    count = static_cast<int>(e.size());
    lane_start_at_point(0, 20, count, flat.data());
    ASSERT_EQ(count, 10);
    EXPECT_NEAR(flat[0], 0.0, 1e-9);
    EXPECT_NEAR(flat[1], 10.0, 1e-9);
    EXPECT_GT(flat[2], 1e20);
    EXPECT_GT(flat[2 * 6], 1e20) << "the arc's record again before the found point";
    EXPECT_NEAR(flat[2 * 9 + 1], 10.0, 1e-9);

    // An open path is left alone.
    std::vector<double> open = {0, 0, 1, 0, 2, 0};
    count = 3;
    lane_start_at_point(1, 1, count, open.data());
    EXPECT_EQ(count, 3);
    EXPECT_EQ(open[0], 0.0);
}

TEST_F(Drawing, CircleEntryPointsLieOnTheCircle)
{
    ramp_entry_array out;
    int count = 0, status = 0;
    const double start[2] = {5, 0}, centre[2] = {0, 0}, up[2] = {0, 1}, down[2] = {0, -1};
    circle_entry_points(start, centre, 0.01, up, count, out, status);
    EXPECT_EQ(status, -1) << "a radius not above the tolerance";
    for (const double* dir : {up, down}) {
        circle_entry_points(start, centre, 5, dir, count, out, status);
        ASSERT_EQ(status, 0);
        const double* p = static_cast<const double*>(mmcptr(out.handle));
        const int n = count - 1;
        EXPECT_EQ(n, static_cast<int>(2 * std::acos(-1.0) / (2 * std::acos(1 - 0.5 * 0.01 / 5)) + 1));
        for (int k = 0; k < count; ++k) EXPECT_NEAR(std::hypot(p[2 * k], p[2 * k + 1]), 5.0, 1e-9);
        EXPECT_EQ(p[0], p[2 * n]);
        // Counter-clockwise when the centre lies to the left of the direction.
        const double cross = dir[0] * (centre[1] - start[1]) - dir[1] * (centre[0] - start[0]);
        EXPECT_EQ(p[3] > 0.0, cross > 0.0);
    }
    MM_CLOSE(out.handle, status);
}

TEST_F(Drawing, RampLaneOfASingleEngineLaneIsTakenDirectly)
{
    lane(2, 1, kSquare);
    lane(2, 1, {{2, 2}, {8, 2}}, 0, 1);
    separator();
    pocket_box_block.first_output_lane = 2;
    pocket_state_block.ramp_angle = 0;  // no lane reaches the ramp length
    ramp_entry_array out;
    int lane_no = 2, status = 0;
    const double p[2] = {3, 3};
    ramp_entry_calc(1, p, lane_no, out, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(lane_no, 1);
    EXPECT_EQ(out.used, 10);
    MM_CLOSE(out.handle, status);
}

TEST_F(Drawing, TwirlSplineOnlyWithBothEnableWords)
{
    twirl_state& t = twirl();
    t.start[2] = -5;
    t.start_direction[0] = 1;
    t.end[0] = 10;
    t.end[1] = 5;
    t.end[2] = -5;
    t.end_direction[1] = 1;
    twirl_made_set(0);
    proc_geometry().curve_approx.tolerance = 0.01f;
    double length = 12;
    int status = 7;
    t.enable[0] = 1;
    twirl_spline_show(0, length, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(steps().empty()) << "one enable word 0: nothing";
    EXPECT_EQ(twirl_made_get(), 0);

    t.enable[1] = 1;
    length = 0;
    twirl_spline_show(0, length, status);
    EXPECT_EQ(status, 0) << "a length of 0 ends at the first try";
    EXPECT_TRUE(steps().empty());

    // Mode 1 takes lead value 2 as the length; a failed spline is tried three times more.
    pocket_state_block.lead_values[1] = 12;
    vantu::control::inject_fault("get_twirl_spline", 1, 4, 1);
    twirl_spline_show(1, length, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(length, 12.0);
    vantu::control::clear_faults();
    twirl_spline_show(1, length, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(twirl_made_get(), 1);
    const std::vector<std::string> s = steps();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0][0], 'N');
    twirl_flags_reset();
    EXPECT_EQ(t.enable[0] + t.enable[1], 0);
}

TEST_F(Drawing, EntryMotionFromWhereTheToolStands)
{
    const double start[2] = {2, 2};
    const double lane_points[4] = {2, 2, 8, 2};
    entry_approach approach;
    struct row {
        point3 tool;
        int level;
        int start_entry;
        std::vector<std::string> want;
        int entry_points;  // "ENTRY POINT:" lines
    } rows[] = {
        // The tool at the lane start: no approach (the feed move there has no length).
        {{2, 2, -5}, 2, 0, {}, 0},
        // From elsewhere: over the approach height above the start and down onto it; the entry
        // point is reported at the first level only.
        {{0, 0, 0}, 1, 0, {"F-1", "L(0,0,50)", "L(2,2,50)", "L(2,2,-2)", "F50", "L(2,2,-5)"}, 1},
        {{0, 0, 0}, 2, 0, {"F-1", "L(0,0,50)", "L(2,2,50)", "L(2,2,-2)", "F50", "L(2,2,-5)"}, 0},
        // An indicated start point equal to the path start: no start-point move.
        {{0, 0, 0}, 2, 1, {"F-1", "L(0,0,50)", "L(2,2,50)", "L(2,2,-2)", "F50", "L(2,2,-5)"}, 0},
    };
    for (const row& r : rows) {
        fresh_at(r.tool);
        pocket_state_block.level_counter = r.level;
        pocket_state_block.start_point_entry = r.start_entry;
        pocket_state_block.start_point[0] = 2;
        pocket_state_block.start_point[1] = 2;
        int plunge = 1, status = 7;
        pocket_entry_motion(0, 0, 0, 1, 0, 13, 2, start, 2, lane_points, plunge, approach, status);
        EXPECT_EQ(status, 0) << r.level;
        std::vector<std::string> s = steps();
        EXPECT_EQ(s, r.want) << r.tool[0] << " level " << r.level;
        EXPECT_EQ(feed_mode(), 1);
        EXPECT_EQ(plunge, 0);
        EXPECT_EQ(pocket_state_block.path_start[0], 2.0);
        int shown = 0;
        for (const std::string& t : texts("usmsgc")) shown += t.rfind("ENTRY POINT:", 0) == 0 ? 1 : 0;
        EXPECT_EQ(shown, r.entry_points) << r.level;
        EXPECT_EQ(pocket_state_block.start_point_entry, r.start_entry) << "the flag is put back";
    }
}

TEST_F(Drawing, HelixFindsAFreeCircleInTheRegion)
{
    int status = 0;
    polbuf_open_all(2, kPolbufStepWords, status);
    ASSERT_EQ(status, 0);
    int five = 5;
    polbuf_select(0, five, status);
    const xy region[5] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0}};
    polbuf_set_np(1, 5, status);
    for (int i = 0; i < 5; ++i) polbuf_set_point(1, i + 1, float(region[i].x), float(region[i].y), status);
    polbuf_set_npol(1, status);
    int zero = 0;
    polbuf_select(0, zero, status);
    const double start[2] = {10, 2}, along[2] = {1, 0};
    double centre[2] = {}, circle_start[2] = {}, radius = 0;
    int sense = 0;
    // A helix below a tenth of the tool's diameter is no helix: the radius comes from the run's
    // start.
    struct row {
        double helix;
        float mill_diameter;  // below 0: no tool
        int want;
        double radius;  // 0: 0.9 of the free radius
    } rows[] = {
        {5, -1.0f, kHelixFound, 5}, {50, -1.0f, kHelixFound, 0}, {5, 40.0f, kHelixFound, 5}, {5, 60.0f, kNoHelix, 0}};
    for (const row& r : rows) {
        std::optional<tools_test::held_tool> tool;
        if (r.mill_diameter >= 0.0f) tool.emplace(kMill, r.mill_diameter);
        set_pocket_tool_radius();
        pocket_state_block.helix_radius = r.helix;
        helix_entry_calc(start, along, centre, circle_start, radius, sense, status);
        ASSERT_EQ(status, r.want) << r.helix << " with a mill of " << r.mill_diameter;
        if (status == kNoHelix) continue;
        EXPECT_EQ(sense, -1);
        if (r.radius > 0)
            EXPECT_DOUBLE_EQ(radius, r.radius);
        else
            EXPECT_LT(radius, 10.0);
        EXPECT_NEAR(std::hypot(centre[0] - circle_start[0], centre[1] - circle_start[1]), radius, 1e-9);
        // The circle stays in the square.
        EXPECT_GE(std::min({centre[0], centre[1], 20 - centre[0], 20 - centre[1]}), radius - 1e-6) << r.helix;
    }
    // No room at all: a start on the boundary line's far side.
    const double outside[2] = {10, 25};
    pocket_state_block.helix_radius = 5;
    helix_entry_calc(outside, along, centre, circle_start, radius, sense, status);
    EXPECT_EQ(status, kNoHelix);
    polbuf_release_all(kPolbufClose, status);
    polbuf_block = polbuf_state{};
}

TEST_F(Drawing, StringListsRotateAndLoseTinyEnds)
{
    std::vector<double> points = {0, 0, 1, 0, 2, 2, 3, 2, 4, 2};
    int counts[3] = {0, 2, 3};
    open_strings_rotate(1, counts, 2, points.data());
    EXPECT_EQ(counts[1], 3);
    EXPECT_EQ(counts[2], 2);
    EXPECT_EQ(points, (std::vector<double>{2, 2, 3, 2, 4, 2, 0, 0, 1, 0}));

    std::vector<double> ends = {0, 0, 5, 0, 5.003, 0, 5.004, 0, 0, 0, 1, 1, 1, 1.002, 0, 0};
    int n[3] = {0, 4, 4};  // an open string with a tiny end, a closed one
    open_strings_trim_ends(n, 2, ends.data());
    EXPECT_EQ(n[1], 2);
    EXPECT_EQ(n[2], 4) << "a closed string keeps its points";
    EXPECT_EQ(std::vector<double>(ends.begin(), ends.begin() + 4), (std::vector<double>{0, 0, 5.004, 0}));
    EXPECT_EQ(ends[4 + 5], 1.002);
}

TEST_F(Drawing, LaneStartMoveMessagesAndMarkers)
{
    const double lane_points[4] = {2, 3, 8, 3};
    const double approach[2] = {2, 1}, centre[2] = {0, 0};
    struct row {
        int result, code;
        std::string message;  // "" none
    } rows[] = {
        {kApproachFound, 0, ""},
        {kApproachStraightOnly, 0, "message 331/42 X = 2.0000 Y = 3.0000"},
        {kApproachNone, 0, "message 331/43 X = 2.0000 Y = 3.0000"},
        {kApproachStraightOnly, 48, ""},
        {kApproachNone, 48, ""},
    };
    for (const row& r : rows) {
        fresh_at({2, 1, -5});
        vantu::control::set_flag("nc_sub_code", r.code);
        pocket_state_block.lead_mode = 1;
        pocket_work_block.lead_rise = 0.5;
        int status = 7;
        lane_start_move(r.result, 12, 2, lane_points, nullptr, approach, centre, 1.0, 0, status);
        EXPECT_EQ(status, 0);
        const std::vector<std::string> m = vantu::control::lines_of("msg_mdls");
        EXPECT_EQ(m.empty() ? std::string() : m.front(), r.message) << r.result << " " << r.code;
        const std::vector<std::string> s = steps();
        ASSERT_FALSE(s.empty());
        EXPECT_EQ(count_of(s, "M9"), 1);
        EXPECT_EQ(s.back(), "M10");
        EXPECT_EQ(pocket_work_block.lead_height, 0.0) << "no lead height after the lead";
    }
    vantu::control::set_flag("nc_sub_code", 0);
}

TEST_F(Drawing, ArcLeadOutOverrunsOnlyWithAPercentage)
{
    const double lane_points[4] = {5, 5, 15, 5};
    std::size_t with_overrun = 0;
    for (const int overrun : {10, 0}) {
        SetUp();  // a fresh host, then the lanes (a host reset gives their store back)
        lane(0, 1, {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0}});
        lane(1, 1, {{5, 5}, {15, 5}});
        pocket_box_block.first_output_lane = 3;
        DSP8().set_vec(tool_position_state::kPosition, {5, 5, -5});
        pocket_state_block.lead_mode = 2;
        pocket_state_block.lead_values[0] = 1.0;
        pocket_state_block.entry_shift = overrun;
        int status = 7;
        lane_lead_out(0, 21, 2, 2, 2, lane_points, nullptr, status);
        EXPECT_EQ(status, 0) << overrun;
        const std::vector<std::string> s = steps();
        ASSERT_GE(s.size(), 3u);
        EXPECT_EQ(s.front(), "M11");
        EXPECT_EQ(s.back(), "M12");
        EXPECT_EQ(pocket_state_block.lead_mode, 2);
        EXPECT_EQ(s[1], "A(16,6,-5)") << "the quarter arc out of the lane end";
        if (overrun > 0) {
            EXPECT_EQ(s[2], "L(15.9,5.9,-5)") << "a tenth of the way back";
            with_overrun = s.size();
        } else {
            EXPECT_EQ(s.size() + 1, with_overrun) << "no overrun move without a percentage";
        }
        TearDown();
    }
    SetUp();
}

TEST_F(Drawing, ContourPassLanesAreCutAsOpenStrings)
{
    open_strings_step_test() = [](const pokarr&, int, double x, double, double, double, const lane_point_index&,
                                  int& code, int& usable, int& status) {
        code = 0;
        status = 0;
        usable = (x > 8 && x < 12) ? 0 : 1;
    };
    lane(0, 1, kSquare);
    lane(1, 1, {{0, 5}, {20, 5}});
    separator();
    pocket_box_block.first_output_lane = 2;
    machining_type() = 13;
    pocket_state_block.contour_pass = 1;
    pocket_state_block.lead_mode = 1;
    int status = 7;
    DRAWPK(0, 0, status);
    EXPECT_EQ(status, 0);
    const std::vector<std::string> s = steps();
    // Two strings, each a chain of its own with its lead bracket; nothing is cut across the band.
    EXPECT_EQ(count_of(s, "M9"), 2);
    EXPECT_EQ(count_of(s, "M12"), 2);
    EXPECT_EQ(count_of(s, "L(20,5,-5)"), 1);
    for (const std::string& step : s) {
        if (step.rfind("L(", 0) != 0) continue;
        const double x = std::stod(step.substr(2));
        EXPECT_FALSE(x > 8.1 && x < 11.9) << step;
    }
    machining_type() = 0;
}

TEST_F(Drawing, RampLaneSearchKeepsTheLowerOfEqualScores)
{
    int status = 0;
    polbuf_open_all(2, kPolbufStepWords, status);
    ASSERT_EQ(status, 0);
    int five = 5;
    polbuf_select(0, five, status);
    const xy region[5] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0}};
    polbuf_set_np(1, 5, status);
    for (int i = 0; i < 5; ++i) polbuf_set_point(1, i + 1, float(region[i].x), float(region[i].y), status);
    polbuf_set_npol(1, status);
    int zero = 0;
    polbuf_select(0, zero, status);
    pocket_state_block.ramp_angle = 0;
    const double p[2] = {10, 10};
    struct row {
        double right_length;
        int want;
    } rows[] = {{10, 2}, {12, 3}, {8, 2}};
    for (const row& r : rows) {
        lane_table_reset();
        lane(0, 1, {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0}});
        lane(2, 1, {{5, 5}, {5, 15}});
        lane(2, 1, {{15, 10 - r.right_length / 2}, {15, 10 + r.right_length / 2}});
        lane(2, 1, {{4, 4}, {6, 4}});  // the cut lane, without a second link
        separator();
        pocket_box_block.first_output_lane = 4;
        ramp_entry_array out;
        int chosen = 4;
        ramp_entry_calc(1, p, chosen, out, status);
        EXPECT_EQ(status, 0) << r.right_length;
        EXPECT_EQ(chosen, r.want) << r.right_length;
        MM_CLOSE(out.handle, status);
    }
    polbuf_release_all(kPolbufClose, status);
    polbuf_block = polbuf_state{};
}

TEST_F(Drawing, DebugDisplaysShowStepsAndTwirlDirectionsInTheirColours)
{
    // Steps in the band 4 < x < 6 are rejected; each tested step becomes a point in its colour.
    open_strings_step_test() = [](const pokarr&, int, double x, double, double, double, const lane_point_index&,
                                  int& code, int& usable, int& status) {
        code = status = 0;
        usable = (x > 4 && x < 6) ? 0 : 1;
    };
    open_strings_debug_block = {2, 3};
    const double line[4] = {0, 0, 10, 0};
    int counts[kOpenStringsMost + 2] = {0, 2};
    int strings = 1, status = 0;
    open_string_store store;
    chkocont(0, 1, -5, 50, 0.01, line, strings, counts, nullptr, store, status);
    open_strings_debug_block = {};
    MM_CLOSE(store.handle, status);
    int rejected = 0, accepted = 0;
    for (const int id : vantu::control::displayed_entities()) {
        const auto points = vantu::control::curve_display_points(id);
        ASSERT_EQ(points.size(), 1u);
        EXPECT_EQ(points[0][2], -5.0);
        const bool inside_band = points[0][0] > 4 && points[0][0] < 6;
        EXPECT_EQ(vantu::control::get_entity(id)->attributes.at("CO"), inside_band ? 2 : 3) << points[0][0];
        ++(inside_band ? rejected : accepted);
    }
    EXPECT_GT(rejected, 10);
    EXPECT_GT(accepted, 10);

    // A twirl direction: a line of the given length along the direction, in the twirl colour.
    const int shown = static_cast<int>(vantu::control::displayed_entities().size());
    const double at[3] = {1, 2, 3}, direction[3] = {0, 1, 0};
    twirl_direction_show(at, 3.0, direction);
    const std::vector<int> ids = vantu::control::displayed_entities();
    ASSERT_EQ(static_cast<int>(ids.size()), shown + 1);
    const auto ends = vantu::control::curve_display_points(ids.back());
    EXPECT_EQ(ends, (std::vector<vantu::control::point3>{{1, 2, 3}, {1, 5, 3}}));
    EXPECT_EQ(vantu::control::get_entity(ids.back())->attributes.at("CO"), 6);
}

// A drawing that fails part-way (a host call of its buffers or of the motion output fails at
// one call after another) gives back what it took, level after level: plain lanes, a ramp, lead
// lanes and a contour pass cut as open strings.
TEST_F(Drawing, AFailedDrawingReleasesItsArraysAtEveryLevel)
{
    const char* const calls[] = {"lcreat", "DM_ALLOC", "MM_OPEN_ARRAY"};
    for (const char* call : calls) {
        for (int config = 0; config < 4; ++config) {
            int failures = 0;
            for (int k = 1; k <= 20; ++k) {
                TearDown();
                SetUp();
                open_strings_step_test() = [](const pokarr&, int, double x, double, double, double,
                                              const lane_point_index&, int& code, int& usable, int& status) {
                    code = 0;
                    status = 0;
                    usable = (x > 8 && x < 12) ? 0 : 1;
                };
                // The engine lane is the ramp's: every chain's second link names it.
                const int lead = config >= 2 ? 1 : 2;
                lane(2, 1, {{-1, -1}, {21, -1}, {21, 11}, {-1, 11}, {-1, -1}});
                lane(lead, 1, {{0, 5}, {20, 5}, {20, 8}, {0, 8}, {0, 5}}, 0, 1);
                lane(2, 1, {{2, 6}, {15, 6}}, 0, 1);
                separator();
                lane(2, 1, {{4, 7}, {6, 7}}, 0, 1);
                separator();
                pocket_box_block.first_output_lane = 2;
                pocket_state_block.ramp_flag = config == 1 ? 1 : 0;
                pocket_state_block.ramp_angle = config == 1 ? 10 : 90;
                pocket_state_block.lead_mode = config >= 2 ? 1 : 0;
                pocket_state_block.contour_pass = config == 3 ? 1 : 0;
                machining_type() = config == 3 ? 13 : 0;
                int status = 7;
                DRAWPK(0, 0, status);  // the first level opens what the run keeps
                for (int level = 0; level < 3; ++level) {
                    const int arrays = vantu::control::open_array_count(), blocks = vantu::control::open_block_count();
                    vantu::control::inject_fault(call, k, 1, -1);
                    DRAWPK(0, 0, status);
                    vantu::control::clear_faults();
                    failures += status < 0 ? 1 : 0;
                    EXPECT_EQ(vantu::control::open_array_count(), arrays) << call << " " << k << ", config " << config;
                    EXPECT_EQ(vantu::control::open_block_count(), blocks) << call << " " << k << ", config " << config;
                }
                machining_type() = 0;
            }
            EXPECT_GT(failures, 0) << call << ", config " << config << ": the faults must fail the drawing";
        }
    }
}
