// The tool dialog and the creation of tools: what CRTOOL stores for a new tool, the repeated copies
// of operation 7, the rules before the form is accepted, the colours given back on cancel, the
// in-use warning, the listing and host-run forms, and the choice of the current tool.
#include "tools_test_support.hpp"

#include "host/control/entities.hpp"
#include "host/control/script.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/dd_state.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_dialog.hpp"
#include "tools/tool_lists.hpp"

#include <functional>

using namespace tools_test;
namespace control = vantu::control;

namespace {

int count_lines(const std::string& channel, const std::string& text)
{
    int n = 0;
    for (const auto& line : control::lines_of(channel)) n += line == text ? 1 : 0;
    return n;
}

int page_events()
{
    int n = 0;
    for (const auto& e : control::transcript_events()) n += e.kind == "page" ? 1 : 0;
    return n;
}

}  // namespace

using ToolDialog = ToolsTest;

TEST_F(ToolDialog, NewMillStoredWithHolderSymbolAndNote)
{
    control::load_script_text(
        R"([{"page": {"line": 1, "value": "m10"}, "expect": "1 TOOL NAME: parameter"}, {"page": 0}])", "t");
    int position = 0, id = -1, created = 0, status = 0;
    CRTOOL(kMill, 2, prgvrs(), 1, position, id, created, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(position, 1);
    const auto tool = control::get_entity(id);
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->entity_class, 20);
    EXPECT_EQ(tool->type, kMill);
    EXPECT_EQ(tool->attributes.at("CO"), 1);
    EXPECT_EQ(tool->attributes.at("PE"), 2);
    std::string visible;
    evism(1, id, visible, status);
    EXPECT_EQ(visible, "/");
    int tool_class = 0;
    tool_header header;
    read_tool_entity_header(id, tool_class, header, status);
    const auto holder = control::get_entity(header.holder_id);
    ASSERT_TRUE(holder);
    EXPECT_EQ(holder->entity_class * 100 + holder->type, 2014);
    int listed = -1;
    toollist_entry_id(1, 1, listed, status);
    EXPECT_EQ(listed, id);
    tool_module_reset();
    SGTOOL(3, id, status);
    ASSERT_EQ(status, 0);
    const auto master = control::get_entity(tool_block().DMSRID);
    ASSERT_TRUE(master);
    EXPECT_EQ(master->entity_class * 100 + master->type, 1409);
    const int slaves = master->words[13];
    ASSERT_GT(slaves, 0);
    for (int k = 0; k < slaves; ++k) EXPECT_EQ(control::get_entity(master->words[14 + k])->attributes.at("SL"), 1);
    EXPECT_EQ(tool_block().TLVERS, prgvrs());
    EXPECT_EQ(dd_trimmed(tool_block().TLNAME), "M10");
    EXPECT_EQ(control::lines_of("usrer6"), std::vector<std::string>{"NOTE: NEW MILL TOOL CREATED: M10"});
}

TEST_F(ToolDialog, DuplicateRepeatsUntilTheUserBacksOut)
{
    tool_shapes().drill.DIAMTR = 6;
    const int d6 = make_tool(kDrill, "D6");
    int status = 0;
    puttol_named(2, d6, 0, "D6", status);
    control::load_script_text(R"([{"menu": 1}, {"page": {"line": 1, "value": "D6B"}}, {"page": 0},
                                  {"menu": 1}, {"page": {"line": 1, "value": "D6C"}}, {"page": 0}, {"menu": -1}])",
                              "t");
    int position = 1, id = -1, created = 0;
    CRTOOL(kDrill, 7, prgvrs(), 2, position, id, created, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(created, 2);
    EXPECT_EQ(count_lines("prmptc", "DUPLICATE:"), 3);
    EXPECT_EQ(control::events_left(), 0u);
    float diameter = 0;
    tool_get_drill_diameter(id, diameter);
    EXPECT_EQ(diameter, 6) << "a copy of the picked tool";
    // A copy that cannot be stored removes everything of its pass.
    const auto before = control::entity_ids().size();
    control::load_script_text(R"([{"menu": 1}, {"page": {"line": 1, "value": "D6D"}}, {"page": 0}])", "t");
    control::inject_fault("estore", 2, 1, -1);  // the symbol's first line
    CRTOOL(kDrill, 7, prgvrs(), 2, position, id, created, status);
    EXPECT_EQ(status, -5);
    EXPECT_TRUE(has_line("eroutc", "CRTOOL, ERRORS IN COPYING TOOLS"));
    EXPECT_EQ(control::entity_ids().size(), before);
}

TEST_F(ToolDialog, RulesBeforeTheFormIsAccepted)
{
    struct row {
        const char* what;
        int mode, used;
        const char* steps;
        int status;
        std::vector<std::string> user_lines;
    };
    const std::vector<row> rows = {
        {"a name is needed",
         2,
         0,
         R"([{"page": 0}, {"page": {"line": 1, "value": "NEW"}}, {"page": 0}])",
         0,
         {"PLEASE ENTER TOOL'S NAME"}},
        {"the name of another drill",
         2,
         0,
         R"([{"page": {"line": 1, "value": "D6"}}, {"page": 0}, {"page": -2}])",
         -2,
         {"TOOL NAME IS ALREADY IN USE"}},
        {"shown only", 10, 0, R"([{"page": 0}])", 0, {}},
        {"edited, its own name kept", 4, 0, R"([{"page": 0}])", 0, {}},
        {"edited, another tool's name",
         4,
         0,
         R"([{"page": {"line": 1, "value": "M12"}}, {"page": 0}, {"page": -1}])",
         -1,
         {"TOOL NAME IS ALREADY IN USE"}},
        {"a library name of another class",
         13,
         0,
         R"([{"page": {"line": 1, "value": "M12"}}, {"page": 0}, {"page": -1}])",
         -1,
         {"TOOL NAME IS ALREADY IN USE"}},
        {"a holder in use, cancelled",
         2,
         0,
         R"([{"page": [{"line": 1, "value": "NEW"}, {"line": 8, "value": 1}]}, {"page": 0}, {"question": "cancel"}])",
         -1,
         {"WARNING: HOLDER 1 IS IN USE"}},
        {"a holder in use, taken",
         2,
         0,
         R"([{"page": [{"line": 1, "value": "NEW"}, {"line": 8, "value": 1}]}, {"page": 0}, {"question": "no"},
             {"page": 0}, {"question": "yes"}])",
         0,
         {"WARNING: HOLDER 1 IS IN USE", "WARNING: HOLDER 1 IS IN USE"}},
        {"a drill cutting above its clear length",
         4,
         0,
         R"([{"page": {"line": 9, "value": 40}, "expect": "9 parameter"}, {"page": 0}, {"page": -1}])",
         -1,
         {"CUT LENGTH CANNOT EXCEED THE CLEAR LENGTH"}},
    };
    for (const row& x : rows) {
        SetUp();
        tool_block().HOLDER = 1;
        const int drill = make_tool(kDrill, "D6");
        tool_block().HOLDER = 2;
        make_tool(kMill, "M12");
        int status = 0;
        SGTOOL(3, drill, status);
        control::load_script_text(x.steps, x.what);
        tool_dialog(kDrill, x.mode, x.used, status);
        EXPECT_EQ(status, x.status) << x.what;
        std::vector<std::string> shown = control::lines_of("userrc");
        for (const auto& line : control::lines_of("user1c")) shown.push_back(line);
        EXPECT_EQ(shown, x.user_lines) << x.what;
        EXPECT_EQ(control::events_left(), 0u) << x.what;
        EXPECT_FALSE(control::interaction_active()) << x.what;
    }
}

TEST_F(ToolDialog, MillColoursGivenBackWhenLeft)
{
    const int mill = make_tool(kMill, "M8");
    control::set_attribute(mill, "CO", 5);
    int status = 0;
    SGTOOL(3, mill, status);
    control::load_script_text(R"([{"page": {"line": 14, "value": 9}, "expect": "14 COLOUR"}, {"page": -1}])", "t");
    control::set_tracing(true);
    tool_dialog(kMill, 4, 0, status);
    EXPECT_EQ(status, -1);
    bool shown_at_once = false;
    for (const auto& e : control::trace_entries())
        shown_at_once |= e.name == "eattc" && e.arguments == std::to_string(mill) + " 2 CO";
    EXPECT_TRUE(shown_at_once);
    EXPECT_EQ(control::get_entity(mill)->attributes.at("CO"), 5);
}

TEST_F(ToolDialog, InUseWarningOnceAndOnlyOnARealChange)
{
    tool_shapes().mill.DIAMTR = 10;
    const int mill = make_tool(kMill, "M10");
    int status = 0;
    SGTOOL(3, mill, status);
    control::load_script_text(R"([{"page": {"line": 6, "value": 10.00001}}, {"page": {"line": 6, "value": 12}},
                                  {"page": {"line": 6, "value": 14}}, {"page": 0}])",
                              "t");
    tool_dialog(kMill, 4, 1, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::lines_of("userrc"),
              std::vector<std::string>{"WARNING: TOOL IS IN USE. CHANGE WILL AFFECT TOOLPATHS"});
    EXPECT_EQ(tool_shapes().mill.DIAMTR, 14);
    EXPECT_FALSE(control::last_form_run().watch.empty());
    EXPECT_EQ(control::last_form_run().form_word, 2);
}

TEST_F(ToolDialog, ListingAndHostRunFormsAreNotRun)
{
    struct row {
        const char* what;
        int mode, host_run;
    };
    const row rows[] = {{"listing", kDialogListing, 0}, {"host-run", 4, 1}};
    for (const row& x : rows) {
        SetUp();
        const int drill = make_tool(kDrill, "D6");
        int status = 0;
        SGTOOL(3, drill, status);
        control::set_flag("mod_flag", x.host_run);
        control::load_script_text("[]", x.what);
        tool_dialog(kDrill, x.mode, 0, status);
        EXPECT_EQ(status, 0) << x.what;
        EXPECT_EQ(page_events(), 0) << x.what;
        EXPECT_EQ(control::call_count("modcls"), 0) << x.what;
        EXPECT_EQ(control::call_count("modifa"), 0) << x.what;
    }
    control::inject_fault("nu_modl_init", 1, 1, -3);
    int status = 0;
    tool_dialog(kDrill, 4, 0, status);
    EXPECT_EQ(status, -5);
}

TEST_F(ToolDialog, ChoiceOfTheCurrentTool)
{
    const int first = make_tool(kDrill, "D6");
    const int second = make_tool(kDrill, "D8");
    set_allowed_tool_classes(1, kDrill);
    PRM9().words[machine_params::kToolId] = first;
    control::load_script_text(R"([{"menu": "D8", "expect": "D6"}])", "t");
    std::string name;
    int status = 0;
    tool_select_c(0, name, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(name, "D8");
    EXPECT_EQ(PRM9().words[machine_params::kToolId], second);
    // The name entry creates a tool of a class the user picks.
    set_allowed_tool_classes(1, kDrill);
    int classes = 0, first_class = 0, freed = 0;
    toollist_fill(0, 0, classes, first_class);
    control::load_script_text(R"([{"menu": "NAME=___"}, {"menu": "MILL TOOL", "expect": "DRILL TOOL@MILL TOOL"},
                                  {"page": {"line": 1, "value": "M5"}}, {"page": 0}])",
                              "t");
    int id = second;
    tool_select_prompt(0, -kDrill, 1, id, status);
    EXPECT_EQ(status, 0);
    int tool_class = 0;
    tool_get_class(id, tool_class);
    EXPECT_EQ(tool_class, kMill);
    EXPECT_EQ(control::events_left(), 0u);
    reltol(0, freed);
}
