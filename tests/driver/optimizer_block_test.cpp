// The optimizer block against the list (read, tilted flag) and its comparison with the previous
// copy, one row per decision of the comparison.
#include "driver/optimizer_compare.hpp"
#include "driver/optimizer_list.hpp"
#include "nc_services/proc_dialog_words.hpp"
#include "proc_block_support.hpp"
#include "toolpath/machine_table.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace {

namespace control = vantu::control;
using proc_test::r;
using edit = std::function<void(optimizer_params& o, optimizer_params& n)>;

struct compare_row {
    const char* what;
    edit change;
    int plane_kind;
    int result;
    int pending_after;  // N's item 81 afterwards
};

void both(optimizer_params& o, optimizer_params& n, int code, int value)
{
    o.set_ival(code, value);
    n.set_ival(code, value);
}

TEST(OptimizerCompare, EveryDecision)
{
    const std::vector<compare_row> rows = {
        {"two default blocks", [](auto&, auto&) {}, 0, 0, 0},
        {"pending action carried", [](auto&, auto& n) { n.set_ival(81, 3); }, 0, 3, 3},
        {"optimizer on, pending recompute",
         [](auto& o, auto& n) {
             o.set_ival(81, 2);
             n.set_ival(115, 1);
         },
         0, 4, 0},
        {"optimizer on, pending recalculation",
         [](auto& o, auto& n) {
             o.set_ival(81, 3);
             n.set_ival(81, 3);
             n.set_ival(115, 1);
         },
         0, 5, 0},
        {"optimizer off while inactive", [](auto& o, auto&) { o.set_ival(115, 1); }, 0, 5, 0},
        {"optimizer off after a recalculation",
         [](auto& o, auto&) {
             o.set_ival(115, 1);
             o.set_ival(81, 3);
         },
         0, 3, 0},
        {"optimizer stays on",
         [](auto& o, auto& n) {
             both(o, n, 115, 1);
             n.set_ival(59, 2);
             n.set_ival(81, 5);
         },
         0, 5, 5},
        {"item 59 lowered", [](auto& o, auto&) { o.set_ival(59, 2); }, 0, 4, 0},
        {"item 59 raised", [](auto&, auto& n) { n.set_ival(59, 2); }, 0, 3, 0},
        {"item 122 changed", [](auto&, auto& n) { n.set_ival(122, 2); }, 0, 4, 0},
        {"range mode 2 to 3",
         [](auto& o, auto& n) {
             o.set_ival(65, 2);
             n.set_ival(65, 3);
         },
         0, 4, 0},
        {"tilted, tilt item changed",
         [](auto& o, auto& n) {
             both(o, n, 130, 128 + 2);
             n.set_ival(132, 11);
         },
         0, 4, 0},
        {"tilted, tilt items kept",
         [](auto& o, auto& n) {
             o.set_ival(130, 128 + 2);
             n.set_ival(130, 2);
         },
         0, 0, 0},
        {"pending recompute", [](auto&, auto& n) { n.set_ival(81, 4); }, 0, 4, 4},
        {"item 71 raised", [](auto&, auto& n) { n.set_ival(71, 2); }, 0, 3, 0},
        {"item 71 raised, both 76 at 3",
         [](auto& o, auto& n) {
             both(o, n, 76, 3);
             n.set_ival(71, 2);
         },
         0, 4, 0},
        {"option mode 3 untilted", [](auto&, auto& n) { n.set_ival(130, 3); }, 0, 3, 0},
        {"item 61 changed", [](auto&, auto& n) { n.set_rval(61, 6.0f); }, 0, 5, 0},
        {"item 61 lowered, mode 2",
         [](auto& o, auto& n) {
             both(o, n, 59, 2);
             n.set_rval(61, 4.0f);
         },
         0, 4, 0},
        {"item 61 raised, mode 2",
         [](auto& o, auto& n) {
             both(o, n, 59, 2);
             n.set_rval(61, 6.0f);
         },
         0, 3, 0},
        {"item 61 changed, 62 above 2",
         [](auto& o, auto& n) {
             both(o, n, 62, 3);
             n.set_rval(61, 6.0f);
         },
         0, 4, 0},
        {"item 108 changed", [](auto&, auto& n) { n.set_ival(108, 11); }, 0, 5, 0},
        {"item 108 changed, 76 at 3",
         [](auto& o, auto& n) {
             both(o, n, 76, 3);
             n.set_ival(108, 11);
         },
         0, 4, 0},
        {"item 114 changed", [](auto&, auto& n) { n.set_ival(114, 4); }, 0, 5, 0},
        {"item 114 changed, mode 2",
         [](auto& o, auto& n) {
             both(o, n, 59, 2);
             n.set_ival(114, 4);
         },
         0, 3, 0},
        {"item 60 changed, mode 2, both 3",
         [](auto& o, auto& n) {
             both(o, n, 59, 2);
             both(o, n, 76, 3);
             n.set_rval(60, -1.0f);
         },
         0, 4, 0},
        {"table alone", [](auto&, auto& n) { n.set_ival(110, 70, 2); }, 0, 0, 0},
        {"table after a change, 76 at 2",
         [](auto& o, auto& n) {
             both(o, n, 76, 2);
             n.set_rval(61, 6.0f);
             n.set_rval(109, 0.7f, 1);
         },
         0, 3, 0},
        {"sixth table word after a change",
         [](auto&, auto& n) {
             n.set_rval(61, 6.0f);
             n.set_ival(112, 20, 5);
         },
         0, 5, 0},
        {"tool table 125",
         [](auto& o, auto& n) {
             both(o, n, 62, 5);
             n.set_ival(125, 4, 9);
         },
         0, 4, 0},
        {"tool table 127 beyond the count",
         [](auto& o, auto& n) {
             both(o, n, 62, 5);
             n.set_ival(127, 90, 0);
         },
         0, 0, 0},
        {"tool table 128 within the count",
         [](auto& o, auto& n) {
             both(o, n, 62, 5);
             both(o, n, 126, 3);
             n.set_ival(128, 90, 1);
         },
         0, 4, 0},
        {"damaged count stops at the table's end",
         [](auto& o, auto& n) {
             both(o, n, 62, 5);
             both(o, n, 126, 99);
             n.set_ival(127, 90, 9);
         },
         0, 4, 0},
        {"upper limit raised, modes 2",
         [](auto& o, auto& n) {
             both(o, n, 65, 2);
             n.set_rval(67, 100000.0f);
         },
         0, 4, 0},
        {"upper limit lowered, modes 2",
         [](auto& o, auto& n) {
             both(o, n, 65, 2);
             n.set_rval(67, 500.0f);
         },
         0, 3, 0},
        {"lower limit lowered, modes 3",
         [](auto& o, auto& n) {
             both(o, n, 65, 3);
             n.set_rval(66, -100000.0f);
         },
         0, 4, 0},
        {"range mode 2 to 4",
         [](auto& o, auto& n) {
             o.set_ival(65, 2);
             n.set_ival(65, 4);
         },
         0, 3, 0},
        {"option mode back to 1", [](auto& o, auto&) { o.set_ival(130, 2); }, 0, 5, 0},
        {"tilted option mode 2 to 3",
         [](auto& o, auto& n) {
             o.set_ival(130, 128 + 2);
             n.set_ival(130, 128 + 3);
         },
         0, 5, 0},
        {"plane dialog discards", [](auto&, auto& n) { n.set_ival(81, 3); }, 5, 0, 0},
        {"plane dialog after a recompute", [](auto& o, auto&) { o.set_ival(59, 2); }, 4, 4, 0},
    };
    for (const compare_row& row : rows) {
        opt_params_defaults();
        optimizer_params previous = opt_params_current();
        row.change(previous, opt_params_current());
        plane_dialog_kind() = row.plane_kind;
        int result = -1;
        opt_params_compare(previous, result);
        EXPECT_EQ(result, row.result) << row.what;
        EXPECT_EQ(opt_params_current().ival(81), row.pending_after) << row.what;
    }
    plane_dialog_kind() = 0;
}

TEST(OptimizerCompare, ActiveTest)
{
    const std::vector<std::pair<edit, int>> rows = {
        {[](auto&, auto&) {}, 0},
        {[](auto&, auto& n) { n.set_ival(76, 2); }, 1},
        {[](auto&, auto& n) { n.set_ival(130, 128 + 1); }, 0},
        {[](auto&, auto& n) { n.set_ival(130, 2); }, 1},
    };
    for (const auto& [change, active] : rows) {
        opt_params_defaults();
        optimizer_params unused;
        change(unused, opt_params_current());
        EXPECT_EQ(opt_active(), active);
    }
}

class OptimizerList : public ::testing::Test {
protected:
    void SetUp() override { control::reset(); }
    void TearDown() override { control::reset(); }
};

TEST_F(OptimizerList, ReadKeepsDefaultsOfMissingItemsAndThePendingActionOfTypes38And54)
{
    for (const auto& [type, pending] : {std::pair{38, 3}, {54, 3}, {50, 0}}) {
        control::reset();
        proc_test::proc_block block;
        block.type = type;
        block.global(59, {2})
            .global(60, {r(0.25f)}, 1)
            .global(81, {3})
            .global(109, {r(0.7f), r(1.1f)}, 1)
            .global(130, {2});
        proc_test::proc_block::record(block.seg23, 10, {77}, 0);
        block.append();
        int status = -1;
        opt_params_read(status);
        const optimizer_params& p = opt_params_current();
        EXPECT_EQ(status, 0);
        EXPECT_EQ(p.ival(59), 2);
        EXPECT_FLOAT_EQ(p.rval(60), 0.25f);
        EXPECT_FLOAT_EQ(p.rval(61), 5.0f);
        EXPECT_FLOAT_EQ(p.rval(109, 1), 1.1f);
        EXPECT_FLOAT_EQ(p.rval(109, 2), 1.5f);
        EXPECT_EQ(p.ival(130), 2);
        EXPECT_EQ(p.ival(81), pending) << "type " << type;
        EXPECT_EQ(PRM9().words[machine_params::kToolId], 77);
    }
}

TEST_F(OptimizerList, ReadStopsAtAnItemLongerThanTheBlockHolds)
{
    proc_test::proc_block block;
    block.global(59, {2}).global(110, {1, 2, 3, 4, 5, 6, 7}).global(130, {2});
    block.append();
    int status = 0;
    opt_params_read(status);
    EXPECT_LT(status, 0);
    EXPECT_EQ(opt_params_current().ival(59), 2);
    EXPECT_EQ(opt_params_current().ival(130), 1);
}

TEST_F(OptimizerList, TiltFlagTestedAndRemoved)
{
    control::set_flag("nc_debug", 1);
    proc_test::proc_block block;
    block.global(130, {128 + 2});
    block.append();
    int status = -1;
    tilt_flag_test(2, status);
    EXPECT_EQ(opt_params_current().ival(130), 130);
    tilt_flag_remove(2, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(opt_params_current().ival(130), 2);
    tilt_flag_test(2, status);
    EXPECT_EQ(opt_params_current().ival(130), 2);
    EXPECT_EQ(control::lines_of("dbg_printf"),
              (std::vector<std::string>{"Procedure has Tilt flag", "Removing Tilted flag from list",
                                        "Procedure is not Tilted"}));

    control::reset();
    proc_test::proc_block{}.append();
    tilt_flag_remove(2, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(opt_params_current().ival(130), 1);
}

}  // namespace
