// The questions before execution: the menus and answers of ask_ok_to_execute, the notes of
// proc_change_notes, the roads and the point display of proc_pre_exec, and the status, created
// and execution lines.
#include "driver/pre_exec.hpp"
#include "driver/proc_messages.hpp"
#include "driver/proc_run_state.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/msg_window.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace control = vantu::control;
using lines = std::vector<std::string>;

// Every line shown to the user besides the dialogs, as "channel: line", in order.
lines shown(std::initializer_list<const char*> channels)
{
    lines out;
    for (const auto& m : control::messages())
        for (const char* c : channels)
            if (m.channel == c) out.push_back(m.channel + ": " + m.line);
    return out;
}

// The dialogs asked, as "prompt | text".
lines asked()
{
    lines out;
    for (const auto& e : control::transcript_events()) out.push_back(e.prompt + " | " + e.text);
    return out;
}

class PreExec : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        control::clear_messages();
        EDA2() = edit_state{};
        msg_window(kMsgWindowReset, 0, 0, "");
        proc_run = proc_run_state{};
    }
    void script(const std::string& steps) { control::load_script_text(steps, "pre_exec test"); }
};

TEST_F(PreExec, AskOkToExecute)
{
    struct row {
        const char* what;
        int g, allowed, r, u, s, direct, q, debug, c, editing;
        const char* steps;
        int answer;
        lines dialogs;
        lines prompts_after;  // prompt lines and warnings after the question
        long prexec;
    };
    const std::string suspend_warning = "usmsgc: WARNING: SUSPENDING PROCEDURE WILL DELETE ALL MOTIONS";
    const std::vector<row> rows = {
        {"new procedure",
         1,
         1,
         1,
         1,
         0,
         0,
         0,
         0,
         0,
         0,
         R"([{"menu": 1}])",
         1,
         {"OK TO EXECUTE? | YES    @NO     @SUSPEND"},
         {"prmptc: OK TO EXECUTE?"},
         1},
        {"optimization only",
         1,
         1,
         0,
         0,
         0,
         0,
         1,
         0,
         0,
         1,
         R"([{"menu": 3}])",
         3,
         {"prompt 319/10 | YES   @NO    @UPDATE"},
         {},
         0},
        {"no suspending",
         1,
         0,
         1,
         1,
         0,
         0,
         0,
         0,
         0,
         0,
         R"([{"menu": 2}])",
         2,
         {"OK TO EXECUTE? | YES    @NO     "},
         {"prmptc: OK TO EXECUTE?"},
         0},
        {"force offered",
         1,
         1,
         1,
         0,
         0,
         0,
         0,
         1,
         0,
         0,
         R"([{"menu": 4}])",
         4,
         {"OK TO EXECUTE? | YES    @NO     @SUSPEND@force  "},
         {"prmptc: OK TO EXECUTE?"},
         1},
        {"force without suspending",
         1,
         0,
         1,
         0,
         0,
         0,
         0,
         1,
         0,
         0,
         R"([{"menu": 3}])",
         4,
         {"OK TO EXECUTE? | YES    @NO     @force  "},
         {"prmptc: OK TO EXECUTE?"},
         1},
        {"nothing changed, yes",
         1,
         1,
         0,
         0,
         0,
         0,
         0,
         0,
         0,
         1,
         R"([{"menu": 1}])",
         -1,
         {"prompt 319/100 | YES    @NO     "},
         {},
         0},
        {"nothing changed, no",
         1,
         1,
         0,
         0,
         0,
         0,
         0,
         0,
         0,
         1,
         R"([{"menu": 2}])",
         2,
         {"prompt 319/100 | YES    @NO     "},
         {},
         0},
        {"update",
         1,
         1,
         0,
         1,
         0,
         0,
         0,
         0,
         0,
         1,
         R"([{"menu": 1}])",
         1,
         {"OK TO UPDATE? | YES    @NO     "},
         {"prmptc: OK TO UPDATE?", "prmptc: U P D A T I N G"},
         0},
        {"suspended, edited",
         1,
         1,
         1,
         0,
         1,
         0,
         0,
         0,
         0,
         1,
         R"([{"menu": 1}])",
         3,
         {"OK TO SUSPEND? | YES    @NO     "},
         {suspend_warning, "prmptc: OK TO SUSPEND?", "prmptc: S U S P E N D I N G", suspend_warning},
         0},
        {"suspended, cannot be", 1, 0, 1, 0, 1, 0, 0, 0, 0, 1, "[]", -1, {}, {}, 0},
        {"recompute without geometry", 0, 1, 1, 0, 0, 1, 0, 0, 0, 0, "[]", 3, {}, {"prmptc: S U S P E N D I N G"}, 0},
        {"direct, execute flag", 1, 1, 1, 0, 0, 1, 0, 0, 0, 0, "[]", 1, {}, {"prmptc: OK TO EXECUTE?"}, 1},
        {"direct, update", 1, 1, 0, 1, 0, 1, 0, 0, 0, 0, "[]", 1, {}, {"prmptc: U P D A T I N G"}, 0},
        {"direct, replace", 1, 1, 0, 0, 0, 1, 0, 0, 0, 0, "[]", 1, {}, {}, 1},
    };
    for (const row& x : rows) {
        SetUp();
        control::set_flag("host_debug", x.debug);
        control::set_flag("tamsa", x.direct);
        EDA2().word_no(edit_state::kEditing) = x.editing;
        script(x.steps);
        int answer = 0;
        ask_ok_to_execute(x.g, x.allowed, x.r, x.u, x.s, x.direct, x.q, 0, x.c, answer);
        EXPECT_EQ(answer, x.answer) << x.what;
        EXPECT_EQ(asked(), x.dialogs) << x.what;
        EXPECT_EQ(shown({"prmptc", "usmsgc"}), x.prompts_after) << x.what;
        EXPECT_EQ(control::call_count("prexec"), x.prexec) << x.what;
    }
}

TEST_F(PreExec, ChangeNotes)
{
    struct row {
        const char* what;
        int g, kept, old_version, suspended, manual, interrupted, update, suspend, result, criteria, recompute,
            warnings;
        lines notes;
        int recompute_after, result_after;
    };
    const std::string unchanged = "NOTE: NO CHANGES IN PROCEDURE'S PARAMETERS";
    const std::string no_rerun = "usrmsg: NOTE: CHANGES DO NOT REQUIRE RE-EXECUTION";
    const std::vector<row> rows = {
        {"nothing changed", 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, {"usrmsg: " + unchanged}, 0, 0},
        {"nothing changed, warnings",
         1,
         1,
         0,
         0,
         0,
         0,
         0,
         0,
         0,
         0,
         0,
         1,
         {"usrmsg: " + unchanged + ". ATTENTION: WARNINGS ISSUED"},
         0,
         0},
        {"update only", 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, {no_rerun}, 0, 0},
        {"geometry not kept",
         1,
         0,
         0,
         0,
         0,
         0,
         1,
         0,
         0,
         0,
         0,
         0,
         {"usrms4: NOTE: CHANGES DO NOT REQUIRE RE-EXECUTION|WARNING: GEOMETRIC ENTITIES WILL NOT BE AVAILABLE FOR "
          "RERUN"},
         0,
         0},
        {"criteria changed",
         1,
         1,
         0,
         0,
         0,
         0,
         0,
         0,
         0,
         1,
         0,
         0,
         {"usrms4: NOTE:  GEOMETRY BY CRITERIA CAN NOT BE UPDATED|" + unchanged},
         0,
         0},
        {"suspended, old version",
         1,
         1,
         1,
         1,
         0,
         0,
         1,
         0,
         0,
         0,
         0,
         0,
         {"usrms4: NOTE: CHANGES DO NOT REQUIRE RE-EXECUTION|RE-EXECUTION WILL BE DUE TO PROCEDURE BEING SUSPENDED, "
          "FROM OLD VERSION"},
         1,
         0},
        {"reasons past 80 characters", 1, 1, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0, {no_rerun}, 1, 0},
        {"recompute already set", 1, 1, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0, {}, 1, 0},
        {"optimization only",
         1,
         1,
         0,
         0,
         0,
         0,
         0,
         0,
         1,
         0,
         0,
         0,
         {"usrmsg: NOTE: ONLY OPTIMIZATION WILL BE CALCULATED FOR THIS PROCEDURE"},
         0,
         1},
        {"machine parameters, optimization", 1, 1, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, {"msg_mdls: message 339/90"}, 0, 1},
        {"no geometry, recompute",
         0,
         1,
         0,
         0,
         0,
         0,
         0,
         0,
         0,
         0,
         1,
         0,
         {"msg_mdls: message 319/560 NOTE: NO GEOMETRY IS KEPT WITH THE PROCEDURE"},
         1,
         0},
        {"no geometry, warnings", 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, {"msg_mdls: message 319/550"}, 0, 0},
    };
    for (const row& x : rows) {
        SetUp();
        if (x.warnings) msg_window(kMsgWindowAdd, kMsgWarning, 4, "WIDE");
        control::clear_messages();
        int result = x.result, recompute = x.recompute;
        proc_change_notes(x.g, x.kept, x.old_version, x.suspended, x.manual, x.interrupted, x.update, x.suspend, result,
                          x.criteria, recompute);
        EXPECT_EQ(shown({"usrmsg", "usrms4", "msg_mdls"}), x.notes) << x.what;
        EXPECT_EQ(recompute, x.recompute_after) << x.what;
        EXPECT_EQ(result, x.result_after) << x.what;
    }
}

// The display hook of the tests: `count` points along X with arrows.
int hook_count = 0;
void hook_double(int& capacity, int& count, float* points, int& show_arrows, float* directions, int& has_axes, float*,
                 int& status)
{
    for (int i = 0; i < std::min(hook_count, capacity / 3); ++i) {
        points[3 * i] = static_cast<float>(10 * i);
        directions[3 * i] = 1.0f;
    }
    count = hook_count;
    show_arrows = 1;
    has_axes = 0;
    status = 0;
}

TEST_F(PreExec, RoadsAnswersAndPointDisplay)
{
    struct row {
        const char* what;
        int managed, no_questions, criteria, suspended_before;
        const char* steps;
        int status, suspend, recompute;
        int recompute_in = 1;
    };
    const std::vector<row> rows = {
        {"template being written", 2, 0, 0, 0, "[]", -1, 0, 1},
        {"no questions", 0, 1, 0, 0, "[]", 0, 0, 1},
        {"no questions, criteria changed", 0, 1, 1, 0, "[]", -1, 0, 1},
        {"yes", 0, 0, 0, 0, R"([{"menu": 1}])", 0, 0, 1},
        {"yes keeps the suspend word of a suspended procedure", 0, 0, 0, 1, R"([{"menu": 1}])", 0, 1, 1},
        {"no", 0, 0, 0, 0, R"([{"menu": 2}])", -2, 0, 1},
        {"suspend", 0, 0, 0, 0, R"([{"menu": 3}])", 0, 1, 1},
        {"cancel", 0, 0, 0, 0, R"([{"menu": -1}])", -1, 0, 1},
        {"nothing changed: yes", 0, 0, 0, 0, R"([{"menu": 1, "expect": "prompt 319/100"}])", -1, 0, 0, 0},
        {"nothing changed: no", 0, 0, 0, 0, R"([{"menu": 2, "expect": "prompt 319/100"}])", -2, 0, 0, 0},
    };
    for (const row& x : rows) {
        SetUp();
        control::set_flag("managetp_template", x.managed);
        proc_run.geometry_defined = 1;
        hook_count = 2;
        script(x.steps);
        int recompute = x.recompute_in, suspend = x.suspended_before, result = 0, status = 7;
        proc_pre_exec(hook_double, 1, x.recompute_in, 1, x.suspended_before, x.no_questions, 0, 0, 0, recompute,
                      suspend, result, 0, x.criteria, status);
        EXPECT_EQ(status, x.status) << x.what;
        EXPECT_EQ(suspend, x.suspend) << x.what;
        EXPECT_EQ(recompute, x.recompute) << x.what;
        EXPECT_EQ(control::events_left(), 0u) << x.what;
        EXPECT_EQ(control::call_count("prexec"), x.status == 0 && x.suspend == 0 ? 1 : 0) << x.what;
        for (const auto& f : control::figures()) EXPECT_TRUE(f.deleted) << x.what << ": the display is cleaned up";
    }
}

TEST_F(PreExec, PointCountTakenWithinTheRoom)
{
    for (const auto& [count, figures] : {std::pair{-3, 0}, {2, 4}, {9999, 2 * kPreExecPoints}}) {
        SetUp();
        proc_run.geometry_defined = 1;
        hook_count = count;
        int recompute = 1, suspend = 0, result = 0, status = 0;
        proc_pre_exec(hook_double, 1, 1, 1, 0, 0, 0, 0, 0, recompute, suspend, result, 0, 0, status);
        EXPECT_EQ(static_cast<int>(control::figures().size()), figures) << count;
    }
}

TEST_F(PreExec, StatusCreatedAndExecutionLines)
{
    control::set_user_nc_function(50, true);
    proc_summary_entry* entry = proc_table_entry(3);
    ASSERT_NE(entry, nullptr);
    entry->nc_function = 50;
    entry->number = 7;
    entry->m = 0;
    struct row {
        int position, stage, work_area, manual;
        lines expected;
    };
    const std::vector<row> rows = {
        {-1, 50, 0, 0, {"shlmsg: PROCEDURE DRELAN =0"}},
        {3, 10, 0, 0, {"usrmsg: EXECUTING PROCEDURE DRELAN =7 FROM USER"}},
        {3,
         11,
         0,
         1,
         {"usrms4: MODIFYING PROCEDURE DRELAN =7 FROM USER|NOTE: MANUAL CHANGES WILL BE CANCELLED,FOR UPDATE ONLY USE "
          "'MODIFY'"}},
        {3,
         99,
         1,
         1,
         {"usrms5: RE_RUNNING PROCEDURE DRELAN =7 FROM USER|NOTE: WORK AREA HAS BEEN UPDATED.MANUAL CHANGES WILL BE "
          "CANCELLED"}},
        {3, 31, 1, 0, {"usrms4: OPTIMIZING PROCEDURE DRELAN =7 FROM USER|NOTE: WORK AREA HAS BEEN UPDATED"}},
        {999, 10, 0, 0, {}},
    };
    for (const row& x : rows) {
        control::clear_messages();
        entry->m = x.manual;
        proc_status_line(x.position, x.stage, x.work_area);
        EXPECT_EQ(shown({"shlmsg", "usrmsg", "usrms4", "usrms5"}), x.expected) << x.stage;
    }
    control::set_flag("modify", 1);
    control::clear_messages();
    proc_status_line(3, 11, 0);
    EXPECT_TRUE(shown({"usrms4"}).empty());
    control::set_flag("modify", 0);

    struct created {
        int first, last, count;
        lines expected;
    };
    for (const created& c :
         std::vector<created>{{5, 5, 1, {"shlms1: PROCEDURE NUMBER 5 IS CREATED", "shlmsg:  "}},
                              {5, 7, 3, {"shlmsg: PROCEDURES NUMBER 5..7 ARE CREATED", "shlmsg:  "}},
                              {5, 7, 2, {"shlmsg: PROCEDURES/MESSAGES NUMBER 5..7 ARE CREATED", "shlmsg:  "}},
                              {6, 5, 1, {}},
                              {5, 5, 0, {}}}) {
        control::clear_messages();
        proc_created_msg(c.first, c.last, c.count);
        EXPECT_EQ(shown({"shlms1", "shlmsg"}), c.expected) << c.first << ".." << c.last;
    }

    control::set_fixed_time(2024, 3, 9, 14, 5, 7);
    struct execution {
        int index, suspended, silent;
        lines expected;
    };
    for (const execution& e : std::vector<execution>{
             {1, 0, 0, {"shlms6: PROCEDURE EXECUTION START TIME  : 09.03.2024 14:05:07"}},
             {2, 0, 0, {"shlms6: PROCEDURE EXECUTION END TIME    : 09.03.2024 14:05:07", "shlmsg:  "}},
             {8, 0, 0, {"shlms6: PROC. OPTIMIZATION RESUME TIME  : 09.03.2024 14:05:07"}},
             {2, 1, 0, {"shlmsg: PROCEDURE EXECUTION IS SUSPENDED", "shlmsg:  "}},
             {1, 0, 1, {"shlmsg:  "}},
             {9, 0, 0, {}}}) {
        control::clear_messages();
        msg_line_show(e.index, e.suspended, e.silent);
        EXPECT_EQ(shown({"shlms6", "shlmsg"}), e.expected) << e.index;
    }
    control::clear_fixed_time();
}

}  // namespace
