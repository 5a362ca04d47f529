// Execution under interrupt on the example part: the EXECUTION menu after a pause, the stop from
// every place that polls for a pause, BY STEP with its count, the suspend answer, the break checks
// outside an execution, and the host ending a run in the middle of a pause.
#include "run_support.hpp"

#include "driver/proc_status.hpp"
#include "nc_services/prog_line.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/motion_writers.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tools_test_support.hpp"

#include <functional>

namespace {

using run_test::RunTest;
namespace control = vantu::control;

constexpr const char* kYesRule = R"("rules": [{"menu": "YES", "expect": "OK TO EXECUTE?"}])";

void line_to(float x, int& status) { PLINE_entry(1, {x, 1.0f, 0.0f}, kDefaultDirection, status); }

std::vector<control::script_event> page_events()
{
    std::vector<control::script_event> pages;
    for (const auto& e : control::transcript_events())
        if (e.kind == "page") pages.push_back(e);
    return pages;
}

class Execution : public RunTest {
protected:
    // Polls of the keyboard so far.
    static long polls() { return control::call_count("gupdat"); }
    static long executes(int mode)
    {
        return run_test::count_of(fakes::rec().events, "cb execute " + std::to_string(mode));
    }
    // What every road out of an execution gives back.
    static void expect_given_back(const std::string& what)
    {
        EXPECT_EQ(run_test::record_word("UITR"), 0) << what;
        EXPECT_EQ(control::relation_holds(), 0) << what;
        EXPECT_FALSE(control::interaction_active()) << what;
        EXPECT_EQ(exec_words().restart_active, 0) << what;
        EXPECT_TRUE(progress().activity.empty()) << what;
    }
};

TEST_F(Execution, PauseBeforeAnyMoveOffersResumeAndStopWithoutManualEdit)
{
    script(std::string(R"({"steps": [{"key": "SPACE"}, {"page": -1}], )") + kYesRule + "}");
    fakes::rec().define_ends_run_on_call = 2;
    fakes::rec().execute_body = [](int mode, int&) {
        if (mode == 1) EXCBRK();
    };
    fakes::run_driver_with_fakes();
    const auto pages = page_events();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].text.find("1 EXECUTION:RESUME@EXECUTION:STOP = 1"), std::string::npos) << pages[0].text;
    EXPECT_EQ(pages[0].text.find("BY STEP"), std::string::npos);
    EXPECT_EQ(pages[0].text.find("MANUAL EDIT"), std::string::npos);
    EXPECT_TRUE(run_test::has_text("shlms6", "PROCEDURE EXECUTION INTERRUPT AT:"));
    EXPECT_TRUE(run_test::has_text("shlms6", "PROCEDURE EXECUTION RESUME TIME :"));
    EXPECT_EQ(executes(1), 1);
    EXPECT_EQ(executes(2), 0);
    expect_given_back("quit");
}

// A stop reached from any place that polls for a pause: the computation is abandoned there, the
// callback cleans up once, the block is marked suspended, everything taken is given back and the
// creation run goes on to the next define.
TEST_F(Execution, StopAtEveryPollPointCleansUpOnceAndGivesEverythingBack)
{
    struct row {
        const char* place;
        bool warm_up;                    // one line move first, so moves exist
        std::function<void(int&)> poll;  // the place that sees the pause
    };
    const std::vector<row> rows = {
        {"machine parameters before the first move", false, [](int& s) { line_to(0.0f, s); }},
        {"line move", true, [](int& s) { line_to(5.0f, s); }},
        {"point string", true,
         [](int& s) {
             string_move_entry(1, {6.0f, 0.0f, 0.0f}, kDefaultDirection, s);
             string_move_entry(1, {7.0f, 0.0f, 0.0f}, kDefaultDirection, s);
             PCLSST_entry();
         }},
        {"arc", true,
         [](int& s) {
             PCIRC(1, 1, 1.0f, 0.5f, {0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, kDefaultDirection, 1, s);
         }},
        {"break check", true, [](int&) { EXCBRK(); }},
        {"percentage", true,
         [](int&) {
             prog_reset_all();
             prog_count_set(1, 10);
             prog_count_set(2, 5);
             prog_percent(kActivityPocketing);
         }},
        {"stage", true,
         [](int&) {
             prog_reset_all();
             prog_count_set(1, 20);
             prog_count_set(2, 10);
             prog_stage(kActivityPocketing, 2);
         }},
    };
    for (const row& r : rows) {
        long polls_before = -1;
        bool computation_went_on = false;
        auto body = [&](int mode, int& status) {
            if (mode != 1) return;
            if (r.warm_up) line_to(1.0f, status);
            polls_before = polls();
            r.poll(status);
            computation_went_on = true;
            line_to(9.0f, status);
        };
        // First without a key, to learn how many polls come before the place.
        SetUp();
        script(std::string(R"({"steps": [], )") + kYesRule + "}");
        fakes::rec().define_ends_run_on_call = 2;
        fakes::rec().execute_body = body;
        fakes::run_driver_with_fakes();
        ASSERT_GE(polls_before, 0) << r.place;
        ASSERT_GT(polls(), polls_before) << r.place << ": the place polls";

        SetUp();
        script(R"({"steps": [{"key": "SPACE", "after": )" + std::to_string(polls_before) +
               R"(}, {"page": [{"line": 1, "value": "EXECUTION:STOP"}, {"line": 0}]},
                   {"question": "yes", "expect": "STOP EXECUTION?"}], )" +
               kYesRule + "}");
        fakes::rec().define_ends_run_on_call = 2;
        fakes::rec().execute_body = body;
        computation_went_on = false;
        fakes::run_driver_with_fakes();
        EXPECT_EQ(control::events_left(), 0u) << r.place;
        EXPECT_FALSE(computation_went_on) << r.place;
        EXPECT_EQ(executes(1), 1) << r.place;
        EXPECT_EQ(executes(2), 1) << r.place;
        EXPECT_EQ(control::interrupt_answers(), std::vector<int>{1}) << r.place;
        const control::toolpath_line* block = run_test::procedure_block(1);
        ASSERT_NE(block, nullptr) << r.place;
        EXPECT_EQ(run_test::global_item(*block, 44), std::vector<word>{3}) << r.place;
        EXPECT_EQ(run_test::global_item(*block, 22), std::vector<word>{2}) << r.place;
        EXPECT_EQ(run_test::global_item(*block, 20), std::vector<word>{static_cast<word>(block->sublist.size())})
            << r.place;
        EXPECT_TRUE(run_test::has_text("prmptc", "EXECUTION END")) << r.place;
        EXPECT_TRUE(run_test::has_text("shlms6", "PROCEDURE EXECUTION END TIME    :")) << r.place;
        EXPECT_EQ(fakes::rec().define_repeat_flags, (std::vector<int>{0, 1})) << r.place;
        expect_given_back(r.place);
    }
}

// The stop gives the tool's dimensions back: what the callback did to them is undone.
TEST_F(Execution, StopRestoresTheToolDimensions)
{
    tool_tables_init();
    const int mill = tools_test::make_tool(2, "MILL 10");
    int status = 0;
    SGTOOL(1, mill, status);
    ASSERT_EQ(status, 0);
    tool_block().IDTOOL = mill;
    PRM9().words[machine_params::kToolId] = mill;
    tool_set_mill_diameter(10.0f);
    tool_set_corner_radius(1.0f);
    machining_type() = 31;
    std::vector<int> modes;
    static std::vector<int>* seen = nullptr;
    seen = &modes;
    auto execute = [](int& mode, int& s) {
        seen->push_back(mode);
        s = 0;
        if (mode != 1) return;
        tool_set_mill_diameter(3.0f);
        tool_set_corner_radius(0.0f);
        exec_stop_unwind();
    };
    int suspended = 0, changed = 0, display_mode = 0;
    exec_run(execute, 1, 0, suspended, changed, display_mode, status);
    EXPECT_EQ(modes, (std::vector<int>{1, 2}));
    EXPECT_EQ(suspended, 1);
    float diameter = 0.0f, radius = 0.0f;
    tool_get_mill_diameter(mill, diameter);
    tool_get_corner_radius(mill, radius);
    EXPECT_EQ(diameter, 10.0f);
    EXPECT_EQ(radius, 1.0f);
    EXPECT_EQ(exec_words().restart_active, 0);
}

// BY STEP with COUNT 3 opens the menu again after three displayed blocks without a key; a count
// of 10001 is refused by the page.
TEST_F(Execution, ByStepReopensTheMenuAfterItsCount)
{
    // The first move polls three times (two machine-parameter blocks and the line): the pause
    // comes with the second move.
    script(std::string(R"({"steps": [{"key": "SPACE", "after": 3},
        {"page": {"line": 1, "value": "EXECUTION:BY STEP"}},
        {"page": [{"line": 2, "value": 10001}, {"line": 0}]},
        {"page": [{"line": 2, "value": 3}, {"line": 0}]},
        {"page": [{"line": 1, "value": "EXECUTION:RESUME"}, {"line": 0}]}], )") +
           kYesRule + "}");
    fakes::rec().define_ends_run_on_call = 2;
    std::vector<std::size_t> pages_after_move;
    fakes::rec().execute_body = [&](int mode, int& status) {
        for (int move = 1; mode == 1 && move <= 8; ++move) {
            line_to(static_cast<float>(move), status);
            pages_after_move.push_back(page_events().size());
        }
    };
    fakes::run_driver_with_fakes();
    EXPECT_EQ(control::events_left(), 0u);
    // Three pages (one refused) at the pause, the fourth three moves later.
    const auto first = std::find(pages_after_move.begin(), pages_after_move.end(), 3u);
    const auto again = std::find(pages_after_move.begin(), pages_after_move.end(), 4u);
    ASSERT_NE(again, pages_after_move.end());
    EXPECT_EQ(again - first, 3);
    EXPECT_EQ(pages_after_move.back(), 4u) << "RESUME ends the stepping";
    const auto pages = page_events();
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_NE(pages[1].text.find("2 COUNT = 1 [1, 10000]"), std::string::npos) << pages[1].text;
    EXPECT_TRUE(pages[1].refused);
    EXPECT_NE(pages[1].answer.find("above the upper limit"), std::string::npos) << pages[1].answer;
    EXPECT_NE(pages[3].text.find("= 2 (EXECUTION:BY STEP)"), std::string::npos) << "BY STEP stays chosen";
    EXPECT_EQ(executes(2), 0);
}

TEST_F(Execution, SuspendStoresTheBlockWithoutExecuting)
{
    script(R"({"steps": [{"menu": "SUSPEND", "expect": "OK TO EXECUTE?"}]})");
    fakes::rec().define_ends_run_on_call = 2;
    fakes::run_driver_with_fakes();
    EXPECT_TRUE(run_test::has_text("prmptc", "S U S P E N D I N G"));
    EXPECT_EQ(executes(1), 0);
    const control::toolpath_line* block = run_test::procedure_block(1);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(run_test::global_item(*block, 44), std::vector<word>{2});
    EXPECT_TRUE(run_test::has_text("shlmsg", "PROCEDURE EXECUTION IS SUSPENDED"));
    EXPECT_FALSE(run_test::has_text("shlms6", "PROCEDURE EXECUTION END TIME"));
    EXPECT_EQ(fakes::rec().define_repeat_flags, (std::vector<int>{0, 1}));
    // UPDCMC finished the block: it attaches the tool path's entities of items 10 and 47.
    EXPECT_EQ(control::call_count("asattl"), 2);
}

// Outside an execution: the break check polls once and opens nothing; the menu shows nothing
// without "UITR" at 1, or with a key pending, and gives the relation table back either way; a stop
// finds no restart point and returns; the check of machining type 36 goes on after NO to
// "CONTINUE?".
TEST_F(Execution, BreakChecksOutsideAnExecutionNeverJump)
{
    EXCBRK();
    EXPECT_EQ(polls(), 1);
    exec_pause_menu(kMenuMovesWritten);
    control::set_record("UITR", 3, {1});
    script(R"({"steps": [{"key": "ENTER"}]})");
    exec_pause_menu(kMenuMovesWritten);
    EXPECT_EQ(control::events_left(), 0u) << "the pending key was seen";
    EXPECT_TRUE(page_events().empty());
    EXPECT_EQ(control::relation_holds(), 0);
    EXPECT_NO_THROW(exec_stop_unwind());

    script(R"({"steps": [{"key": "SPACE"}, {"question": "no", "expect": "CONTINUE?"}]})");
    machining_type() = 36;
    EXPECT_NO_THROW(EXCBRK());
    EXPECT_EQ(control::events_left(), 0u);
    EXPECT_EQ(control::texts_of("prmptc").back(), " E X E C U T I N G... ");
}

// The host ending the run while the menu is shown is not a stop: nothing in the module catches
// it, and the frames on its way give back what they took.
TEST_F(Execution, HostEndingTheRunPassesThroughAndGivesBack)
{
    script(std::string(R"({"strict": true, "steps": [{"key": "SPACE", "after": 3}], )") + kYesRule + "}");
    fakes::rec().execute_body = [](int mode, int& status) {
        for (int move = 1; mode == 1 && move <= 4; ++move) line_to(static_cast<float>(move), status);
    };
    EXPECT_THROW(fakes::run_driver_with_fakes(), control::run_aborted);
    EXPECT_EQ(executes(2), 0);
    expect_given_back("host ended the run");
}

}  // namespace
