// The moves around a cut: the descent, the end-of-string retract, the rapid move through the
// retract level, the Z-up approach, the Z retract, their feed modes left in force, the feed-mode
// routines, the axis retract and the pending retract.
#include "motion_output_support.hpp"

#include "nc_services/segment_z_at_xy.hpp"
#include "toolpath/modal_setters.hpp"

#include <functional>

using namespace motion_test;

namespace {

const point3 kUp{0, 0, 1};
const point3 kP{10, 0, 0};

// The situation a row starts from.
struct situation {
    point3 at{0, 0, 0};
    int exec_mode = 1;
    int clearance_plane = 1;
    int use_absolute = 0;
    int nc_code = 0;
    int direct_link = 0;
    int initial_feed = 1;
};

void set_up(const situation& s)
{
    fresh_at(s.at);
    exec_display().mode = s.exec_mode;
    HEI8().at(heights_state::kClearancePlane) = s.clearance_plane;
    HEI8().at(heights_state::kUseAbsolute) = s.use_absolute;
    vantu::control::set_flag("nc_sub_code", s.nc_code);
    connect_params_block().direct_link = s.direct_link;
    set_mch_change_mode(s.initial_feed);
}

}  // namespace

TEST_F(MotionOutput, ApproachAndRetractMovesAndTheFeedModeLeftInForce)
{
    struct row {
        const char* name;
        situation from;
        std::function<int(int&)> call;  // answers the routine's result (STREND) or 0
        std::vector<std::string> steps;
        int feed_after;
        int answer = 0;
    };
    const auto plnzup = [](point3 p, float h) {
        return [=](int& st) {
            PLNZUP(1, p, kUp, h, st);
            return 0;
        };
    };
    const auto strend = [](int mode, float h) { return [=](int& st) { return STREND(1, kP, kUp, mode, h, st); }; };
    const auto fast2m = [](int dim, int final_feed, float h) {
        return [=](int& st) {
            int d = dim;
            FAST2M(d, kP, kUp, final_feed, h, st);
            return d;
        };
    };
    const auto zret = [](point3 p) {
        return [=](int& st) {
            ZRET(1, p, kUp, st);
            return 0;
        };
    };
    const row rows[] = {
        {"PLNZUP at P writes nothing", {{10, 0, 0}, 1, 1, 0, 0, 0, 4}, plnzup(kP, 5), {}, 1},
        {"PLNZUP with h 0: one rapid move", {{0, 0, 10}}, plnzup(kP, 0), {"F-1", "L(10,0,0)"}, 1},
        {"PLNZUP from above: feed in force, then mode 3",
         {{0, 0, 20}},
         plnzup(kP, 5),
         {"L(10,0,5)", "F50", "L(10,0,0)"},
         1},
        {"PLNZUP from below P.z + h: one mode-3 move", {{0, 0, 2}}, plnzup(kP, 5), {"F50", "L(10,0,0)"}, 1},
        {"STREND mode 0 writes nothing", {}, strend(0, 0), {}, 1, -3},
        {"STREND mode 4 writes nothing", {}, strend(4, 0), {}, 1, 1},
        {"STREND at the retract level: one move across", {{0, 0, 50}}, strend(3, 0), {"F-1", "L(10,0,50)"}, 4},
        {"STREND mode 1 at the stored feed", {}, strend(1, 0), {"F77", "L(0,0,50)", "L(10,0,50)"}, 27},
        {"STREND mode 2 from above: feed 1", {{0, 0, 60}}, strend(2, 0), {"L(10,0,60)", "L(10,0,50)"}, 1},
        {"STREND mode 2 climbing: rapid", {}, strend(2, 0), {"F-1", "L(0,0,50)", "L(10,0,50)"}, 4},
        // With the execution display mode 0 the machine parameters write rapid as the stored feed.
        {"STREND incremental above the higher point",
         {{0, 0, 2}, 0},
         strend(3, 0),
         {"F77", "L(0,0,7)", "L(10,0,7)"},
         27},
        {"STREND absolute height", {{0, 0, 2}, 0, 1, 1}, strend(3, 0), {"F77", "L(0,0,40)", "L(10,0,40)"}, 27},
        {"STREND short of the clearance plane: up, then over P",
         {{0, 0, 0}, 1, 0},
         strend(3, 3),
         {"F-1", "L(0,0,3)", "L(10,0,3)"},
         4},
        {"STREND short of the clearance plane over P: up only",
         {{10, 0, 0}, 1, 0},
         strend(3, 3),
         {"F-1", "L(10,0,3)"},
         4},
        {"STREND short of the clearance plane from above: across only",
         {{0, 0, 8}, 1, 0},
         strend(3, 3),
         {"F-1", "L(10,0,8)"},
         4},
        {"STREND of a surface function consumes L", {{0, 0, 0}, 0, 1, 0, 34, 1}, strend(3, 0), {}, 4, 1},
        {"STREND of a surface function links over the surfaces",
         {{0, 0, 0}, 0, 1, 0, 34, 0},
         strend(3, 0),
         {"F77", "L(0,0,5)", "L(10,0,5)"},
         27},
        {"FAST2M split: middle moves at the stored feed",
         {},
         fast2m(12, 0, 0),
         {"F-1", "L(0,0,50)", "F77", "L(10,0,50)", "F-1", "L(10,0,0)"},
         1,
         2},
        {"FAST2M with F: last move at feed 1",
         {},
         fast2m(1, 1, 0),
         {"F-1", "L(0,0,50)", "L(10,0,50)", "F100", "L(10,0,0)"},
         1,
         1},
        {"FAST2M off the clearance plane", {{0, 0, 0}, 1, 0}, fast2m(1, 0, 0), {"F-1", "L(10,0,0)"}, 1, 1},
        {"FAST2M with L: the higher of the tool and P + h",
         {{0, 0, 3}, 0, 1, 0, 0, 1},
         fast2m(1, 0, 2),
         {"F77", "L(10,0,3)", "L(10,0,0)"},
         1,
         1},
        {"FAST2M incremental", {{0, 0, 3}, 0}, fast2m(1, 0, 2), {"F77", "L(0,0,8)", "L(10,0,8)", "L(10,0,0)"}, 1, 1},
        {"ZRET to the clearance height", {}, zret({0, 0, 0}), {"F-1", "L(0,0,50)"}, 1},
        {"ZRET off the clearance plane writes nothing", {{0, 0, 0}, 1, 0}, zret({0, 0, 0}), {}, 1},
        {"ZRET incremental above P", {{0, 0, 0}, 0}, zret({0, 0, 2}), {"F77", "L(0,0,7)"}, 1},
        {"pline_rapid_toggle 2 leaves rapid",
         {},
         [](int& st) {
             pline_rapid_toggle(1, kP, kUp, 2, st);
             return 0;
         },
         {"L(10,0,0)"},
         4},
        {"pline_feed_mode3 leaves feed 1",
         {},
         [](int& st) {
             pline_feed_mode3(1, kP, kUp, st);
             return 0;
         },
         {"F50", "L(10,0,0)"},
         1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        set_up(r.from);
        int status = 0;
        const int answer = r.call(status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(answer, r.answer);
        EXPECT_EQ(steps(), r.steps);
        EXPECT_EQ(feed_mode(), r.feed_after);
    }
}

TEST_F(MotionOutput, ZUpApproachDescendsByD1AtFeedThree)
{
    struct row {
        const char* name;
        int nc_code;
        float d1;
        std::vector<std::string> steps;
    };
    const row rows[] = {
        {"D1 0: no feed-3 descent, the last move ends on P", 0, 0, {"F-1", "L(0,0,50)", "L(10,0,50)", "L(10,0,0)"}},
        {"D1 2: rapid to D1 above P, then feed 3",
         0,
         2,
         {"F-1", "L(0,0,50)", "L(10,0,50)", "L(10,0,2)", "F50", "L(10,0,0)"}},
        {"function 48: the approach block's height",
         48,
         0,
         {"F-1", "L(0,0,50)", "L(10,0,50)", "L(10,0,4)", "F50", "L(10,0,0)"}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        set_up({});
        vantu::control::set_flag("nc_sub_code", r.nc_code);
        connect_params_block().approach_distance = r.d1;
        approach_block_data.last = 4;
        int status = 0;
        ZAPR(1, kP, kUp, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(steps(), r.steps);
        EXPECT_EQ(feed_mode(), 1);
    }
}

TEST_F(MotionOutput, ClearanceWarningOncePerArmingAndDimensionThreeReported)
{
    set_up({{0, 0, 60}});
    int dimension = 3, status = 0;
    FAST2M(dimension, kP, kUp, 0, 0, status);
    DSP8().set_vec(tool_position_state::kPosition, {0, 0, 70});
    dimension = 1;
    FAST2M(dimension, {20, 0, 0}, kUp, 0, 0, status);
    EXPECT_EQ(texts("userrc"), std::vector<std::string>{"WARNING, CLEARANCE PLANE MIGHT BE TOO LOW"});
    EXPECT_EQ(texts("eroutc"), std::vector<std::string>{"FAST2M, ONLY DIM2/3 IS PERMITTED "});
    EXPECT_EQ(steps()[1], "L(10,0,60)") << "from above the retract level: across at the current z";

    // A failing move ends the routine with its status; the feed mode stays as it was set.
    set_up({});
    vantu::control::inject_fault("lcreat", 2, 1, -2);
    PLNZUP(1, kP, kUp, 5, status);
    EXPECT_LT(status, 0);
    EXPECT_EQ(feed_mode(), 3);
}

TEST_F(MotionOutput, DownFeedSwitchAndAxisAndPendingRetracts)
{
    struct row {
        const char* name;
        int state;
        int feed_in_force;
        float target_z;
        int state_after;
        int feed_after;
    };
    const row rows[] = {
        {"falling at the base feed: down feed", 0, 1, -1, 1, 26},  {"falling at rapid: down feed", 0, 4, -1, 1, 26},
        {"falling at a slower feed: kept", 0, 26, -1, 0, 26},      {"level: nothing", 0, 1, 0, 0, 1},
        {"rising after the down feed: base feed", 1, 26, 1, 0, 1}, {"still falling: kept", 1, 26, -1, 1, 26},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        set_up({});
        set_mch_change_mode(r.feed_in_force);
        int state = r.state, status = 0;
        down_feed_switch(1, {5, 0, r.target_z}, {0, 0, 0}, 0, state, status);
        EXPECT_EQ(state, r.state_after);
        EXPECT_EQ(feed_mode(), r.feed_after);
    }

    // The axis retract: D1 along +Z, then the incremental height, between RETRACT markers; it
    // leaves rapid and the execution display mode 0.
    set_up({});
    connect_params_block().approach_distance = 3;
    int status = 0;
    axis_retract(status);
    EXPECT_EQ(steps(), (std::vector<std::string>{"M11", "F-1", "L(0,0,3)", "L(0,0,8)", "M12"}));
    EXPECT_EQ(feed_mode(), 4);
    int mode = 1;
    get_exec_disp_mode(mode);
    EXPECT_EQ(mode, 0);

    // A pending record nothing filled runs nothing, not even at the origin with the clearance
    // plane on; a filled one at the tool runs the axis retract, away from it (mode 1) a Z retract.
    set_up({});
    pending_retract_run(status);
    EXPECT_TRUE(steps().empty());
    EXPECT_EQ(pending_retract_record().count, 1);
    pending_retract_record().filled = 1;
    pending_retract_run(status);
    EXPECT_EQ(steps().front(), "M11");
    set_up({{5, 5, 0}});
    pending_retract_record() = {{0, 0, 0}, {}, {}, 1, 1, 1};
    pending_retract_run(status);
    EXPECT_EQ(steps(), (std::vector<std::string>{"F-1", "L(5,5,50)"}));
}

TEST(SegmentZAtXY, InterpolatesOnTheLargerExtent)
{
    struct row {
        point3 a, b, x;
        float z;
        int flag;
    };
    const row rows[] = {
        {{0, 0, 0}, {10, 2, 10}, {5, 0, 0}, 5, 0},
        {{0, 0, 0}, {2, 10, 10}, {0, 3, 0}, 3, 0},
        {{0, 0, 0}, {4, 4, 8}, {9, 1, 0}, 2, 0},  // |dx| = |dy|: on y
        {{1, 1, 7}, {1, 1, 3}, {5, 5, 0}, 3, 1},  // vertical: the lower z
    };
    for (const row& r : rows) {
        float z = -1;
        int flag = -1;
        segment_z_at_xy(r.a.data(), r.b.data(), r.x.data(), z, flag);
        EXPECT_FLOAT_EQ(z, r.z);
        EXPECT_EQ(flag, r.flag);
    }
}
