// Module wrappers over host calls: module data by packed key, the template flags, the clock
// and the data menu.
#include "nc_services/host_helpers.hpp"
#include "nc_services/template_flags.hpp"

#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

namespace {

class HostHelpers : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }
    void TearDown() override { vantu::control::clear_fixed_time(); }
};

TEST_F(HostHelpers, ModuleDataByPackedKeyReadsTheRecord)
{
    ASSERT_TRUE(vantu::control::set_record("UITR", 3, {1}));
    word value = -9;
    int status = -9;
    mdgetn_code(text4_to_word("UITR"), 3, 1, &value, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(value, 1);
}

TEST_F(HostHelpers, MissingModuleDataKeyLeavesTheValuesAndAnswersNonZero)
{
    word value = -9;
    int status = 0;
    mdgetn_code(text4_to_word("UITR"), 3, 1, &value, status);
    EXPECT_NE(status, 0);
    EXPECT_EQ(value, -9);
}

// template_flag_clear over every combination of the host's two template situations.
TEST_F(HostHelpers, TemplateFlagClearEndsTheOperationTheHostReports)
{
    struct row {
        int create_from_template, read_single;
        int managed_after, proc_oper_after;
    };
    const row rows[] = {
        {0, 0, 1, 1},
        {1, 0, 0, 1},
        {0, 1, 1, 0},
        {1, 1, 0, 1},
    };
    for (const row& r : rows) {
        vantu::control::reset();
        vantu::control::set_flag("create_from_template", r.create_from_template);
        vantu::control::set_flag("read_single_proc", r.read_single);
        vantu::control::set_flag("managetp_template", 1);
        vantu::control::set_flag("proc_oper_template", 1);
        template_flag_clear();
        EXPECT_EQ(vantu::control::get_flag("managetp_template"), r.managed_after)
            << r.create_from_template << "," << r.read_single;
        EXPECT_EQ(vantu::control::get_flag("proc_oper_template"), r.proc_oper_after)
            << r.create_from_template << "," << r.read_single;
    }
}

TEST_F(HostHelpers, TemplateIsActiveWhenEitherTemplateFlagIsSet)
{
    struct row {
        int tp_template, managed, active;
    };
    const row rows[] = {{0, 0, 0}, {5, 0, 1}, {0, 3, 1}, {2, 1, 1}};
    for (const row& r : rows) {
        vantu::control::reset();
        vantu::control::set_flag("tp_template", r.tp_template);
        vantu::control::set_flag("managetp_template", r.managed);
        EXPECT_EQ(is_template_active(), r.active) << r.tp_template << "," << r.managed;
    }
}

TEST_F(HostHelpers, DateAndTimeComeFromTheHostClock)
{
    vantu::control::set_fixed_time(2002, 11, 5, 12, 46, 11);
    int now[6] = {};
    get_date_time(now);
    EXPECT_EQ(std::vector<int>(now, now + 6), (std::vector<int>{2002, 11, 5, 12, 46, 11}));
}

TEST_F(HostHelpers, DataMenuInputTakesOneScriptedEntry)
{
    vantu::control::load_script_text(R"([{"menu": "STEEL"}, {"menu": 3}, {"menu": -2}])", "data menu script");
    vantu::control::set_tracing(true);
    int item = 0;
    dminpt_single(item);
    EXPECT_EQ(item, 3) << "an entry given by text is refused and the next step answers";
    dminpt_single(item);
    EXPECT_EQ(item, -2);
    dminpt_single(item);
    EXPECT_EQ(item, -1) << "once the script has run out the user leaves";
    std::vector<std::string> calls;
    for (const auto& e : vantu::control::trace_entries())
        if (e.name == "dminpt") calls.push_back(e.arguments + " -> " + std::to_string(e.result));
    EXPECT_EQ(calls, (std::vector<std::string>{"1,1 -> 3", "1,1 -> -2", "1,1 -> -1"}));
}

}  // namespace
