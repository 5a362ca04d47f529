// The driver loop with fake steps: which steps run, in which order, for each status the steps
// give; and the registration it stores first.
#include "driver_fakes.hpp"

#include "driver/proc_driver.hpp"
#include "driver/proc_status.hpp"

#include "host/control.hpp"

#include <gtest/gtest.h>

namespace {

using events = std::vector<std::string>;

class ProcDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        vantu::control::reset();
        fakes::reset();
        proc_driver_steps() = fakes::fake_steps();
    }
    void TearDown() override { fakes::reset(); }

    static void script(const std::string& step, std::deque<int> statuses)
    {
        fakes::rec().step_statuses[step] = std::move(statuses);
    }
};

TEST_F(ProcDriver, StartThatIsNotGoOnReturnsBeforeAnyProcedureStep)
{
    for (int status : {kCancel, -5, kRedo}) {
        fakes::reset();
        proc_driver_steps() = fakes::fake_steps();
        script("start 0", {status});
        fakes::run_driver_with_fakes();
        EXPECT_EQ(fakes::rec().events, events{"start 0"}) << "start status " << status;
    }
}

TEST_F(ProcDriver, BackAtSolidCheckPreparesAndDefinesAgainWithoutStoreOrExecute)
{
    script("check_solid", {kRedo});
    fakes::rec().go_words = {kRedo};
    script("finish", {kCancel});
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().events, (events{"start 0", "check_moved", "prepare", "define", "check_solid", "prepare",
                                           "define", "check_solid", "store", "execute 0", "finish"}));
}

TEST_F(ProcDriver, RedoFromStoreGoesBackToPreparationWithoutExecute)
{
    script("store", {kRedo});
    script("finish", {kCancel});
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().events, (events{"start 0", "check_moved", "prepare", "define", "check_solid", "store",
                                           "prepare", "define", "check_solid", "store", "execute 0", "finish"}));
}

TEST_F(ProcDriver, FinishGoingOnStartsTheNextProcedure)
{
    script("finish", {kGoOn, kCancel});
    fakes::run_driver_with_fakes();
    const events one_procedure = {"check_moved", "prepare", "define", "check_solid", "store", "execute 0", "finish"};
    events expected = {"start 0"};
    expected.insert(expected.end(), one_procedure.begin(), one_procedure.end());
    expected.insert(expected.end(), one_procedure.begin(), one_procedure.end());
    EXPECT_EQ(fakes::rec().events, expected);
}

// Every check point, with cancel and with another negative status: the loop stops right after
// the step that gave it.
TEST_F(ProcDriver, AnyNegativeStatusStopsTheLoopLikeCancel)
{
    struct row {
        const char* step;
        events expected;
    };
    const row rows[] = {
        {"check_moved", {"start 0", "check_moved"}},
        {"prepare", {"start 0", "check_moved", "prepare"}},
        {"define", {"start 0", "check_moved", "prepare", "define"}},
        {"store", {"start 0", "check_moved", "prepare", "define", "check_solid", "store"}},
        {"execute 0", {"start 0", "check_moved", "prepare", "define", "check_solid", "store", "execute 0"}},
        {"finish", {"start 0", "check_moved", "prepare", "define", "check_solid", "store", "execute 0", "finish"}},
    };
    for (const row& r : rows) {
        for (int status : {kCancel, -2, -7}) {
            fakes::reset();
            proc_driver_steps() = fakes::fake_steps();
            script(r.step, {status});
            script("finish", {std::string(r.step) == "finish" ? status : kCancel});
            fakes::run_driver_with_fakes();
            EXPECT_EQ(fakes::rec().events, r.expected) << r.step << " gives " << status;
        }
    }
}

TEST_F(ProcDriver, NegativeStatusFromSolidCheckWithoutGoSkipsFinish)
{
    script("check_solid", {-3});
    fakes::rec().go_words = {kCancel};
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().events, (events{"start 0", "check_moved", "prepare", "define", "check_solid"}));
}

TEST_F(ProcDriver, NegativeStatusOfTheSecondPreparationStopsTheLoop)
{
    script("check_solid", {kRedo});
    fakes::rec().go_words = {kRedo};
    script("prepare", {kGoOn, -4});
    fakes::run_driver_with_fakes();
    EXPECT_EQ(fakes::rec().events, (events{"start 0", "check_moved", "prepare", "define", "check_solid", "prepare"}));
}

TEST_F(ProcDriver, ReadsNcFunctionAndBlockLengthThroughTheTableAtEveryStep)
{
    fakes::rec().start_sets_cells = {91, 30};
    script("finish", {kCancel});
    fakes::run_driver_with_fakes();
    const std::vector<int>& nc = fakes::rec().nc_function_seen;
    const std::vector<int>& length = fakes::rec().block_length_seen;
    ASSERT_EQ(nc.size(), 8u);
    ASSERT_EQ(length.size(), 8u);
    EXPECT_EQ(nc.front(), 77);
    EXPECT_EQ(length.front(), 12);
    for (std::size_t i = 1; i < nc.size(); ++i) {
        EXPECT_EQ(nc[i], 91) << "step " << fakes::rec().events[i];
        EXPECT_EQ(length[i], 30) << "step " << fakes::rec().events[i];
    }
    EXPECT_EQ(proc_type_code(), "TEST");
}

// A registration with any entry missing is refused with one error line; nothing runs and the
// earlier registration stays.
TEST_F(ProcDriver, RegistrationWithAMissingEntryIsRefused)
{
    script("start 0", {kCancel});
    fakes::run_driver_with_fakes();
    ASSERT_EQ(proc_type_registration().define, &fakes::define);

    word block[12] = {};
    int zero_length = 0;
    struct row {
        const char* missing;
        void (*spoil)(proc_type_table&);
    };
    const row rows[] = {
        {"DEFINE CALLBACK", [](proc_type_table& t) { t.define = nullptr; }},
        {"EXECUTE CALLBACK", [](proc_type_table& t) { t.execute = nullptr; }},
        {"PUT-PARAMETERS CALLBACK", [](proc_type_table& t) { t.put_parameters = nullptr; }},
        {"PUT-GEOMETRY CALLBACK", [](proc_type_table& t) { t.put_geometry = nullptr; }},
        {"READ-PARAMETERS CALLBACK", [](proc_type_table& t) { t.read_parameters = nullptr; }},
        {"PARAMETERS-CHANGED CALLBACK", [](proc_type_table& t) { t.parameters_changed = nullptr; }},
        {"DEFAULTS CALLBACK", [](proc_type_table& t) { t.defaults = nullptr; }},
        {"CONTOUR-RECORDS CALLBACK", [](proc_type_table& t) { t.contour_records = nullptr; }},
        {"PRE-EXECUTION HOOK", [](proc_type_table& t) { t.pre_exec = nullptr; }},
        {"TRANSLATIONS CALLBACK", [](proc_type_table& t) { t.translations = nullptr; }},
        {"SOLID-UPDATE HOOK", [](proc_type_table& t) { t.solid_update = nullptr; }},
        {"BLOCK LENGTH", [](proc_type_table& t) { t.block_length = nullptr; }},
        {"CURRENT PARAMETER BLOCK", [](proc_type_table& t) { t.current_block = nullptr; }},
        {"PREVIOUS PARAMETER BLOCK", [](proc_type_table& t) { t.previous_block = nullptr; }},
    };
    int nc = 5, length = 12;
    const proc_type_table complete{&nc,
                                   fakes::define,
                                   fakes::execute,
                                   fakes::put_parameters,
                                   fakes::put_geometry,
                                   fakes::read_parameters,
                                   fakes::parameters_changed,
                                   fakes::defaults,
                                   fakes::contour_records,
                                   fakes::pre_exec,
                                   fakes::translations,
                                   fakes::solid_update,
                                   {},
                                   &length,
                                   block,
                                   block};
    auto run = [](const proc_type_table& t, std::string_view code) {
        int dummy = 0;
        proc_driver(*t.nc_function, t.define, t.execute, t.put_parameters, t.put_geometry, t.read_parameters,
                    t.parameters_changed, t.defaults, t.contour_records, t.pre_exec, t.translations, t.solid_update,
                    code, t.block_length ? *t.block_length : dummy, t.current_block, t.previous_block);
    };
    // A null block-length cell cannot travel as a reference: the runner passes a cell holding 0
    // instead, which the registration refuses the same way.
    for (const row& r : rows) {
        vantu::control::reset();
        fakes::rec().events.clear();
        proc_type_table spoiled = complete;
        r.spoil(spoiled);
        run(spoiled, "ABCD");
        EXPECT_TRUE(fakes::rec().events.empty()) << r.missing;
        EXPECT_EQ(vantu::control::texts_of("eroutc"),
                  std::vector<std::string>{std::string("PROCEDURE TYPE NOT REGISTERED: ") + r.missing + " IS MISSING"});
        EXPECT_EQ(proc_type_registration().define, &fakes::define);
        EXPECT_EQ(proc_nc_function(), 77) << "the earlier registration stays";
    }
    vantu::control::reset();
    proc_type_table short_length = complete;
    short_length.block_length = &zero_length;
    run(short_length, "ABCD");
    EXPECT_EQ(vantu::control::texts_of("eroutc"),
              std::vector<std::string>{"PROCEDURE TYPE NOT REGISTERED: BLOCK LENGTH IS MISSING"});
    vantu::control::reset();
    run(complete, "KQ4");
    EXPECT_EQ(vantu::control::texts_of("eroutc"),
              std::vector<std::string>{"PROCEDURE TYPE NOT REGISTERED: TYPE CODE IS MISSING"});
    EXPECT_TRUE(fakes::rec().events.empty());
}

}  // namespace
