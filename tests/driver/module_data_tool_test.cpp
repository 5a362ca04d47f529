// The parameter block as module data (save, load, short and long records, editing, the tool
// failure of a template run) and the tool choice with the tool values it sets.
#include "driver/proc_module_data.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_choice.hpp"
#include "tools/tool_lists.hpp"
#include "tools/tool_utilities.hpp"
#include "tools/tools_test_support.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace control = vantu::control;

constexpr int kBlock = 468;
constexpr word kDefault = 11, kGuard = 99;
std::vector<word> block;  // the parameter block and one guard word behind it
std::vector<int> defaults_modes;

void defaults_double(int& mode, int& status)
{
    defaults_modes.push_back(mode);
    if (mode == 1) std::fill(block.begin(), block.begin() + kBlock, kDefault);
    status = 0;
}

class ModuleDataAndTools : public tools_test::ToolsTest {
protected:
    void SetUp() override
    {
        ToolsTest::SetUp();
        block.assign(kBlock + 1, 0);
        block[kBlock] = kGuard;
        defaults_modes.clear();
        EDA2() = edit_state{};
        PRM9() = machine_params{};
        PRM9().words[machine_params::kToolId] = -1;
        NPT1() = tp_header_state{};
        NPT1().at(tp_header_state::kMachineType) = 62;
        machining_type() = 31;
        set_allowed_tool_classes(0, -1);
        control::clear_messages();
    }
    int load(int mode)
    {
        int status = 0;
        proc_module_data(mode, "KQ47", kBlock, block.data(), defaults_double, status);
        EXPECT_EQ(mode, status >= 0 ? 1 : mode);
        return status;
    }
};

TEST_F(ModuleDataAndTools, SaveWritesTheBlockAndTheEditStateWithItsEditingWordsCleared)
{
    for (int i = 0; i < kBlock; ++i) block[static_cast<std::size_t>(i)] = i;
    for (int w : {1, 5, 7}) EDA2().word_no(w) = 1;
    int mode = kModuleDataSave, status = -1;
    proc_module_data(mode, "KQ47", kBlock, block.data(), defaults_double, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(defaults_modes, std::vector<int>{2});
    EXPECT_EQ(*control::get_record("KQ47"), std::vector<word>(block.begin(), block.begin() + kBlock));
    const std::vector<word> eda2 = *control::get_record("EDA2");
    ASSERT_EQ(eda2.size(), 20u);
    EXPECT_EQ(eda2[0], 0);
    EXPECT_EQ(eda2[4], 0);
    EXPECT_EQ(eda2[6], 1);
}

TEST_F(ModuleDataAndTools, LoadTakesWhatTheRecordHoldsAndNoMore)
{
    struct row {
        const char* what;
        std::optional<std::vector<word>> record;
        bool editing;
        word first, last;  // block words 0 and 467 afterwards
    };
    const std::vector<row> rows = {
        {"no record", {}, false, kDefault, kDefault},
        {"short record", std::vector<word>{5, 6, 7}, false, 5, kDefault},
        {"long record", std::vector<word>(500, 8), false, 8, 8},
        {"editing", std::vector<word>{5, 6, 7}, true, kDefault, kDefault},
    };
    for (const row& x : rows) {
        SetUp();
        if (x.record) control::set_record("KQ47", 1, *x.record);
        edit_state stored;
        stored.word_no(edit_state::kEditing) = x.editing ? 1 : 0;
        control::set_record("EDA2", 3, std::vector<word>(stored.words.begin(), stored.words.end()));
        entry_pnts().working.count = 3;
        EXPECT_EQ(load(kModuleDataLoad), 0) << x.what;
        EXPECT_EQ(block[0], x.first) << x.what;
        EXPECT_EQ(block[kBlock - 1], x.last) << x.what;
        EXPECT_EQ(block[kBlock], kGuard) << x.what;
        EXPECT_EQ(defaults_modes, std::vector<int>{1}) << x.what;
        EXPECT_EQ(entry_pnts().working.count, 0);
        EXPECT_EQ(entry_pnts().end.count, 0);
    }
}

TEST_F(ModuleDataAndTools, NoToolForATemplateRun)
{
    set_allowed_tool_classes(0, kAgie);
    EXPECT_EQ(load(kModuleDataLoadTemplate), kNoToolForTemplate);
    EXPECT_TRUE(defaults_modes.empty());
}

TEST_F(ModuleDataAndTools, ChoiceKeepsAnAllowedCurrentToolWithoutAList)
{
    tool_shapes().agie = {7, 2, 3, 4, 0, 0.0f};
    const int id = tools_test::make_tool(kAgie, "WIRE 1");
    PRM9().words[machine_params::kToolId] = id;
    set_allowed_tool_classes(0, kAgie);
    int status = -1;
    tool_choose(1, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(PRM9().words[machine_params::kToolId], id);
    EXPECT_TRUE(control::transcript_events().empty());
    const wire_common_block& w = wire_common();
    EXPECT_EQ(w.at(wire_common_block::kToolId), id);
    EXPECT_EQ(w.at(wire_common_block::kFirstWire), 4);
    EXPECT_EQ(w.at(wire_common_block::kGenerators), 15);
    EXPECT_EQ(w.at(wire_common_block::kAgieGenerator), 7);
    EXPECT_EQ(w.at(wire_common_block::kAgieTaperAngle), 4);
}

TEST_F(ModuleDataAndTools, ChoiceWithoutASuitableTool)
{
    struct row {
        const char* what;
        int family, tool_class, ask;
        const char* steps;
        int status;
        int created_class;  // class of the tool made current; 0 none
    };
    const std::vector<row> rows = {
        {"no class allowed", 0, -1, 1, "[]", 0, 0},
        {"not asked", 0, kAgie, 0, "[]", -1, 0},
        {"declined", 0, kAgie, 1, R"([{"question": "no", "expect": "CREATE TOOL? AGIE TOOL"}])", -1, 0},
        // A new tool is named in the tool dialog and accepted.
        {"created", 0, kAgie, 1,
         R"([{"question": "yes", "expect": "CREATE TOOL? AGIE TOOL"}, {"page": {"line": 1, "value": "W1"}}, {"page": 0}])",
         0, kAgie},
        {"created from the menu", 1, kMill, 1,
         R"([{"menu": 2, "expect": "DRILL TOOL@MILL TOOL@"}, {"page": {"line": 1, "value": "M1"}}, {"page": 0}])", 0,
         kMill},
        {"dialog left", 0, kAgie, 1, R"([{"question": "yes"}, {"page": -1}])", -1, 0},
    };
    for (const row& x : rows) {
        SetUp();
        set_allowed_tool_classes(x.family, x.tool_class);
        control::load_script_text(x.steps, x.what);
        int status = 7;
        tool_choose(x.ask, status);
        EXPECT_EQ(status, x.status) << x.what;
        EXPECT_EQ(control::events_left(), 0u) << x.what;
        EXPECT_EQ(tools_test::has_line("userrc", "WARNING! NO SUITABLE TOOL EXISTS"), x.ask && x.tool_class > 0)
            << x.what;
        int current_class = 0;
        const int id = PRM9().words[machine_params::kToolId];
        if (id > 0) tool_get_class(id, current_class);
        EXPECT_EQ(current_class, x.created_class) << x.what;
    }
}

TEST_F(ModuleDataAndTools, ToolValuesAndSpindleSpeed)
{
    tool_block().CRFEED[0] = -1.0f;
    tool_block().CRSPIN[0] = 1200;
    tool_block().CRVLOC[0] = 80.0f;
    const int mill = tools_test::make_tool(kMill, "MILL 1");
    tool_shapes().punch.DIAMTR = 0.0f;
    const int punch = tools_test::make_tool(kPunch, "PUNCH 1");
    PRM9().set_real(machine_params::kBaseFeed, 250.0f);
    struct row {
        int tool, status, spin;
        float feed;
    };
    for (const row& x : std::vector<row>{{mill, 0, 1200, 250.0f}, {punch, -1, 0, 250.0f}, {-1, -1, 0, 250.0f}}) {
        PRM9().words[machine_params::kToolId] = x.tool;
        PRM9().words[machine_params::kSpindleSpeed] = 0;
        int status = 7;
        tool_type_params(status);
        EXPECT_EQ(status, x.status) << x.tool;
        EXPECT_EQ(PRM9().words[machine_params::kSpindleSpeed], x.spin) << x.tool;
        EXPECT_FLOAT_EQ(PRM9().real(machine_params::kBaseFeed), x.feed) << x.tool;
    }
    float written_back = 0.0f;
    tool_get_cond_feed(mill, written_back);
    EXPECT_FLOAT_EQ(written_back, 250.0f);

    struct spin_row {
        float diameter, cutting_speed;
        int spin;
    };
    for (const spin_row& s : std::vector<spin_row>{
             {0.0f, 100.0f, 999999}, {10.0f, 100.0f, 3183}, {10.0f, -100.0f, 3183}, {0.001f, 1.0e6f, 999999}}) {
        int spin = 0;
        spin_from_vc(s.diameter, s.cutting_speed, spin);
        EXPECT_EQ(spin, s.spin) << s.diameter << " " << s.cutting_speed;
    }
}

}  // namespace
