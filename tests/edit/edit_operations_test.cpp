// The editor's operations: the page's fields by machine type, the update of the procedure block
// after an edit, the drilling depth of a range shown without the drill's tip, and the machine
// parameters written where the next motion takes them.
#include "driver/proc_block_support.hpp"
#include "edit/editor/edit_operations.hpp"
#include "editor_support.hpp"
#include "host/control/script.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"
#include "tools/current_tool.hpp"
#include "tools/tools_test_support.hpp"

#include <gtest/gtest.h>

namespace {

namespace control = vantu::control;
using proc_test::r;
using words = std::vector<word>;

TEST(EditOperations, PageFieldsByMachineType)
{
    const struct {
        int machine;
        std::vector<int> fields;
    } rows[] = {{22, {4, 5, 6, 9}}, {26, {4, 5, 6, 9}}, {12, {4}}, {13, {4}}, {31, {4, 5, 9}},
                {61, {8}},          {79, {8}},          {80, {8}}, {1, {}},   {27, {}}};
    for (const auto& row : rows) {
        std::vector<int> offered;
        const auto mask = mach_page_masks(row.machine);
        for (int k = 0; k < kPageMaskFlags; ++k)
            if (mask[static_cast<std::size_t>(k)]) offered.push_back(k + 1);
        EXPECT_EQ(offered, row.fields) << "machine type " << row.machine;
    }
}

// A procedure block with the items mnedup writes and a sub-list link, its sub-list holding the blocks; the list
// stands in the sub-list.
void build_procedure(const std::vector<words>& blocks)
{
    control::reset();
    control::clear_messages();
    proc_test::proc_block b;
    b.number = editor_test::kProcBlock;
    for (int code : {5, 27, 6, 28}) b.global(code, {r(9), r(9), r(9)}, 1);
    b.global(20, {0}).global(21, {1}).global(22, {1});
    const words head = b.words();
    int status = 0;
    lcreat(1, status);
    lputd(static_cast<int>(head.size()), head.data(), status);
    put_zero_lst(status);
    lclos(status);
    newls1(2, status);
    for (const words& w : blocks) {
        lcreat(1, status);
        lputd(static_cast<int>(w.size()), w.data(), status);
        lclos(status);
    }
    int counter = 100;
    gsblkn(2, 0, counter, status);
    lacces(2, status);
    list_cursor() = list_cursor_state{};
    list_cursor().cursor_proc_blkno = editor_test::kProcBlock;
}

words item(int code)
{
    int count = 0, type = 0, status = 0;
    words values(3, 0);
    TPGETN(kWhereList, 24, code, count, type, values.data(), 3, status);
    EXPECT_EQ(status, 0) << code;
    values.resize(static_cast<std::size_t>(std::max(count, 0)));
    return values;
}

TEST(EditOperations, UpdateMarksTheProcedureBlockByWhatChanged)
{
    const struct {
        int changed, layer;
        word item21, item22;
        words first, last;
    } rows[] = {
        {1, 0, 2, 1, {r(3), r(0), r(0)}, {r(5), r(0), r(0)}},
        {0, 1, 1, 2, {r(9), r(9), r(9)}, {r(9), r(9), r(9)}},
        {0, 0, 1, 1, {r(9), r(9), r(9)}, {r(9), r(9), r(9)}},
    };
    for (const auto& row : rows) {
        build_procedure({{99, 1, 1}, {2, 3, r(3), 0, 0}, {2, 5, r(5), 0, 0}, {99, 6, 2}});
        list_cursor().start_copy = {1, 2, 3, 0, 0, 1};
        DSP8().set_vec(tool_position_state::kPosition, {7, 7, 7});
        DSM4().at(modal_values::kCutterComp) = 1;
        int opened = 1, status = 0;
        mnedup(opened, row.changed, row.layer, 0, status);
        ASSERT_EQ(status, 0) << control::lines_of("eroutc").back();
        EXPECT_EQ(opened, 0);
        EXPECT_EQ(DSM4().at(modal_values::kCutterComp), 0);
        EXPECT_EQ(item(21), words{row.item21}) << row.changed;
        EXPECT_EQ(item(22), words{row.item22}) << row.layer;
        EXPECT_EQ(item(5), row.first);
        EXPECT_EQ(item(6), row.last);
        const float x = row.changed ? 1.0f : 7.0f;
        EXPECT_EQ(DSP8().position()[0], x) << "the position put back only after a change";
    }
}

// A drill procedure: a cycle activation at depth -20 (surface Z 0), then drill locations 2 to 5,
// with a drill of tip angle `angle` and diameter 8 as the current tool.
void build_drilling(float angle)
{
    const words cycle{30, 1, 0, 0, 0, r(0), r(-20), 0, 0, 0};
    std::vector<words> blocks{cycle};
    for (int n = 2; n <= 5; ++n) blocks.push_back({31, n, r(float(n)), 0, 0, 0, 0, r(1), 0});
    build_procedure(blocks);
    list_cursor().cursor_fn_code = kDrillFunction;
    constexpr int kDrillId = 77;
    tool_block().IDTOOL = kDrillId;
    tool_block().tool_class = kDrill;
    tool_shapes().drill.TIPANG = angle;
    tool_shapes().drill.DIAMTR = 8.0f;
    PRM9().words[machine_params::kToolId] = kDrillId;
}

// The drill locations and the depth and del-Z settings of the sub-list: "31:x", "36:new/old".
std::vector<std::string> drilling()
{
    std::vector<std::string> out;
    const auto value = [](word w) { return std::to_string(int(word_to_real(w))); };
    for (const auto& line : control::toolpath_line_at({0})->sublist) {
        const std::vector<word>& w = line.words;
        if (w[0] == 31) out.push_back("31:" + value(w[2]));
        if (w[0] == 33 || w[0] == 36) out.push_back(std::to_string(w[0]) + ":" + value(w[2]) + "/" + value(w[3]));
    }
    return out;
}

std::string depth_page()
{
    for (const auto& m : control::messages())
        if (m.channel == "modif1") return m.text;
    return {};
}

TEST(EditOperations, DrillingDepthShownWithoutTheTipAndWrittenAroundTheRange)
{
    // The page's DEPTH answered with the value and accepted.
    const auto typed = [](const char* value) {
        return std::string(R"([{"page": {"line": 1, "value": )") + value + R"(}}, {"page": 0}])";
    };
    const std::vector<std::string> kept{"31:2", "31:3", "31:4", "31:5"};
    // The depth set before the range and the one in force set back after it.
    const auto written = [](const char* before, const char* after) {
        return std::vector<std::string>{before, "31:2", "31:3", "31:4", after, "31:5"};
    };
    const struct {
        const char* name;
        float angle;
        std::string script;
        const char* shown;
        std::vector<std::string> blocks;
        int changed;
    } rows[] = {
        {"kept", 90, typed("-16"), "DEPTH = -16", kept, 0},
        {"new", 90, typed("-26"), "DEPTH = -16", written("36:-30/-20", "36:-20/-30"), 1},
        {"cancel", 90, R"([{"page": -2}])", "DEPTH = -16", kept, 0},
        {"flat", 0, typed("-10"), "DEPTH = -20", written("36:-10/-20", "36:-20/-10"), 1},
        // A tip of 4 / tan(59 degrees): the depth shown to three decimals, typed back, is no change.
        {"typed as shown", 118, typed("-17.597"), "DEPTH = -17.59", kept, 0},
        {"a hundredth shallower", 118, typed("-17.587"), "DEPTH = -17.59", written("36:-19/-20", "36:-20/-19"), 1},
    };
    for (const auto& row : rows) {
        build_drilling(row.angle);
        control::load_script_text(row.script, row.name);
        blk_path anchor, cursor;
        anchor.set(editor_test::kProcBlock, 4);
        cursor.set(editor_test::kProcBlock, 2);
        int changed = -1, layer = -1, status = 0;
        EDTDPT(anchor, cursor, changed, layer, status);
        EXPECT_EQ(status, 0) << row.name;
        EXPECT_EQ(changed, row.changed) << row.name;
        EXPECT_NE(depth_page().find(row.shown), std::string::npos) << row.name << ": " << depth_page();
        EXPECT_EQ(drilling(), row.blocks) << row.name;
        const auto errors = control::lines_of("eroutc");
        EXPECT_EQ(errors, row.angle == 0 ? std::vector<std::string>{"EDTDPT - ZERO TIP ANGLE IN DRILL TOOL"}
                                         : std::vector<std::string>{})
            << row.name;
    }
}

// The procedure and its motions of these block numbers in the display file.
void show_procedure(const std::vector<int>& motions)
{
    int status = 0;
    std::vector<ncd_address> shown{{1, editor_test::kProcBlock, 0}};
    for (int number : motions) shown.push_back({2, editor_test::kProcBlock, number});
    for (const ncd_address& address : shown) {
        const float end[3] = {static_cast<float>(address.block2), 0, 0};
        ncd_register_block(address);
        ncd_add_registered_block(status);
        ncd_move_to(end, status);
    }
}

// Drilling points after drill location 3: a point at the surface Z in force takes the depth in
// force; one above it sets the surface Z there and back at the end.
TEST(EditOperations, DrillingPointsWriteWhatChangesAndPutItBack)
{
    const struct {
        const char* script;
        std::vector<std::string> blocks;
    } rows[] = {
        {R"([{"point": "cancel"}])", {"31:2", "31:3", "31:4", "31:5"}},
        {R"([{"point": [7, 1, 0]}, {"point": "cancel"}])", {"31:2", "31:3", "31:7", "31:4", "31:5"}},
        {R"([{"point": [7, 1, 5]}, {"point": "cancel"}])",
         {"31:2", "31:3", "33:5/0", "31:7", "33:0/0", "31:4", "31:5"}},
    };
    for (const auto& row : rows) {
        build_drilling(90);
        show_procedure({2, 3, 4, 5});
        editor_test::put_cursor_on(3);
        control::load_script_text(row.script, "points");
        blk_path cursor;
        cursor.set(editor_test::kProcBlock, 3);
        int changed = -1, layer = -1, status = 0;
        EDTDRL(cursor, changed, layer, status);
        EXPECT_EQ(status, 0) << ::testing::PrintToString(control::lines_of("eroutc"));
        EXPECT_EQ(changed, row.blocks.size() > 4 ? 1 : 0);
        EXPECT_EQ(drilling(), row.blocks) << row.script;
    }
}

// A mill procedure at feed 1000 / 3, spindle 1000 with a mill as the tool; the cursor on its last
// motion, a marker after it. The page's spindle speed (line 7) or feed (line 10) is typed, or
// nothing: a value typed as its field shows it (to the host's three decimals) is no change.
TEST(EditOperations, NewParametersAfterTheLastMotionGoToTheProcedureEnd)
{
    const struct {
        const char* name;
        const char* script;
        std::vector<std::string> tail;  // the blocks after the last motion: type and parameter type
    } rows[] = {
        {"spindle 2000", R"([{"page": {"line": 7, "value": 2000}}, {"page": 0}])", {"99:2", "1:2"}},
        {"nothing typed", R"([{"page": 0}])", {"99:2"}},
        {"the feed typed as shown", R"([{"page": {"line": 10, "value": 333.333}}, {"page": 0}])", {"99:2"}},
        {"a feed a thousandth off", R"([{"page": {"line": 10, "value": 333.332}}, {"page": 0}])", {"99:2", "1:1"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        build_procedure({{99, 1, 1}, {2, 2, r(2), 0, 0}, {2, 3, r(3), 0, 0}, {99, 4, 2}});
        NPT1().at(tp_header_state::kMachineType) = 22;
        tool_module_reset();
        const int kMillId = tools_test::make_tool(kMill, "END MILL 10");
        DSM4().set_real(modal_values::kFeed, 1000.0f / 3.0f);
        DSM4().at(modal_values::kSpin) = 1000;
        DSM4().at(modal_values::kTool) = kMillId;
        PRM9().words[machine_params::kToolId] = kMillId;
        const machine_params before = PRM9();
        show_procedure({2, 3});
        editor_test::put_cursor_on(3);
        int status = 0;
        control::load_script_text(row.script, "page");
        blk_path cursor;
        cursor.set(editor_test::kProcBlock, 3);
        int changed = -1, layer = -1;
        EDTPRM(cursor, changed, layer, status);
        EXPECT_EQ(status, 0) << ::testing::PrintToString(control::lines_of("eroutc"));
        EXPECT_EQ(changed, row.tail.size() > 1 ? 1 : 0);
        EXPECT_EQ(control::events_left(), 0u);
        EXPECT_EQ(editor_test::cursor_block_number(), 3) << "the list back at the cursor";
        EXPECT_EQ(PRM9().words, before.words) << "PRM9 put back";
        const auto& sub = control::toolpath_line_at({0})->sublist;
        std::vector<std::string> tail;
        for (std::size_t k = 3; k < sub.size(); ++k)
            tail.push_back(std::to_string(sub[k].words[0]) + ":" + std::to_string(sub[k].words[2]));
        EXPECT_EQ(tail, row.tail) << "new parameter blocks after the last block";
    }
}

}  // namespace
