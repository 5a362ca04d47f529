// The module's exports: the attach entry with its version block and start-up, and drelan with
// the registration of the pocket procedure type.
#include "driver_fakes.hpp"
#include "run_support.hpp"

#include "driver/module_entry.hpp"
#include "driver/proc_driver.hpp"
#include "driver/proc_status.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/pocket_callbacks.hpp"

#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

namespace {

using texts = std::vector<std::string>;

const std::string dashes(79, '-');

class ModuleEntry : public ::testing::Test {
protected:
    void SetUp() override
    {
        vantu::control::reset();
        vantu::control::set_tracing(true);
        fakes::reset();
    }
    void TearDown() override { fakes::reset(); }
};

TEST_F(ModuleEntry, AttachWithVerbosityPrintsTheSevenLineVersionBlockAndStartsOnce)
{
    EXPECT_EQ(drelan_attach(kProcessAttach), 1);
    EXPECT_EQ(vantu::control::texts_of("shlmsg"),
              (texts{dashes, "Program version    : 13.10.00.7", "Correction version : 0",
                     "Program build date : Nov 05 10:57:44 2002", "Module name        : drelan",
                     "Module build date  : Nov 05 12:46:11 2002", dashes}));
    EXPECT_EQ(vantu::control::call_count("enaall"), 1);
    // Output layer first, then the version block, then the start-up.
    std::vector<std::string> order;
    for (const std::string& name : vantu::control::trace_names())
        if (name == "ofinit" || name == "shlmsg" || name == "enaall")
            if (order.empty() || order.back() != name) order.push_back(name);
    EXPECT_EQ(order, (texts{"ofinit", "shlmsg", "enaall"}));
}

TEST_F(ModuleEntry, AttachWithoutVerbosityPrintsNothingButStillStarts)
{
    vantu::control::set_flag("verbos", 0);
    EXPECT_EQ(drelan_attach(kProcessAttach), 1);
    EXPECT_TRUE(vantu::control::texts_of("shlmsg").empty());
    EXPECT_EQ(vantu::control::call_count("enaall"), 1);
    EXPECT_EQ(vantu::control::call_count("ofinit"), 1);
}

TEST_F(ModuleEntry, DetachAndThreadReasonsDoNothingAndSucceed)
{
    for (int reason : {kProcessDetach, kThreadAttach, kThreadDetach, 7}) {
        EXPECT_EQ(drelan_attach(reason), 1) << "reason " << reason;
    }
    EXPECT_EQ(vantu::control::call_count("ofinit"), 0);
    EXPECT_EQ(vantu::control::call_count("enaall"), 0);
    EXPECT_TRUE(vantu::control::texts_of("shlmsg").empty());
}

TEST_F(ModuleEntry, VersionBlockOutsideAttachIgnoresVerbosity)
{
    vantu::control::set_flag("verbos", 0);
    dll_info_print(1);
    ASSERT_EQ(vantu::control::texts_of("shlmsg").size(), 7u);
    EXPECT_EQ(vantu::control::texts_of("shlmsg")[4], "Module name        : drelan");
}

TEST_F(ModuleEntry, DrelanFillsTheSixteenSlotsInOrder)
{
    proc_driver_steps() = fakes::fake_steps();
    fakes::rec().step_statuses["start 0"] = {kCancel};
    drelan();
    EXPECT_EQ(fakes::rec().events, texts{"start 0"});
    const proc_type_table& t = proc_type_registration();
    ASSERT_NE(t.nc_function, nullptr);
    EXPECT_EQ(*t.nc_function, 50);
    EXPECT_EQ(t.define, &define_drelan);
    EXPECT_EQ(t.execute, &execute_drelan);
    EXPECT_EQ(t.put_parameters, &param_put_drelan);
    EXPECT_EQ(t.put_geometry, &geom_put_drelan);
    EXPECT_EQ(t.read_parameters, &block_read_drelan);
    EXPECT_EQ(t.parameters_changed, &param_changed_drelan);
    EXPECT_EQ(t.defaults, &param_init_drelan);
    EXPECT_EQ(t.contour_records, &contour_rec_drelan);
    EXPECT_EQ(t.pre_exec, &display_hook_drelan);
    EXPECT_EQ(t.translations, &trns_add_drelan);
    EXPECT_EQ(t.solid_update, &ncs_dum_sud);
    EXPECT_EQ(proc_type_code(), "KQ47");
    ASSERT_NE(t.block_length, nullptr);
    EXPECT_EQ(*t.block_length, 468);
    EXPECT_EQ(t.current_block, drelan_params_current.words);
    EXPECT_EQ(t.previous_block, drelan_params_previous.words);
    EXPECT_EQ(fakes::rec().nc_function_seen, std::vector<int>{50});
    EXPECT_EQ(fakes::rec().block_length_seen, std::vector<int>{468});
}

// With the real steps and the pocket's callbacks, a run on the example part without answers
// registers its translations (the pocket's 20 first), leaves at its first define and releases
// the translation table.
TEST_F(ModuleEntry, DrelanRunsToItsFirstDefineAndEnds)
{
    run_test::load_example_part();
    vantu::control::set_tracing(true);
    drelan();
    EXPECT_EQ(vantu::control::call_count("nu_trns_add"), 20 + 46 + 8 + 60);
    EXPECT_EQ(vantu::control::call_count("nu_trns_sort"), 1);
    EXPECT_EQ(vantu::control::call_count("nu_trns_rels"), 1);
    EXPECT_EQ(proc_nc_function(), 50) << "the registration outlives the call";
    EXPECT_EQ(proc_block_length(), 468);
    EXPECT_TRUE(vantu::control::end_report().empty()) << "the run leaves nothing behind";
}

}  // namespace
