// The optimizer block: its layout, defaults and the option-word helpers.
#include "nc_services/optimizer_params.hpp"

#include <gtest/gtest.h>

TEST(OptimizerParams, LayoutIsEightySixItemWordsInTableOrder)
{
    int next = 0;
    for (const optimizer_item& item : optimizer_items()) {
        EXPECT_EQ(item.offset, next) << "item " << item.code;
        next += item.count;
    }
    EXPECT_EQ(next, optimizer_params::kItemWords);
    EXPECT_EQ(optimizer_items().front().code, 59);
    EXPECT_EQ(optimizer_items().back().code, 132);
    EXPECT_EQ(optimizer_item_of(113), nullptr);
}

TEST(OptimizerParams, DefaultsAndTiltFlag)
{
    opt_params_defaults();
    const optimizer_params& p = opt_params_current();
    EXPECT_EQ(p.ival(59), 1);
    EXPECT_FLOAT_EQ(p.rval(60), -0.5f);
    EXPECT_FLOAT_EQ(p.rval(kOptUpperLimit), 99999.99f);
    EXPECT_EQ(p.ival(72), 23);
    EXPECT_EQ(p.ival(kOptPendingAction), 0);
    EXPECT_FLOAT_EQ(p.rval(109, 4), 3.0f);
    EXPECT_EQ(p.ival(110, 5), 30);
    EXPECT_FLOAT_EQ(p.rval(111, 2), -20.0f);
    EXPECT_EQ(p.ival(125, 9), -1);
    EXPECT_EQ(p.ival(128, 9), 100);
    EXPECT_EQ(p.ival(kOptState), 2);
    EXPECT_EQ(p.ival(133), 15);
    EXPECT_FLOAT_EQ(p.rval(131), 15.0f);

    opt_params_current().set_ival(kOptOptionWord, 128 + 3);
    EXPECT_EQ(test_bit128(p.ival(kOptOptionWord)), 1);
    EXPECT_EQ(opt_mode_val(p.ival(kOptOptionWord)), 3);
    int status = -7;
    opt_clr_bit128(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(p.ival(kOptOptionWord), 3);
    EXPECT_EQ(is_2_or_3(3), 1);
    EXPECT_EQ(opt_mode_is1(129), 1);
}
