// Go-motion insertion at the editor's cursor: the machine groups and the dialog's fields, the
// context put back, the re-entry by the block picked; the cursor put back on a motion block.
#include "edit/editor/cursor_routines.hpp"
#include "edit/editor/go_motions.hpp"
#include "host/control/ncd_file.hpp"
#include "nc_services/rec8.hpp"
#include "tests/edit/connection_support.hpp"
#include "tests/tools/tools_test_support.hpp"

#include <gtest/gtest.h>

namespace {

namespace control = vantu::control;
using connection_test::feed_block;
using connection_test::line_at;

// Feed 80 and five lines along x at z 0, numbered 10 to 14.
const std::vector<std::vector<word>> kPath{feed_block(5, 80),  line_at(10, 0, 0),  line_at(11, 10, 0),
                                           line_at(12, 20, 0), line_at(13, 30, 0), line_at(14, 40, 0)};

// The go-motion dialog (group 1 to 5 all start in GO IND. POINT): one motion to (10, 0, 50), then
// the page left.
const char* kOneMotion = R"({"point": [10, 0, 50]}, {"point": "cancel"}, {"page": -1})";
const char* kNoMotion = R"({"point": "cancel"}, {"page": -1})";

// The enabled positions of a mask, counted from 1.
template <std::size_t N> std::vector<int> positions(const std::array<int, N>& mask)
{
    std::vector<int> out;
    for (std::size_t i = 0; i < N; ++i)
        if (mask[i] != 0) out.push_back(static_cast<int>(i) + 1);
    return out;
}

// The block numbers of the sub-list's display blocks shown in the attention colour.
std::vector<int> attention_blocks()
{
    std::vector<int> out;
    for (const auto& b : control::ncd_blocks())
        if (b.level == 2 && b.attention != 0) out.push_back(b.block2);
    return out;
}

// The path on a machine of the type, the cursor on block `cursor`, the procedure's last motion 14.
blk_path ready(int cursor, int machine, const std::string& script)
{
    connection_test::machine_with({40, 0, 0}, kPath, cursor, 100.0f, machine);
    list_cursor().cursor_last_path.set(editor_test::kProcBlock, 14);
    // A mill and a UCS in force, which the insertion place restates and attaches.
    tool_module_reset();
    DSM4().at(modal_values::kTool) = tools_test::make_tool(2, "MILL");
    int ucs = 0, status = 0;
    estore(8, 1, ucs, status);
    eclose(status);
    ucs_record identity;
    identity.matrix = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    rec8_get_put(2, ucs, identity, status);
    DSP8().at(tool_position_state::kUcsId) = ucs;
    control::load_script_text(script, "go motions");
    blk_path path;
    path.set(editor_test::kProcBlock, cursor);
    return path;
}

TEST(GoMotions, MachineGroupsFieldsOfferedAndTheContextPutBack)
{
    // The insertion place loads the working feed from the modal FEED (100); the base feed of the
    // context saved before it (60) is back on every way out, after a failed dialog too.
    struct row {
        int machine, group, status;
        std::vector<int> machine_fields, service_fields;
        const char* error;
        bool dialog_fails = false;
    };
    const std::vector<int> mill{4, 5, 6, 8, 9, 11};
    const row rows[] = {
        {22, 1, 0, mill, {1, 4}, nullptr},
        {26, 2, 0, mill, {1, 4}, nullptr},
        {31, 4, 0, mill, {4}, nullptr},
        {13, 3, 0, {1, 8, 11}, {4}, nullptr},
        {62, 5, 0, {11}, {4}, nullptr},
        {27, 0, -1, {11}, {4}, "WRONG TYPE OF MACHINING TYPE"},
        {22, 1, -3, mill, {1, 4}, "EDTGO, ERRORS IN LIST", true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.machine);
        blk_path cursor = ready(11, r.machine, std::string("[") + kNoMotion + "]");
        PRM9().set_real(machine_params::kBaseFeed, 60.0f);
        if (r.dialog_fails) control::inject_fault("nu_modl_init", 1, 1, -1);
        int type = 2, changed = 9, layer = 9, status = 9;
        EDTGO(cursor, type, changed, layer, status);
        control::clear_faults();
        EXPECT_EQ(go_group_of_machine(r.machine).group, r.group);
        EXPECT_EQ(status, r.status);
        EXPECT_EQ(changed + layer, 0);
        EXPECT_EQ(positions(edit_go_masks().machine), r.machine_fields);
        EXPECT_EQ(positions(edit_go_masks().service), r.service_fields);
        EXPECT_EQ(positions(edit_go_masks().display), std::vector<int>{3});
        EXPECT_EQ(control::lines_of("eroutc"),
                  r.error ? std::vector<std::string>{r.error} : std::vector<std::string>{});
        EXPECT_EQ(PRM9().real(machine_params::kBaseFeed), 60.0f);
    }
    motion_test::to_load_state();
}

TEST(GoMotions, ReentryJoinsOrDeletesUpToThePickedBlock)
{
    using steps = std::vector<std::string>;
    const steps joined{"F80",       "L(0,0,0)", "L(10,0,0)", "F-1",       "L(10,0,50)",
                       "L(10,0,0)", "F100",     "L(20,0,0)", "L(30,0,0)", "L(40,0,0)"};
    const steps deleted{"F80", "L(0,0,0)", "L(10,0,0)", "F-1", "L(10,0,50)", "L(30,0,0)", "F100", "L(40,0,0)"};
    const steps after_last{"F80",       "L(0,0,0)", "L(10,0,0)",  "L(20,0,0)", "L(30,0,0)",
                           "L(40,0,0)", "F-1",      "L(10,0,50)", "F100"};
    const char* kBefore = "THE CONNECTION POINT SHOULD BE|      AFTER THE INSERTED MOVMENTS";
    const char* kElsewhere = "PLEASE INDICATE ON ONE OF THE PROCEDURE BLOCKS";
    struct row {
        const char* name;
        int cursor;
        const char* reentry;  // script events after the dialog's
        int layer;            // changed is 1 in every row
        const steps& result;
        const char* message;
    };
    const row rows[] = {
        {"the pick ended", 11, R"(, {"pick": "exit"})", 0, joined, nullptr},
        {"the insertion block", 11, R"(, {"pick": {"block": [7, 11]}})", 0, joined, nullptr},
        {"one before the insertion", 11, R"(, {"pick": {"block": [7, 10]}}, {"pick": "exit"})", 0, joined, kBefore},
        {"another procedure's", 11, R"(, {"pick": {"block": [3, 12]}}, {"pick": "exit"})", 0, joined, kElsewhere},
        {"a later block, deleted up to", 11, R"(, {"pick": {"block": [7, 13]}}, {"menu": 1})", 0, deleted, nullptr},
        {"the deletion declined", 11, R"(, {"pick": {"block": [7, 13]}}, {"menu": -2})", 0, joined, nullptr},
        {"after the last motion: no re-entry", 14, "", 1, after_last, nullptr},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        blk_path cursor = ready(r.cursor, connection_test::kMill, std::string("[") + kOneMotion + r.reentry + "]");
        int type = 2, changed = 9, layer = 9, status = 9;
        EDTGO(cursor, type, changed, layer, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(changed, 1);
        EXPECT_EQ(layer, r.layer);
        EXPECT_EQ(connection_test::sub_steps(), r.result);
        EXPECT_EQ(control::lines_of("userrc"), r.message ? steps{r.message} : steps{});
        EXPECT_EQ(control::events_left(), 0u);
        EXPECT_TRUE(control::lines_of("eroutc").empty());
    }
    motion_test::to_load_state();
}

// With a real tool but no UCS (or the tool's entity where the UCS should be) the insertion
// stopped on the association of the UCS block it had written; the motions now go without it.
TEST(GoMotions, WithoutAUcsTheMotionsGoWithoutItsBlock)
{
    for (bool tool_as_ucs : {false, true}) {
        SCOPED_TRACE(tool_as_ucs ? "the tool's entity as the UCS" : "no UCS");
        blk_path cursor = ready(11, connection_test::kMill, std::string("[") + kOneMotion + R"(, {"pick": "exit"}])");
        DSP8().at(tool_position_state::kUcsId) = tool_as_ucs ? DSM4().at(modal_values::kTool) : 0;
        int type = 2, changed = 9, layer = 9, status = 9;
        EDTGO(cursor, type, changed, layer, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(changed, 1);
        EXPECT_EQ(control::lines_of("eroutc"), std::vector<std::string>{});
        EXPECT_EQ(connection_test::sub_steps(),
                  (std::vector<std::string>{"F80", "L(0,0,0)", "L(10,0,0)", "F-1", "L(10,0,50)", "L(10,0,0)", "F100",
                                            "L(20,0,0)", "L(30,0,0)", "L(40,0,0)"}));
        for (const auto& line : control::toolpath_line_at({0})->sublist)
            EXPECT_FALSE(line.words[0] == 1 && line.words[2] == 55) << "a UCS block #" << line.words[1];
    }
    motion_test::to_load_state();
}

TEST(GoMotions, CursorBackOnAMotionAfterTheMessages)
{
    // A message block (type 4) between two lines: from it the cursor steps back to line 10.
    const std::vector<std::vector<word>> path{line_at(10, 0, 0), {4, 11, 0}, line_at(12, 10, 0)};
    for (const auto& [start, reached] : {std::pair{11, 10}, {12, 12}}) {
        connection_test::machine_with({0, 0, 0}, path, start);
        TLER().at(tool_display_state::kMode) = 2;
        blk_path cursor;
        int type = 0, status = 9;
        edit_msg_remark(cursor, type, status);
        EXPECT_EQ(status, 0) << start;
        EXPECT_EQ(cursor.block(), reached) << start;
        EXPECT_EQ(type, 2) << start;
        EXPECT_EQ(editor_test::cursor_block_number(), reached) << start;
        EXPECT_EQ(TLER().at(tool_display_state::kMode), 0) << start;
        EXPECT_EQ(attention_blocks(), std::vector<int>{reached}) << start;
    }
    motion_test::to_load_state();
}

}  // namespace
