// The point mover and the lane output: what each move kind writes (approach from the clearance
// level, wire descent, lead-in marker, nothing for unknown kinds), the lead-height profiles, the
// entry point of the first level and whole lanes with arcs.
#include "lane_test_support.hpp"
#include "toolpath/motion_output_support.hpp"

#include "nc_services/machining_type.hpp"
#include "nc_services/nc_entr.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket_lanes/moves/entry_bookkeeping.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"

#include <cmath>
#include <string>
#include <vector>

using namespace motion_test;

namespace {

// The level at z -5 with a clearance of 2 and a Z step of 1; the test machine of the motion
// tests (clearance 50, incremental height 5, clearance plane on).
class PointMover : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        start_at({0, 0, 0});
        start_without_tool();
    }
    void TearDown() override
    {
        int status = 0;
        nc_entr_rel(status);
        int cleared = 0;
        entpnt_flag_gs(2, cleared);
        proc_geometry_reset();
        machining_type() = 0;
        to_load_state();
        LaneTest::TearDown();
    }
    static void start_at(const point3& tool)
    {
        fresh_at(tool);
        point_mover() = point_mover_words{};
        pocket_links() = pocket_link_words{};
        pocket_state_block.current_z = -5;
        pocket_state_block.z_step = 1;
        pocket_state_block.approach_clearance = 2;
        pocket_state_block.direction_sign = 1;
        pocket_state_block.offsets_mode = 99;
        pocket_state_block.level_counter = 2;
    }
};

const double kFrom[3] = {10, 0, 0}, kTo[3] = {20, 0, 0};

std::string joined(const std::vector<std::string>& v)
{
    std::string s;
    for (const std::string& x : v) s += x + " ";
    return s;
}

}  // namespace

TEST_F(PointMover, WhatEachKindWrites)
{
    struct row {
        int kind;
        point3 tool;
        int nc_code;
        float stored_height;
        std::string want;
    } rows[] = {
        // The full approach: rapid over the clearance plane to the clearance above the point, the
        // plunge at feed mode 3, the move to the to-point.
        {3, {0, 0, 0}, 0, -1e10f, "F-1 L(0,0,50) L(10,0,50) F100 L(10,0,-3) F50 L(10,0,-5) F100 L(20,0,-5) "},
        // The tool already at the from-point: no approach.
        {3, {10, 0, -5}, 0, -1e10f, "L(20,0,-5) "},
        // The wire machines end the string and come down from the stored approach height.
        {3, {0, 0, 0}, 34, -2.0f, "F77 L(0,0,50) L(10,0,50) L(10,0,0) F50 L(10,0,-5) F100 L(20,0,-5) "},
        {3, {10, 0, 0}, 38, -1e10f, "L(10,0,-3) F50 L(10,0,-5) F100 L(20,0,-5) "},
        // A lead-in marks its start before the move to the to-point; kind 2 does not.
        {12, {0, 0, 0}, 0, -1e10f, "L(10,0,-5) M9 L(20,0,-5) "},
        {2, {0, 0, 0}, 0, -1e10f, "L(10,0,-5) L(20,0,-5) "},
        {1, {0, 0, 0}, 0, -1e10f, "L(20,0,-5) "},
        {11, {0, 0, 0}, 0, -1e10f, "L(20,0,-5) "},
        {21, {0, 0, 0}, 0, -1e10f, "L(20,0,-5) "},
        {4, {0, 0, 0}, 0, -1e10f, ""},
        {10, {0, 0, 0}, 0, -1e10f, ""},
        {20, {0, 0, 0}, 0, -1e10f, ""},
    };
    for (const row& r : rows) {
        start_at(r.tool);
        vantu::control::set_flag("nc_sub_code", r.nc_code);
        pocket_work_block.stored_approach_height = r.stored_height;
        int status = 7;
        pocket_approach(r.kind, 2, kFrom, kTo, status);
        EXPECT_EQ(status, 0) << r.kind;
        EXPECT_EQ(joined(steps()), r.want) << "kind " << r.kind << " code " << r.nc_code;
        EXPECT_EQ(point_mover().level_drawn, r.kind % 10 == 3 ? 1 : 0) << r.kind;
    }
}

TEST_F(PointMover, LeadHeightProfiles)
{
    const double h = 2.0;
    pocket_work_block.lead_height = h;
    struct row {
        int kind;       // 0: the straight line; otherwise the arc's kind
        double end[3];  // to-point (line) or arc end
        double angle;   // arc sweep
        int count;
        bool falling;
    } rows[] = {
        {0, {20, 0, -5}, 0, 10, true},        {0, {10, 0, -5}, 0, 3, true},  // x and y coincide
        {12, {5, 5, -5}, M_PI / 2, 10, true},                                // a lead-in comes down onto the lane
        {2, {5, 5, -5}, M_PI / 2, 10, false},                                // a lead-out rises off it
        {2, {10, 0, -5}, 0.0, 3, false},
    };
    const double start[3] = {10, 0, -5}, centre[3] = {5, 0, -5};
    for (const row& r : rows) {
        lead_pieces p{};
        int count = 0, status = 7;
        if (r.kind == 0)
            lead_height_line(start, r.end, count, p, status);
        else
            lead_height_arc(r.kind, centre, start, r.end, r.angle, count, p, status);
        EXPECT_EQ(status, 0);
        ASSERT_EQ(count, r.count) << r.kind;
        const int n = count - 1;
        for (int i = 0; i <= n; ++i) {
            const auto& q = p[static_cast<std::size_t>(i)];
            const double share = r.falling ? static_cast<double>(n - i) / n : static_cast<double>(i) / n;
            EXPECT_NEAR(q[2], r.end[2] + h * (1.0 - std::sqrt(1.0 - share * share)), 1e-12) << r.kind << " " << i;
            if (r.kind == 0) {
                EXPECT_NEAR(q[0], start[0] + (r.end[0] - start[0]) * i / n, 1e-12);
            } else {
                EXPECT_NEAR(std::hypot(q[0] - centre[0], q[1] - centre[1]), 5.0, 1e-12) << "on the arc";
                EXPECT_NEAR(std::atan2(q[1], q[0] - centre[0]), r.angle * i / n, 1e-12);
            }
        }
    }
}

TEST_F(PointMover, LeadInComesDownAndLeadOutRises)
{
    struct row {
        int kind;
        std::string first, last;  // the first and last move of the profile
        int profile_moves;
    } rows[] = {
        // From the clearance to the lead height, the marker, then down the quarter circle (its
        // first point is where the tool stands).
        {13, "L(11.1111,0,-3.91625)", "L(20,0,-5)", 9},
        // Kind 2 comes down along the profile onto the to-point before the marker.
        {12, "L(10,0,-3)", "L(20,0,-5)", 10},
        // Kind 1 with a profile rises from the from-point to the lead height over the to-point.
        {21, "L(10,0,-5)", "L(20,0,-3)", 10},
    };
    for (const row& r : rows) {
        start_at({0, 0, 0});
        pocket_work_block.lead_height = 2;
        int status = 7;
        pocket_approach(r.kind, 2, kFrom, kTo, status);
        EXPECT_EQ(status, 0);
        std::vector<std::string> lines;
        for (const std::string& s : steps())
            if (s[0] == 'L') lines.push_back(s);
        ASSERT_GE(lines.size(), static_cast<std::size_t>(r.profile_moves)) << joined(steps());
        EXPECT_EQ(lines[lines.size() - static_cast<std::size_t>(r.profile_moves)], r.first) << joined(steps());
        EXPECT_EQ(lines.back(), r.last) << r.kind;
    }
}

TEST_F(PointMover, EntryPointOfTheFirstLevel)
{
    const std::string shown = "ENTRY POINT: X = 10.0000 Y = 0.0000 Z = -5.0000";
    struct row {
        int type, level, offsets_mode, pending, request;
        bool shown;
        int listed, pending_after;
    } rows[] = {
        {0, 1, 99, 1, 0, true, 0, 0},   {0, 1, 99, 0, 1, true, 0, 0},  // the stored request makes it pending
        {0, 1, 1, 1, 0, false, 0, 0},                                  // one offset per contour: not shown
        {13, 1, 99, 1, 0, true, 1, 0},                                 // listed
        {11, 1, 99, 0, 0, false, 0, 0},                                // type 11 with nothing pending: no look-up
        {0, 2, 99, 1, 0, false, 0, 1},                                 // not the first level
    };
    for (const row& r : rows) {
        start_at({0, 0, 0});
        vantu::control::clear_messages();
        int count = 0;
        nc_entr_reset(count);
        machining_type() = r.type;
        pocket_state_block.level_counter = r.level;
        pocket_state_block.offsets_mode = r.offsets_mode;
        point_mover().entry_pending = r.pending;
        int request = r.request;
        entpnt_flag_gs(2, request);
        int status = 7;
        pocket_approach(kApproachFull, 2, kFrom, kTo, status);
        EXPECT_EQ(status, 0);
        const std::vector<std::string> messages = texts("usmsgc");
        EXPECT_EQ(messages.size(), r.shown ? 1u : 0u) << r.type << " " << r.level;
        if (r.shown && !messages.empty()) {
            EXPECT_EQ(messages[0], shown);
        }
        EXPECT_EQ(nc_entr().count, r.listed) << r.type;
        EXPECT_EQ(point_mover().entry_pending, r.pending_after) << r.type << " " << r.level;
        entpnt_flag_gs(1, request);
        EXPECT_EQ(request, r.pending_after == 0 ? 0 : r.request) << r.type;
    }
}

TEST_F(PointMover, LanesElementByElement)
{
    // (0,0) - (10,0), a half circle counter-clockwise about (10,5) to (10,10), then (0,10).
    const std::vector<double> lane = {0, 0, 10, 0, 1e25, 0, 5, 1, 10, 5, 10, 10, 0, 10};
    struct row {
        int approach_only, kind, count, link_mode, link_source;
        std::string want;
        bool moved_last;
        int link;
    } rows[] = {
        {0, 2, 7, 2, 1, "L(0,0,-5) L(10,0,-5) A(10,10,-5) L(0,10,-5) ", true, 0},
        {0, 2, 7, 1, 1, "L(0,0,-5) L(10,0,-5) A(10,10,-5) L(0,10,-5) ", true, 1},
        {0, 2, 7, 1, 0, "L(0,0,-5) L(10,0,-5) A(10,10,-5) L(0,10,-5) ", true, 0},
        {0, 2, 1, 2, 0, "", false, 0},            // one point: nothing, last position kept
        {1, 2, 7, 2, 0, "L(0,0,-5) ", false, 0},  // a connection lane: its first point only
    };
    for (const row& r : rows) {
        start_at({0, 0, 0});
        proc_geometry().curve_approx.motion_link_mode = r.link_mode;
        pocket_links().link_source = r.link_source;
        for (double& v : pocket_state_block.last_position) v = 99;
        int status = 7;
        lane_end_link(r.approach_only, r.kind, 0, r.count, lane.data(), nullptr, 2, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(joined(steps()), r.want) << r.count << " " << r.approach_only;
        const double* last = pocket_state_block.last_position;
        if (r.moved_last) {
            EXPECT_EQ(last[0], 0.0);
            EXPECT_EQ(last[1], 10.0);
            EXPECT_EQ(last[2], -5.0);
        } else {
            EXPECT_EQ(last[0], 99.0);
        }
        EXPECT_EQ(pocket_links().link, r.link);
    }
}
