// The MACHINE PARAMS page: the cutting speed in feet per minute, the speeds hidden with the spin
// off, the rapid feed choices and the warning on leaving a page with the spindle turning CCW.
#include "listing_support.hpp"

#include "host/control/script.hpp"
#include "listing/mach_params_menu.hpp"
#include "nc_services/machining_type.hpp"
#include "toolpath/machine_table.hpp"

using namespace listing_test;

namespace {

std::vector<std::string> pages()
{
    std::vector<std::string> texts;
    for (const auto& m : control::messages())
        if (m.channel == "modif1") texts.push_back(m.text);
    return texts;
}

class MachParams : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        PRM9().words[machine_params::kToolId] = tools_test::make_tool(2, "END MILL 10");
        PRM9().set_real(machine_params::kCuttingSpeed, 100.0f);
        PRM9().set_real(machine_params::kBaseFeed, 200.0f);
        PRM9().words[machine_params::kDirection] = 1;
        PRM9().set_real(machine_params::kStoredFeed, -2.0f);
    }
    int run(const char* script, int no_display = 0)
    {
        control::load_script_text(script, "mach");
        int flags[kMachItemFlags] = {1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0};
        int status = 0;
        mach_params_menu(no_display, flags, 0, status);
        return status;
    }
};

}  // namespace

TEST_F(MachParams, CuttingSpeedInFeetPerMinute)
{
    control::set_flag("unit_code", 3);
    run(R"([{"page": 0}])");
    ASSERT_EQ(pages().size(), 1u);
    EXPECT_NE(pages()[0].find("= 328.08"), std::string::npos) << pages()[0];
}

TEST_F(MachParams, SpinOffOffersNeitherSpeed)
{
    PRM9().words[machine_params::kDirection] = 3;
    run(R"([{"page": 0}])");
    ASSERT_EQ(pages().size(), 1u);
    EXPECT_NE(pages()[0].find("5 (blank) | 6 (blank) | 7 (blank) | 8 parameter 634"), std::string::npos) << pages()[0];
    EXPECT_EQ(control::lines_of("userrc").back(), "WARNING: SPINDLE IS OFF!");
}

TEST_F(MachParams, RapidChoicesAndTheCcwWarning)
{
    run(R"([{"page": 0}])");
    EXPECT_FLOAT_EQ(PRM9().real(machine_params::kStoredFeed), -2.0f) << "choice 1: the machine's rapid traverse";
    EXPECT_TRUE(control::lines_of("userrc").empty());
    PRM9().words[machine_params::kDirection] = 2;
    run(R"([{"page": {"line": 13, "value": 2}}, {"page": 0}])");
    EXPECT_FLOAT_EQ(PRM9().real(machine_params::kStoredFeed), -15000.0f) << "choice 2 with the default MXF1";
    EXPECT_EQ(control::lines_of("userrc").back(), "WARNING: SPINDLE IS CCW!");
    const std::size_t warnings = control::lines_of("userrc").size();
    run(R"([{"page": 0}])", 1);
    EXPECT_EQ(control::lines_of("userrc").size(), warnings) << "no warning with the no-display flag";
}

TEST_F(MachParams, MachineTableGroupsOfMachiningType38)
{
    machining_type() = 38;
    mch_table_ext().ext[0] = 2;
    run(R"([{"page": 0}])");
    ASSERT_EQ(pages().size(), 1u);
    EXPECT_NE(
        pages()[0].find(
            "13 parameter 1296 (kind 3, relation 1296) = 2 | 14 parameter -1 (kind 1, relation -1) = 0 [0, 360] | "
            "15 parameter -1 (kind 2, relation -1) = 0 [0, 999]"),
        std::string::npos)
        << pages()[0];
    machining_type() = 0;
    mch_table_ext() = machine_table_extra{};
}
