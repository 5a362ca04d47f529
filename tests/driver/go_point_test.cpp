// The go-point procedure's motions (the points of each go choice by machine group), the
// indication of a tool axis, the part-plane picking of its page, and the texts of message kinds
// and machine types.
#include "driver/go_point_motion.hpp"
#include "driver/mch_plane_dialog.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/mch_type_name.hpp"
#include "nc_services/msg_kind_texts.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/nc_state_support.hpp"
#include "toolpath/proc_flags.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

namespace {

namespace control = vantu::control;

class GoPoint : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        tp_test::fresh_nc_state_blocks();
    }
    void TearDown() override { control::reset(); }
    static void script(const char* json) { control::load_script_text(json, "go point"); }
};

}  // namespace

TEST_F(GoPoint, TargetsOfEachGoChoice)
{
    const plane4 tilted{0.0f, -0.6f, 0.8f, -8.0f};  // z = 10 + 0.75 y
    go_context from;
    from.current = {1, 2, 3};
    from.home = {10, 20, 30};
    from.clearance = 50;
    from.z_plane = -4;
    from.part_top = 7;
    const go_vec point{5, 4, 9}, delta{1, 1, -1};
    struct row {
        const char* what;
        int group, go, z_option;
        go_vec current;
        int turning_direction;
        std::vector<go_vec> moves;
    } rows[] = {
        {"home from below the home height climbs first",
         kGroupMill,
         kGoHome,
         0,
         {1, 2, 3},
         1,
         {{1, 2, 30}, {10, 20, 30}}},
        {"home from above crosses first", kGroupMill, kGoHome, 0, {1, 2, 40}, 1, {{10, 20, 40}, {10, 20, 30}}},
        {"home from the home height crosses first",
         kGroupMultiAxis,
         kGoHome,
         0,
         {1, 2, 30},
         1,
         {{10, 20, 30}, {10, 20, 30}}},
        {"turning below the home y goes to it in y", kGroupTurn, kGoHome, 0, {1, 2, 3}, 1, {{1, 20, 7}, {10, 20, 7}}},
        {"turning above the home y moves in x", kGroupTurn, kGoHome, 0, {1, 25, 3}, 1, {{10, 25, 7}, {10, 20, 7}}},
        {"turning of direction 2 climbs from above", kGroupTurn, kGoHome, 0, {1, 25, 3}, 2, {{1, 20, 7}, {10, 20, 7}}},
        {"free z", kGroupMill, kGoIndPoint, kFreeZ, {1, 2, 3}, 1, {{5, 4, 9}}},
        {"same z", kGroupMill, kGoIndPoint, kSameZ, {1, 2, 3}, 1, {{5, 4, 3}}},
        {"only z", kGroupMill, kGoIndPoint, kOnlyZ, {1, 2, 3}, 1, {{1, 2, 9}}},
        {"z on the plane", kGroupMill, kGoIndPoint, kZOnPlane, {1, 2, 3}, 1, {{5, 4, 13}}},
        {"delta", kGroupMill, kGoDelta, 0, {1, 2, 3}, 1, {{2, 3, 2}}},
        {"punching keeps z", kGroupPunch, kGoDelta, 0, {1, 2, 3}, 1, {{2, 3, 3}}},
        {"clearance", kGroupMill, kGoClear, 0, {1, 2, 3}, 1, {{1, 2, 50}}},
        {"z plane", kGroupWire, kGoZPlane, 0, {1, 2, 3}, 1, {{1, 2, -4}}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        from.current = r.current;
        from.turning_direction = r.turning_direction;
        const std::vector<go_vec> moves = go_targets(r.group, r.go, r.z_option, tilted, point, delta, from);
        ASSERT_EQ(moves.size(), r.moves.size());
        for (std::size_t i = 0; i < moves.size(); ++i)
            for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(moves[i][k], r.moves[i][k], 1e-5) << i << "," << k;
    }
}

TEST_F(GoPoint, ToolAxisFromTwoPoints)
{
    struct row {
        const char* what;
        int go, rotation;
        const char* script;
        go_vec base, axis;
        const char* refused;
    } rows[] = {
        {"equal points are asked again",
         kGoIndPointAxis,
         6,
         R"([{"point": [1, 1, 1]}, {"point": [1, 1, 1]}, {"point": [0, 0, 0]}, {"point": [0, 0, 5]}])",
         {0, 0, 0},
         {0, 0, 1},
         "THE TOOL AXIS DIRECTION CAN NOT BE PROPERLY DEFINED BY THOSE TWO POINTS"},
        {"a 4X machine loses its rotation axis component",
         kGoIndPointAxis,
         1,
         R"([{"point": [0, 0, 0]}, {"point": [3, 0, 4]}])",
         {0, 0, 0},
         {0, 0, 1},
         nullptr},
        {"top and base points alike",
         kGoClear,
         6,
         R"([{"point": [2, 2, 2]}, {"point": [2, 2, 2]}, {"point": [2, 2, 2]}, {"point": [2, 4, 2]}])",
         {2, 2, 2},
         {0, 1, 0},
         "THE TOP & BASE START POINTS ARE SIMILIAR, NOT LEGAL!"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        control::reset();
        RAXN().at(rotation_axes_state::kKind) = r.rotation;
        script(r.script);
        go_vec base{}, axis{};
        int status = 9;
        ind_tool_axis_points(1, r.go, 1, base, axis, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(base, r.base);
        for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(axis[k], r.axis[k], 1e-6);
        EXPECT_EQ(control::events_left(), 0u);
        if (r.refused)
            EXPECT_EQ(control::lines_of("userrc"), std::vector<std::string>{r.refused});
        else
            EXPECT_TRUE(control::lines_of("userrc").empty());
    }
    script(R"([{"point": "cancel"}])");
    go_vec base{}, axis{};
    int status = 0;
    ind_tool_axis_points(1, kGoIndPointAxis, 1, base, axis, status);
    EXPECT_EQ(status, -1);
}

TEST_F(GoPoint, PartPlaneIsPickedUntilItIsNotVertical)
{
    // Group 1 starts in GO IND. POINT: each round asks for a point first; a cancel shows the page
    // (1 comment, 2 MACHINE PARAMS, 3 SERVICE, 4 go, 5 Z option, 6 plane once Z ON PLANE, then feed).
    script(R"([{"point": "cancel"}, {"page": {"line": 5, "value": 4}},
               {"point": "cancel"}, {"page": {"line": 6, "value": 2}},
               {"point": [0, 0, 0]}, {"point": [1, 0, 0]}, {"point": [0, 0, 1]},
               {"point": [0, 0, 2]}, {"point": [1, 0, 2]}, {"point": [0, 1, 3]},
               {"point": "cancel"}, {"page": -1}])");
    int written = 0, moved = 0, status = 9;
    mch_plane_dialog(kGroupMill, 0, go_page_masks::all(), written, moved, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::events_left(), 0u);
    EXPECT_EQ(control::lines_of("userrc"), std::vector<std::string>{"PART PLANE CANNOT BE PARALLEL TO Z.AXIS!"});
    EXPECT_EQ(go_page().plane_defined, 1);
    go_vec p{1, 1, 0};
    tool_z_on_part_plane(p, go_page().part_plane);
    EXPECT_NEAR(p[2], 3.0f, 1e-5) << "the plane through the second three points";
    EXPECT_EQ(written, 0);
    EXPECT_EQ(moved, 0);
    EXPECT_EQ(control::modal_tables_open(), 0) << "the page's table is released";

    script(
        R"([{"point": "cancel"}, {"page": {"line": 5, "value": 4}}, {"point": "cancel"}, {"page": {"line": 6, "value": 2}},
               {"point": "cancel"}, {"point": "cancel"}, {"page": -1}])");
    go_page().plane_defined = 0;
    mch_plane_dialog(kGroupMill, 0, go_page_masks::all(), written, moved, status);
    EXPECT_EQ(control::events_left(), 0u) << "a cancel ends the plane picking";
    EXPECT_EQ(go_page().plane_defined, 0);
}

TEST_F(GoPoint, MessageKindAndMachineTypeTexts)
{
    struct kind_row {
        int kind;
        char first;
        int out_kind;
        char out_first;
        const char *label, *prompt, *title;
    } kinds[] = {
        {0, '*', 3, '*', "COD=", "ENTER NO SEQ. CODE", "CODE WITHOUT SEQ.  "},
        {7, '$', 2, '$', "SCD=", "ENTER SEQ. CODE   ", "CODE WITH SEQ.     "},
        {-1, '@', 4, '@', "NAM=", "ENTER NAME        ", "USER DEF.BLOCK NAME"},
        {0, 'x', 1, ' ', "MSG=", "ENTER MESSAGE     ", "MESSAGE            "},
        {3, ' ', 3, '*', "COD=", "ENTER NO SEQ. CODE", "CODE WITHOUT SEQ.  "},
    };
    for (const kind_row& r : kinds) {
        int kind = r.kind;
        char first = r.first;
        std::string label, prompt, title;
        msg_kind_texts(kind, first, label, prompt, title);
        EXPECT_EQ(kind, r.out_kind) << r.kind << r.first;
        EXPECT_EQ(first, r.out_first) << r.kind << r.first;
        EXPECT_EQ(label + prompt + title, std::string(r.label) + r.prompt + r.title) << r.kind << r.first;
    }
    const std::pair<int, const char*> names[] = {
        {12, "PUNCH     "}, {13, "PUNCH+INDX"}, {31, "LATHE     "}, {22, "MILL2.5X  "}, {23, "MILL 3X   "},
        {24, "MILL+POS  "}, {25, "MILL 4X   "}, {26, "MILL 5X   "}, {62, "AGIE      "}, {63, "CHARMILLES"},
        {65, "MAKINO    "}, {64, "UNKNOWN   "}, {0, "UNKNOWN   "},
    };
    for (const auto& [type, expected] : names) {
        std::string name;
        mch_type_name(type, name);
        EXPECT_EQ(name, expected) << type;
    }
}

TEST_F(GoPoint, FirstMotionWritesTheGoProcedureAndItsMoves)
{
    struct row {
        int group;
        go_vec home_from;
        int punch_word;
        std::size_t moves;
        int punch_slot;  // the value of machine slot 53 (0: not set)
    } rows[] = {
        {kGroupMill, {1, 2, 3}, 0, 2, 0},
        {kGroupPunch, {1, 2, 3}, 0, 1, 17},
        {kGroupPunch, {1, 2, 3}, 2, 1, 16},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.group * 10 + r.punch_word);
        control::reset();
        mch_slots() = mch_slot_table{};
        TLER().at(tool_display_state::kMode) = kToolNoDisplay;
        DSP8().set_vec(tool_position_state::kPosition, r.home_from);
        DSP8().set_vec(tool_position_state::kAxis, {0, 0, 1});
        for (int k = 0; k < 3; ++k) NPT1().set_real(tp_header_state::kHomePoint + k, 10.0f * (k + 1));
        PRM9().words[15] = r.punch_word;
        PRM9().words[machine_params::kToolId] = PRM9().words[17] = 5;  // the tool the slots attach
        int written = 0, status = 9;
        const go_vec none{}, up{0, 0, 1};
        go_point_motion(r.group, 0, r.group == kGroupPunch ? kGoDelta : kGoHome, 1, 0, plane4{0, 0, 1, 0}, written,
                        none, go_vec{4, 5, 6}, up, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(written, 1);
        const auto& top = control::toolpath_top();
        ASSERT_FALSE(top.empty());
        EXPECT_EQ(top.back().words.at(0), 12) << "the go procedure's block";
        std::size_t lines = 0;
        for (const auto& block : top.back().sublist) lines += block.words.at(0) == 2 ? 1 : 0;  // line blocks
        EXPECT_EQ(lines, r.moves);
        EXPECT_EQ(mch_slots().slots[53].value, r.punch_slot);
        const go_vec end = DSP8().position();
        if (r.group == kGroupMill) {
            EXPECT_EQ(end, (go_vec{10, 20, 30}));
        } else {
            EXPECT_EQ(end, (go_vec{5, 7, 3})) << "punching keeps z";
        }
    }
}

TEST_F(GoPoint, FrontEndGivesTheContextBackWhenItFails)
{
    // No machine type: the machining type cannot be set; nothing is asked, and the context saved
    // at the start is put back with the next block number shown.
    control::set_tracing(true);
    script(R"([{"point": "cancel"}, {"page": -1}])");
    int status = 9;
    mch_params_dialog(kGroupWire, 0, status);
    EXPECT_LT(status, 0);
    EXPECT_EQ(control::events_left(), 2u);
    const std::vector<std::string> calls = control::trace_names();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "gsblkn") << "the block number of the status line, read last";
}

TEST_F(GoPoint, DisplayMenuFieldsFollowTheSwitchesAndLeavingStoresThem)
{
    // Part top 5, clearance 25: CLEAR shows 20 above the part; with relations the field is the
    // clearance parameter itself. TLER starts at 2 (choice 3) and the fast-display flag on.
    const std::vector<std::string> header = {"TP NAME = GOTESTTP    ", "TP SIZE = 0 BYTES     ",
                                             "BYTES LEFT = 0        ", "TYPE = UNKNOWN        "};
    const std::string display =
        "TOOL: DISPLAY@TOOL: TRACE@TOOL: NO DISPLAY@MOTION: NO FAST DISP.@MOTION: NO DISPLAY = ";
    struct row {
        const char* what;
        std::array<int, kDisplayMenuSwitches> switches;
        int procedure;  // -1: a procedure with relations whose host refuses the expression field
        const char* answer;
        std::vector<std::string> lines;  // after the tool texts and the header texts when switched on
        int mode, fast_display;
        float clearance;
    } rows[] = {
        {"every field; choice 4 switches the fast display on",
         {1, 1, 1, 1, 1, 1},
         0,
         R"([{"line": 3, "value": 4}, {"line": 8, "value": 30}, {"line": 0}])",
         {display + "3 (TOOL: NO DISPLAY)", "CLEAR = 20 [-9999.999, 9999.999]", "INSERT MESSAGE / CODE",
          "CHANGE ORIGIN"},
         4,
         1,
         35.0f},
        {"relations: the expression field of the clearance",
         {0, 1, 0, 1, 0, 0},
         1,
         R"([{"line": 1, "value": 5}, {"line": 2, "value": 30}, {"line": -1}])",
         {display + "3 (TOOL: NO DISPLAY)", "parameter 366 (kind 8, relation 366) = 25 [-9999.999, 9999.999]"},
         3,
         0,
         30.0f},
        {"no display or clear field: neither is stored",
         {0, 0, 0, 0, 1, 1},
         0,
         R"(-2)",
         {"INSERT MESSAGE / CODE", "CHANGE ORIGIN"},
         2,
         1,
         25.0f},
        {"a host without the expression field: the plain field",
         {0, 0, 0, 1, 0, 0},
         -1,
         R"([{"line": 1, "value": 30}, {"line": 0}])",
         {"CLEAR = 20 [-9999.999, 9999.999]"},
         2,
         1,
         35.0f},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        control::reset();
        NPT1().set_real(tp_header_state::kDepth, 5.0f);
        NPT1().at(tp_header_state::kMacsysName) = text4_to_word("GOTE");
        NPT1().at(tp_header_state::kMacsysName + 1) = text4_to_word("STTP");
        HEI8().set_real(heights_state::kClearance, 25.0f);
        TLER().at(tool_display_state::kMode) = kToolNoDisplay;
        set_fdflg_on();
        script((std::string(R"([{"page": )") + r.answer + "}]").c_str());
        if (r.procedure < 0) control::inject_fault("nu_mod_exec", 1, 1, -1);
        int switches[kDisplayMenuSwitches], message[kMessageWords] = {0, 0}, status = 9;
        std::copy(r.switches.begin(), r.switches.end(), switches);
        proc_display_menu(r.procedure < 0 ? 1 : r.procedure, switches, message, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(control::events_left(), 0u);
        std::vector<std::string> expected;
        if (r.switches[kShowToolTexts] != 0) expected = {"TOOL=" + std::string(20, ' '), std::string(20, ' ')};
        const bool headers = r.switches[kShowHeaderTexts] != 0;
        for (std::size_t i = 0; i < r.lines.size(); ++i) {
            expected.push_back(r.lines[i]);
            if (headers && i == 0) expected.insert(expected.end(), header.begin(), header.end());
        }
        std::string page;  // as the page event shows it: numbered lines joined by " | "
        for (std::size_t i = 0; i < expected.size(); ++i)
            page += (i == 0 ? "" : " | ") + std::to_string(i + 1) + " " + expected[i];
        ASSERT_FALSE(control::transcript_events().empty());
        EXPECT_EQ(control::transcript_events().front().text, page);
        EXPECT_EQ(TLER().at(tool_display_state::kMode), r.mode);
        EXPECT_EQ(get_fdflg(), r.fast_display);
        EXPECT_FLOAT_EQ(HEI8().real(heights_state::kClearance), r.clearance);
    }
}

TEST_F(GoPoint, DisplayMenuInsertsAMessageAndChangesTheOrigin)
{
    control::set_tracing(true);
    script(R"([{"page": 1}, {"menu": 1}, {"text": "HELLO"}, {"menu": -1}, {"page": 2}, {"page": -1}])");
    const int switches[kDisplayMenuSwitches] = {0, 0, 0, 0, 1, 1};
    int message[kMessageWords] = {0, 0}, status = 9;
    proc_display_menu(0, switches, message, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::events_left(), 0u);
    EXPECT_EQ(message[kMessageEntered], 1);
    ASSERT_FALSE(control::toolpath_top().empty());
    EXPECT_EQ(control::toolpath_top().back().words.at(0), 4) << "the message's text block";
    const std::vector<std::string> calls = control::trace_names();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "orgchn"), calls.end());
}

TEST_F(GoPoint, PageTakesTheBaseFeedOfGroupsWithAFeedChoice)
{
    for (const auto& [group, base_feed] : {std::pair{kGroupMill, 250.0f},
                                           {kGroupMultiAxis, 250.0f},
                                           {kGroupPunch, 0.0f},
                                           {kGroupTurn, 250.0f},
                                           {kGroupWire, 0.0f}}) {
        control::clear_script();
        go_page() = go_page_state{};
        PRM9().set_real(machine_params::kBaseFeed, 250.0f);
        int written = 0, moved = 0, status = 9;
        mch_plane_dialog(group, 0, go_page_masks::all(), written, moved, status);
        EXPECT_EQ(go_page().base_feed, base_feed) << group;
    }
}

TEST_F(GoPoint, PageStartsWithTheGeometryFlagsAndGoAtFeedTakesItsBaseFeed)
{
    // Group 1: the point is cancelled, GO DELTA chosen (5 DX, 6 DY, 7 DZ, 8 feed), GO AT FEED,
    // then one delta motion.
    mch_slots() = mch_slot_table{};
    PRM9().set_real(machine_params::kBaseFeed, 250.0f);
    PRM9().words[machine_params::kToolId] = PRM9().words[17] = 5;  // the tool the slots attach
    TLER().at(tool_display_state::kMode) = kToolNoDisplay;
    DSP8().set_vec(tool_position_state::kAxis, {0, 0, 1});
    script(R"([{"point": "cancel"}, {"page": {"line": 4, "value": 2}}, {"page": {"line": 8, "value": 1}},
               {"page": [{"line": 5, "value": 3}, {"line": 0}]}, {"page": -1}])");
    proc_geometry().geometry[0] = proc_geometry().geometry[1] = 7;
    proc_flags() = proc_geom_pairs{};
    int written = 0, moved = 0, status = 9;
    mch_plane_dialog(kGroupMill, 0, go_page_masks::all(), written, moved, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::events_left(), 0u);
    EXPECT_EQ(proc_geometry().geometry[0], -1) << "the geometry flags at their start values";
    EXPECT_EQ(proc_geometry().geometry[1], 1);
    EXPECT_EQ(proc_flags().options[2], 1);
    EXPECT_EQ(go_motion_choice(), kGoAtFeed);
    EXPECT_EQ(DSM4().real(modal_values::kFeed), 250.0f);
    EXPECT_EQ(DSP8().position(), (go_vec{3, 0, 0})) << "the motion made";
}
