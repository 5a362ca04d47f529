// The driver's own steps with fake callbacks on the example part: what each step hands the
// procedure type, how the run ends, the roads that end it early, and what the end saves.
#include "run_support.hpp"

#include "driver/proc_driver.hpp"
#include "driver/proc_status.hpp"
#include "nc_services/nc_state_blocks.hpp"

namespace {

using events = std::vector<std::string>;
using run_test::RunTest;
namespace control = vantu::control;

constexpr const char* kExecuteYes = R"({"steps": [], "rules": [{"menu": "YES", "expect": "OK TO EXECUTE?"}]})";

class DriverSteps : public RunTest {
protected:
    static std::vector<int> defaults_modes()
    {
        std::vector<int> modes;
        for (const std::string& e : fakes::rec().events)
            if (e.rfind("cb defaults ", 0) == 0) modes.push_back(std::stoi(e.substr(12)));
        return modes;
    }
    static long events_named(const std::string& name) { return run_test::count_of(fakes::rec().events, name); }
};

// Two procedures are created and the run is left at the third define: each is stored and executed
// once, the repeat flag follows the first, the end step reports the range, saves the parameter
// block and the edit state, and never calls the defaults callback in mode 3.
TEST_F(DriverSteps, CreationRunStoresExecutesAndEndsThroughTheEndStep)
{
    script(kExecuteYes);
    fakes::rec().define_ends_run_on_call = 3;
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().define_repeat_flags, (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(events_named("cb execute 1"), 2);
    EXPECT_EQ(events_named("cb put_parameters type=50 where=3"), 2);
    EXPECT_EQ(defaults_modes(), (std::vector<int>{1, 2}));
    EXPECT_EQ(control::texts_of("shlmsg").back(), " ");
    EXPECT_TRUE(run_test::has_text("shlmsg", "PROCEDURES NUMBER 1..2 ARE CREATED"));
    EXPECT_TRUE(run_test::has_text("usrer5", "CREATING"));
    EXPECT_EQ(run_test::record_word("NPRC"), 2);
    EXPECT_EQ(control::get_record("TEST")->size(), 12u) << "the block length the fakes registered";
    const std::vector<word> eda2 = *control::get_record("EDA2");
    EXPECT_EQ(eda2[0], 0);
    EXPECT_EQ(eda2[4], 0);
    EXPECT_EQ(control::call_count("nu_trns_rels"), 1);
    EXPECT_EQ(run_test::record_word("UITR"), 0);
    EXPECT_TRUE(control::end_report().empty());
}

TEST_F(DriverSteps, BackAnswerBeforeStoreDefinesAgainWithoutStoringOrExecuting)
{
    script(R"({"steps": [{"menu": "NO", "expect": "OK TO EXECUTE?"}]})");
    fakes::rec().define_ends_run_on_call = 2;
    fakes::run_driver_with_fakes();
    EXPECT_EQ(events_named("cb define procedure=-1 repeat=0"), 2);
    EXPECT_EQ(events_named("cb put_parameters type=50 where=3"), 0);
    EXPECT_EQ(events_named("cb execute 1"), 0);
    EXPECT_EQ(proc_run.back, 1);
    EXPECT_EQ(run_test::record_word("NPRC"), -9999) << "no procedure was stored";
}

// A failing define callback, the view-only flag and the end-run flag end the run at define: the
// parameter block is still saved (defaults mode 2), nothing is stored.
TEST_F(DriverSteps, DefineStepEndsTheRunOnFailureViewOnlyOrEndRun)
{
    struct row {
        const char* what;
        int define_status;
        bool view_only;
    };
    for (const row& r : {row{"cancel", kCancel, false}, row{"other failure", -9, false}, row{"view only", 0, true},
                         row{"end run", 0, false}}) {
        SetUp();
        fakes::rec().define_status = r.define_status;
        if (r.define_status == 0 && !r.view_only) fakes::rec().define_ends_run_on_call = 1;
        if (r.view_only)
            proc_driver_steps().check_moved = [](int& status) {
                proc_check_moved(status);
                EDA2().word_no(edit_state::kViewOnly) = 1;
            };
        fakes::run_driver_with_fakes();
        EXPECT_EQ(events_named("cb define procedure=-1 repeat=0"), 1) << r.what;
        EXPECT_EQ(events_named("cb put_parameters type=50 where=3"), 0) << r.what;
        EXPECT_EQ(defaults_modes(), (std::vector<int>{1, 2})) << r.what;
        EXPECT_TRUE(control::get_record("TEST").has_value()) << r.what;
    }
}

// The execution step goes on whatever the execution gave: the block is finished without the
// suspended marks and the run goes on to the next procedure; but a failed execution is never
// reported as created, alone or in a range.
TEST_F(DriverSteps, FailingExecutionStillFinishesUnmarkedAndTheRunGoesOn)
{
    for (const int defines : {2, 3}) {
        SetUp();
        script(kExecuteYes);
        fakes::rec().execute_status = -4;
        fakes::rec().define_ends_run_on_call = defines;
        fakes::run_driver_with_fakes();
        std::vector<int> repeats(static_cast<std::size_t>(defines), 1);
        repeats[0] = 0;
        EXPECT_EQ(fakes::rec().define_repeat_flags, repeats);
        const control::toolpath_line* block = run_test::procedure_block(1);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(run_test::global_item(*block, 44), std::vector<word>{1});
        EXPECT_TRUE(run_test::has_text("shlms6", "PROCEDURE EXECUTION END TIME    :"));
        EXPECT_FALSE(run_test::has_text("shlms1", "IS CREATED")) << defines;
        EXPECT_FALSE(run_test::has_text("shlmsg", "ARE CREATED")) << defines;
    }
}

TEST_F(DriverSteps, FailingParameterWriterEndsTheRunWithoutExecution)
{
    script(kExecuteYes);
    fakes::rec().put_parameters_status = -6;
    fakes::run_driver_with_fakes();
    EXPECT_EQ(events_named("cb execute 1"), 0);
    EXPECT_EQ(fakes::rec().events.back(), "cb defaults 2");
    EXPECT_NE(run_test::record_word("NPRC"), 1) << "the refused block is not counted";
    EXPECT_EQ(control::get_record("EDA2")->at(18), 1) << "EDA2 word 19: the block write failed";
}

// An edited procedure run without questions is recomputed; its finish ends the run.
TEST_F(DriverSteps, EditedProcedureEndsTheRunAtFinish)
{
    proc_driver_steps().check_moved = [](int& status) {
        proc_check_moved(status);
        EDA2().word_no(edit_state::kEditing) = 1;
        EDA2().word_no(edit_state::kNoQuestions) = 1;
    };
    fakes::run_driver_with_fakes();
    EXPECT_EQ(events_named("cb execute 1"), 1);
    EXPECT_EQ(fakes::rec().define_repeat_flags, std::vector<int>{0});
    EXPECT_EQ(fakes::rec().events.back(), "cb defaults 2");
}

// Every execution sets a machining type of its own; the next define sees the run's again.
TEST_F(DriverSteps, EachDefineSeesTheRunsMachiningType)
{
    script(kExecuteYes);
    fakes::rec().define_ends_run_on_call = 3;
    fakes::rec().execute_body = [](int, int&) { machining_type() = 9; };
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().define_machining_types, (std::vector<int>{31, 31, 31}));
}

// The start registers the procedure type's translations, the two common lists and sorts them
// before the parameter block is set up; the end gives the table back once.
TEST_F(DriverSteps, StartRegistersTranslationsThenSetsDefaults)
{
    fakes::rec().define_ends_run_on_call = 1;
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().events,
              (events{"cb translations", "cb defaults 1", "cb define procedure=-1 repeat=0", "cb defaults 2"}));
    EXPECT_EQ(control::call_count("nu_trns_add"), 46 + 8 + 60);
    EXPECT_EQ(control::call_count("nu_trns_sort"), 1);
    EXPECT_EQ(control::call_count("nu_trns_rels"), 1);
}

// A start that fails releases only: no procedure step, no defaults callback (nothing was loaded)
// or, after the block was loaded, mode 3; nothing saved; the host's relations released.
TEST_F(DriverSteps, FailingStartReleasesOnlyAndSavesNothing)
{
    struct row {
        const char* what;
        void (*arrange)();
        const char* channel;
        const char* message;
        events expected;
        bool creating;  // the start had reached the creation message
    };
    const row rows[] = {
        {"tool path not open", [] { control::set_flag("tp_open", 0); }, "userrc", "TOOL PATH IS NOT OPEN", {}, false},
        {"no view selected",
         [] { control::set_view_number(0); },
         "eroutc",
         "SEGSTR, NO MACSYS IS CURRENTLY SELECTED",
         {},
         false},
        {"milling machine",
         [] {
             std::vector<word> npt1 = *control::get_record("NPT1");
             npt1[2] = 22;
             control::set_record("NPT1", 4, npt1);
         },
         "userrc",
         "SEGMENT NOT FIT FOR CURRENT MACHINING TYPE",
         {},
         false},
        {"translation refused",
         [] { control::inject_fault("nu_trns_add", 5, 1, -1); },
         "eroutc",
         "",
         {"cb translations"},
         false},
        {"solid table refused",
         [] { control::inject_fault("ncs_table_set_proc_num", 1, 1, -1); },
         "eroutc",
         "",
         {"cb translations", "cb defaults 1", "cb defaults 3"},
         true},
    };
    for (const row& r : rows) {
        SetUp();
        r.arrange();
        fakes::run_driver_with_fakes();
        EXPECT_EQ(fakes::rec().events, r.expected) << r.what;
        if (*r.message) {
            EXPECT_TRUE(run_test::has_text(r.channel, r.message)) << r.what;
        }
        EXPECT_EQ(run_test::has_text("usrer5", "CREATING"), r.creating) << r.what;
        EXPECT_FALSE(control::get_record("TEST").has_value()) << r.what;
        EXPECT_FALSE(control::relations_open()) << r.what;
    }
}

// A list operation of the finish step that fails ends the run through the end step: the
// parameter block and the NC state are saved, and no further procedure is defined.
TEST_F(DriverSteps, FailedListOperationOfTheFinishStillSavesThroughTheEndStep)
{
    script(kExecuteYes);
    fakes::rec().define_ends_run_on_call = 2;
    fakes::run_driver_with_fakes();
    const long changes = control::call_count("lchngd");
    ASSERT_GT(changes, 0);

    SetUp();
    script(kExecuteYes);
    fakes::rec().define_ends_run_on_call = 2;
    control::inject_fault("lchngd", changes, 1, -1);
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().define_repeat_flags, std::vector<int>{0});
    EXPECT_EQ(fakes::rec().events.back(), "cb defaults 2");
    EXPECT_TRUE(control::get_record("TEST").has_value());
    EXPECT_TRUE(control::get_record("BLSK").has_value()) << "the NC state was saved";
}

}  // namespace
