// The driver's own steps with fake callbacks: what each step hands the procedure type, and how
// the run ends. The start step is faked where the test is about the later steps.
#include "driver_fakes.hpp"

#include "driver/nc_state_blocks.hpp"
#include "driver/proc_driver.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"

#include "host/control.hpp"

#include <gtest/gtest.h>

namespace {

using events = std::vector<std::string>;

class DriverSteps : public ::testing::Test {
protected:
    void SetUp() override
    {
        vantu::control::reset();
        fakes::reset();
        proc_steps steps = default_proc_steps();
        steps.start = fakes::fake_steps().start;
        proc_driver_steps() = steps;
    }
    void TearDown() override { fakes::reset(); }
};

// What one new procedure hands the procedure type between define and the next define.
const events stored_and_executed = {
    "cb contour_records 3",
    "cb put_parameters type=77 where=3",
    "cb put_geometry type=77 where=1",
    "cb contour_records 2",
    "cb execute 1",
};

TEST_F(DriverSteps, EndRunFlagFromDefineSkipsFinishAndEndsThroughTheEndStep)
{
    fakes::rec().define_ends_run_on_call = 1;
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().events, (events{"start 0", "cb define procedure=0 repeat=0", "cb defaults 2"}));
    EXPECT_EQ(vantu::control::call_count("nu_trns_rels"), 1);
}

TEST_F(DriverSteps, NextDefineAfterAFinishedProcedureGetsTheRepeatFlag)
{
    fakes::rec().define_ends_run_on_call = 3;
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().define_repeat_flags, (std::vector<int>{0, 1, 1}));
    events expected = {"start 0", "cb define procedure=0 repeat=0"};
    expected.insert(expected.end(), stored_and_executed.begin(), stored_and_executed.end());
    expected.push_back("cb define procedure=0 repeat=1");
    expected.insert(expected.end(), stored_and_executed.begin(), stored_and_executed.end());
    expected.push_back("cb define procedure=0 repeat=1");
    expected.push_back("cb defaults 2");
    EXPECT_EQ(fakes::rec().events, expected);
}

TEST_F(DriverSteps, BackAnswerBeforeStoreDefinesAgainWithoutStoringOrExecuting)
{
    proc_driver_steps().check_solid = fakes::fake_steps().check_solid;
    fakes::rec().step_statuses["check_solid"] = {kBack};
    fakes::rec().define_ends_run_on_call = 2;
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().events, (events{"start 0", "cb define procedure=0 repeat=0", "cb contour_records 3",
                                           "check_solid", "cb define procedure=0 repeat=0", "cb defaults 2"}));
    EXPECT_EQ(proc_run.back, 1);
}

// A failing define callback ends the run whatever its negative value.
TEST_F(DriverSteps, NegativeDefineStatusEndsTheRun)
{
    for (int status : {kCancel, -9}) {
        fakes::reset();
        proc_steps steps = default_proc_steps();
        steps.start = fakes::fake_steps().start;
        proc_driver_steps() = steps;
        fakes::rec().define_status = status;
        fakes::run_driver_with_fakes();
        EXPECT_EQ(fakes::rec().events, (events{"start 0", "cb define procedure=0 repeat=0", "cb defaults 2"}))
            << "define status " << status;
    }
}

TEST_F(DriverSteps, ViewOnlyEndsTheRunAfterDefine)
{
    proc_driver_steps().check_moved = [](int& status) {
        proc_check_moved(status);
        EDA2().word_no(edit_state::kViewOnly) = 1;
    };
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().events, (events{"start 0", "cb define procedure=0 repeat=0", "cb defaults 2"}));
}

TEST_F(DriverSteps, FailingExecutionStillFinishesAndTheRunGoesOn)
{
    fakes::rec().execute_status = -4;
    fakes::rec().define_ends_run_on_call = 2;
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().define_repeat_flags, (std::vector<int>{0, 1}));
}

TEST_F(DriverSteps, FailingParameterWriterEndsTheRunWithoutExecution)
{
    fakes::rec().put_parameters_status = -6;
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().events, (events{"start 0", "cb define procedure=0 repeat=0", "cb contour_records 3",
                                           "cb put_parameters type=77 where=3", "cb defaults 2"}));
}

TEST_F(DriverSteps, EditedProcedureEndsTheRunAtFinish)
{
    proc_driver_steps().check_moved = [](int& status) {
        proc_check_moved(status);
        EDA2().word_no(edit_state::kEditing) = 1;
    };
    fakes::run_driver_with_fakes();
    events expected = {"start 0", "cb define procedure=0 repeat=0"};
    expected.insert(expected.end(), stored_and_executed.begin(), stored_and_executed.end());
    expected.push_back("cb defaults 2");
    EXPECT_EQ(fakes::rec().events, expected);
}

// The real start step: the procedure type's translations, the common lists, the sort, then the
// defaults; the run is released (defaults mode 3 only once they were set) when one fails.
TEST_F(DriverSteps, StartRegistersTranslationsThenSetsDefaults)
{
    proc_driver_steps() = default_proc_steps();
    fakes::rec().define_ends_run_on_call = 1;
    vantu::control::set_tracing(true);
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().events, (events{"cb translations", "cb defaults 1", "cb define procedure=-1 repeat=0",
                                           "cb defaults 2"}));
    EXPECT_EQ(vantu::control::call_count("nu_trns_add"), 46 + 8 + 60);
    EXPECT_EQ(vantu::control::call_count("nu_trns_sort"), 1);
    EXPECT_EQ(vantu::control::call_count("nu_trns_rels"), 1);
}

TEST_F(DriverSteps, FailingTranslationEndsTheStartBeforeAnyProcedureStep)
{
    proc_driver_steps() = default_proc_steps();
    vantu::control::inject_fault("nu_trns_add", 5, 1, -1);
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().events, (events{"cb translations"}));
    EXPECT_EQ(vantu::control::call_count("nu_trns_add"), 5);
    EXPECT_EQ(vantu::control::call_count("nu_trns_sort"), 0);
}

}  // namespace
