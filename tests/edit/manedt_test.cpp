// The manual editor driven by scripts as the execution menu opens it: the browsing menu, the
// switch-then-move rule of FORWARD and BACKWARD, the entries offered by the markers a procedure
// has, refused field values, a refused indication, and a list failure that ends the editor with
// its message while "MEDZ" is still written and the list is left as it was.
#include "driver/nc_state_store.hpp"
#include "edit/manedt.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/control/edit_command.hpp"
#include "host/control/ncd_file.hpp"
#include "host/control/proc_run.hpp"
#include "host/control/script.hpp"
#include "listing/dsproc.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/proc_type_table.hpp"
#include "tests/edit/editor_support.hpp"
#include "tests/toolpath/nc_state_support.hpp"
#include "tools/tool_dialog.hpp"

#include <regex>

namespace {

using namespace editor_test;
namespace control = vantu::control;

const std::vector<std::string> kPlain{"P1:2", "L2", "L3", "L4", "L5", "M6:1", "L7", "L8", "L9", "L10"};
const std::vector<std::string> kLayers{"L1", "M2:3", "L3", "L4", "M5:4", "M6:3", "L7", "L8", "M9:4"};

// The procedure being written, the cursor on its last block, as the execution menu finds it.
void paused(const std::vector<std::string>& list, const std::string& script)
{
    build(list);
    int status = 0;
    lacces(3, status);
    control::load_script_text(script, "manedt test");
}

int browse()
{
    int status = 0;
    manual_edit_browse(status);
    return status;
}

std::vector<const control::script_event*> pages()
{
    std::vector<const control::script_event*> out;
    for (const auto& e : control::transcript_events())
        if (e.kind == "page" && !e.refused) out.push_back(&e);
    return out;
}

// The block number the menu showed in its block field.
int shown_block(const control::script_event& page)
{
    static const std::regex kField(R"(L:BLK = (\d+))");
    std::smatch m;
    return std::regex_search(page.text, m, kField) ? std::stoi(m[1]) : -1;
}

TEST(ManualEditor, BrowsingMenuAndExit)
{
    paused(kPlain, R"([{"page": 24}])");
    EXPECT_EQ(browse(), 0);
    const auto shown = pages();
    ASSERT_EQ(shown.size(), 1u);
    const std::string& text = shown[0]->text;
    EXPECT_NE(text.find("MOVE TOOL"), std::string::npos);
    for (const char* absent : {"DELETE", "ALTERATIONS", "SERVICE", "MACH.PARAMS"})
        EXPECT_EQ(text.find(absent), std::string::npos) << absent;
    EXPECT_NE(text.find("1 MOVE TOOL (marked) | 2 (blank) | 3 (blank) | 4 (blank) | 5 (blank) | 6 (blank)"),
              std::string::npos);
    EXPECT_EQ(shown_block(*shown[0]), 10) << "the cursor starts on the last motion";
    EXPECT_EQ(cursor_block_number(), 10) << "and ends there";
    word delay = 0;
    int status = 0;
    mdgetc("MEDZ", 1, &delay, status);
    EXPECT_EQ(status, 0);
    EXPECT_FLOAT_EQ(word_to_real(delay), 0.001f);
    for (const std::string& line : lines_of("eroutc"))
        EXPECT_EQ(line.find("ERRORS IN LIST"), std::string::npos) << line;
}

struct step_row {
    const char* name;
    const char* script;
    std::vector<int> blocks;  // the block field of each menu shown
    const char* last_marked;  // the direction marked in the last menu
};

TEST(ManualEditor, ForwardAndBackwardSwitchBeforeTheyMove)
{
    const step_row rows[] = {
        {"BACKWARD in force moves", R"([{"page": 9}, {"page": 24}])", {10, 9}, "9 BACKWARD (marked)"},
        {"FORWARD switches, then moves",
         R"([{"page": {"line": 15, "value": 3}}, {"page": 9}, {"page": 8}, {"page": 8}, {"page": 24}])",
         {10, 10, 7, 7, 10},
         "8 FORWARD (marked)"},
        {"a count of points over a marker",
         R"([{"page": {"line": 15, "value": 4}}, {"page": 9}, {"page": 24}])",
         {10, 10, 5},
         "9 BACKWARD (marked)"},
        {"past the first motion the direction turns",
         R"([{"page": {"line": 15, "value": 50}}, {"page": 9}, {"page": 8}, {"page": 24}])",
         {10, 10, 2, 10},
         "9 BACKWARD (marked)"},
        {"before the first motion FORWARD is in force",
         R"([{"page": {"line": 15, "value": 50}}, {"page": 9}, {"page": 24}])",
         {10, 10, 2},
         "8 FORWARD (marked)"},
    };
    for (const step_row& row : rows) {
        SCOPED_TRACE(row.name);
        paused(kPlain, row.script);
        EXPECT_EQ(browse(), 0);
        std::vector<int> got;
        for (const auto* page : pages()) got.push_back(shown_block(*page));
        EXPECT_EQ(got, row.blocks);
        EXPECT_NE(pages().back()->text.find(row.last_marked), std::string::npos);
        EXPECT_EQ(cursor_block_number(), 10);
    }
}

TEST(ManualEditor, EntriesFollowTheMarkersOfTheProcedure)
{
    struct row {
        const std::vector<std::string>* list;
        std::vector<const char*> present, absent;
    };
    const row rows[] = {
        {&kPlain,
         {"JUMP START  >@JUMP END    >@JUMP BLOCK  >", "BLOCK STEP", "SHOW ALL    >@SHOW BLOCK  >"},
         {"LAYER STEP", "JUMP LAYER/Z", "SHOW LAYER"}},
        {&kLayers,
         {"JUMP START  >@JUMP END    >@JUMP LAYER/Z>@JUMP BLOCK  >", "BLOCK STEP  >@LAYER STEP  >",
          "SHOW ALL    >@SHOW BLOCK  >@SHOW LAYER  >"},
         {"PASS"}},
    };
    for (const row& r : rows) {
        paused(*r.list, R"([{"page": 24}])");
        EXPECT_EQ(browse(), 0);
        const std::string text = pages().at(0)->text;
        for (const char* t : r.present) EXPECT_NE(text.find(t), std::string::npos) << t;
        for (const char* t : r.absent) EXPECT_EQ(text.find(t), std::string::npos) << t;
    }
}

TEST(ManualEditor, FieldValuesOutsideTheirRangesAreRefused)
{
    const char* refused[] = {
        R"({"page": {"line": 15, "value": 0}})",    R"({"page": {"line": 15, "value": 10000}})",
        R"({"page": {"line": 14, "value": 10.5}})", R"({"page": {"line": 14, "value": -0.5}})",
        R"({"page": {"line": 13, "value": 0}})",    R"({"page": {"line": 13, "value": 1000000}})",
    };
    for (const char* step : refused) {
        SCOPED_TRACE(step);
        paused(kPlain, std::string("[") + step + R"(, {"page": 24}])");
        EXPECT_EQ(browse(), 0);
        const auto& events = control::transcript_events();
        ASSERT_GE(events.size(), 2u);
        EXPECT_TRUE(events[0].refused);
        EXPECT_EQ(pages().size(), 1u);
    }
}

TEST(ManualEditor, IndicationOutsideTheProcedureIsRefused)
{
    paused(kPlain, R"([{"page": {"line": 7, "value": "JUMP BLOCK"}}, {"pick": {"block": [99, 3]}},
                       {"pick": "menu"}, {"page": 24}])");
    EXPECT_EQ(browse(), 0);
    EXPECT_EQ(lines_of("userrc"), std::vector<std::string>{"PLEASE INDICATE ON ONE OF THE PROCEDURE BLOCKS"});
    EXPECT_EQ(shown_block(*pages().back()), 10) << "no move";
}

TEST(ManualEditor, NoteEndingsAreNoErrors)
{
    struct row {
        std::vector<std::string> list;
        const char* note;
    };
    const row rows[] = {{{"P1:2", "M2:1"}, "NOTE: NO MOVEMENTS IN PROCEDURE LIST"}};
    for (const row& r : rows) {
        paused(r.list, R"([{"page": 24}])");
        EXPECT_EQ(browse(), 0);
        EXPECT_EQ(lines_of("userrc"), std::vector<std::string>{r.note});
        EXPECT_TRUE(pages().empty());
    }
}

// The lmark calls made before the n-th start of a move (get_win_mode opens every move) in a run of
// the script.
long marks_before_move(const std::string& script, int n)
{
    paused(kPlain, script);
    control::set_tracing(true);
    browse();
    control::set_tracing(false);
    long marks = 0;
    for (const std::string& name : control::trace_names()) {
        if (name == "get_win_mode" && --n == 0) return marks;
        if (name == "lmark") ++marks;
    }
    return -1;
}

TEST(ManualEditor, ListFailureInAMoveEndsWithItsMessage)
{
    const std::string script = R"([{"page": 0}, {"page": 24}])";
    for (int move : {1, 2}) {  // the first move, and the confirm move
        SCOPED_TRACE(move);
        const long before = marks_before_move(script, move);
        ASSERT_GE(before, 0);
        paused(kPlain, script);
        const auto list_before = control::toolpath_top();
        control::inject_fault("lmark", before + 1, 1, -1);
        EXPECT_EQ(browse(), -3);
        control::clear_faults();
        EXPECT_NE(std::find(lines_of("eroutc").begin(), lines_of("eroutc").end(), "manedt,ERRORS IN LIST"),
                  lines_of("eroutc").end());
        EXPECT_TRUE(control::toolpath_top() == list_before) << "the list as it was";
        word delay = 0;
        int status = 0;
        mdgetc("MEDZ", 1, &delay, status);
        EXPECT_EQ(status, 0) << "MEDZ is written on every way out";
    }
}

// A procedure opened by its number is drawn in its own colour and pen, not in those the NC state
// held (1 and 1 in the mill example): on the mill example, opened for modification with the
// procedure's colour 7 and pen 3, the editor trims the zig-zag by the square (the README's trim
// example), and every block the trimming writes shows in that pen, the cuts in that colour.
// The module's words a whole editing run of a part changes, given back for the next test.
class ManualEditorRun : public ::testing::Test {
protected:
    void TearDown() override
    {
        tp_test::fresh_nc_state_blocks();
        tool_module_reset();
        trim_words() = trim_state{};
        machining_type() = machining_;
        control::reset();
    }

private:
    int machining_ = machining_type();
};

TEST_F(ManualEditorRun, ProcedureOpenedByNumberShowsWhatItWritesInItsColourAndPen)
{
    constexpr int kColour = 7, kPen = 3, kLastOwnBlock = 33, kLineFont = 4, kStoredFeedColour = 2;
    control::reset();
    control::load_part(std::string(DRELAN_SOURCE_DIR) + "/examples/mill_path_part.json");
    ASSERT_TRUE(control::open_procedure_for_edit(1));
    control::set_edited_proc_colour_pen(kColour, kPen);
    int status = 0, draw = 1;
    SEGSTR(kRestoreWithView, status);
    DSPROC(draw, status);
    control::load_script_text(R"([{"page": 4}, {"menu": 1}, {"pick": 20}, {"page": 12},
                                  {"page": [{"line": 2, "value": "YES"}, {"line": 0}]}, {"page": 16}, {"page": 24}])",
                              "trim in the procedure's colour");
    const edit_perm rights{1, 1, 1, 1, 1, 1, 0};
    int start_at_end = 0, changed = 0;
    manedt(1, rights, start_at_end, 0, changed, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(changed, 1);
    int written = 0, in_colour = 0;
    for (const control::ncd_block_record& b : control::ncd_blocks()) {
        if (b.level != 2 || b.block2 <= kLastOwnBlock || b.font != kLineFont) continue;
        ++written;
        EXPECT_EQ(b.pen, kPen) << "block " << b.block2;
        EXPECT_TRUE(b.colour == kColour || b.colour == kStoredFeedColour) << "block " << b.block2;
        in_colour += b.colour == kColour ? 1 : 0;
    }
    EXPECT_GT(written, 0);
    EXPECT_GT(in_colour, 0);
}

}  // namespace
