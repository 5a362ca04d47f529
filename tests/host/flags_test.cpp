// Host flags: defaults that keep the module switched on, settings from tests.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

TEST(HostFlags, DefaultsKeepTheModuleOn)
{
    vantu::control::reset();
    EXPECT_EQ(get_verbos_fn(), 1);
    EXPECT_NE(get_disp_stock(), 0);
    EXPECT_EQ(get_extflag(), 1);
    EXPECT_EQ(get_TP_TemplateFlag(), 0);
    EXPECT_EQ(get_ManageTp_TemplateFlag(), 0);
    EXPECT_EQ(tamsa_flag_get(), 0);
    EXPECT_EQ(D3DS_algorithmIsRun(), 0);
    EXPECT_EQ(IsNcDebug(), 0);
    EXPECT_EQ(modhix(), 1024);
}

TEST(HostFlags, SetFromTestsAndResetRestoresDefaults)
{
    vantu::control::reset();
    EXPECT_TRUE(vantu::control::set_flag("verbos", 0));
    EXPECT_FALSE(vantu::control::set_flag("no_such_flag", 3));
    EXPECT_EQ(get_verbos_fn(), 0);
    set_ManageTp_TemplateFlag(1);
    EXPECT_EQ(get_ManageTp_TemplateFlag(), 1);
    vantu::control::reset();
    EXPECT_EQ(get_verbos_fn(), 1);
    EXPECT_EQ(get_ManageTp_TemplateFlag(), 0);
}

#include "host/core/faults.hpp"

TEST(HostFaults, ArmedFaultFiresOnItsCallsOnly)
{
    vantu::control::reset();
    vantu::control::inject_fault("X", 2, 2, -7);
    EXPECT_FALSE(vantu::fault_hit("X").has_value());
    EXPECT_EQ(vantu::fault_hit("X").value_or(0), -7);
    EXPECT_EQ(vantu::fault_hit("X").value_or(0), -7);
    EXPECT_FALSE(vantu::fault_hit("X").has_value());
    EXPECT_FALSE(vantu::fault_hit("Y").has_value());
    EXPECT_EQ(vantu::control::faults_fired().size(), 2u);
}
