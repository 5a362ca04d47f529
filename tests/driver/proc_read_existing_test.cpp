// Reading an existing procedure back: the version flags, the list's own version, the
// single-curve flag, the source of the read, the roll-back of a failed read, and the flag
// segment.
#include "driver/change_analysis.hpp"
#include "driver/proc_read_existing.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_dialog_words.hpp"
#include "proc_block_support.hpp"
#include "toolpath/proc_flags.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace {

namespace control = vantu::control;

struct read_call {
    int where = 0, type = 0, version = 0, before_515 = 0, length = 0;
    int open_entity = 0, open_position = 0;
};
std::optional<read_call> seen;
int read_status = 0;

void read_double(int& where, int& type, int& version, int& before_515, int& length, int& status)
{
    read_call c{where, type, version, before_515, length};
    eopen_block_get(c.open_entity, c.open_position);
    seen = c;
    status = read_status;
}

class ProcReadExisting : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        EDA2() = edit_state{};
        seen.reset();
        read_status = 0;
    }
};

TEST_F(ProcReadExisting, VersionFlagsAndListVersion)
{
    struct row {
        std::optional<int> v43, v113;
        int before_515, old_version, version, layer_version;
    };
    const std::vector<row> rows = {
        {514, {}, 1, 1, 514, 514}, {1112, {}, 0, 0, 1112, 1112}, {{}, {}, 1, 1, -1, -1},
        {900, 0, 0, 1, 900, 900},  {900, 1200, 0, 1, 900, 1200},
    };
    for (const row& x : rows) {
        control::reset();
        proc_test::proc_block block;
        if (x.v43) block.global(43, {*x.v43});
        if (x.v113) block.global(113, {*x.v113});
        block.seg25 = {301, 2, 0, 5};
        block.append();
        int old_version = -7, status = -7;
        proc_read_existing(read_double, 0, old_version, status);
        ASSERT_TRUE(seen.has_value());
        EXPECT_EQ(status, 0);
        EXPECT_EQ(seen->where, 2);
        EXPECT_EQ(seen->type, 50);
        EXPECT_EQ(seen->length, 4);
        EXPECT_EQ(seen->before_515, x.before_515);
        EXPECT_EQ(seen->version, x.version);
        EXPECT_EQ(old_version, x.old_version);
        int layer = 0;
        tp_vnum_get(layer);
        EXPECT_EQ(layer, x.layer_version);
    }
}

TEST_F(ProcReadExisting, SingleCurveFlagAndApproxChoice)
{
    for (const auto& [item, no_questions, flag, choice] : {std::tuple{std::optional<int>{1}, 0, 1, 1}, {{}, 1, 0, 0}}) {
        control::reset();
        proc_test::proc_block block;
        if (item) block.global(47, {*item});
        block.append();
        single_curve_contours_flag() = 5;
        save_aprx_choice() = 0;
        int old_version = 0, status = 0;
        proc_read_existing(read_double, no_questions, old_version, status);
        EXPECT_EQ(single_curve_contours_flag(), flag);
        EXPECT_EQ(save_aprx_choice(), choice);
    }
}

TEST_F(ProcReadExisting, ViewedProcedureOfAnotherToolPathIsReadFromTheHost)
{
    EDA2().word_no(edit_state::kViewOnly) = 1;
    int status = 0, local_entity = 0, proc_id = 0;
    std::vector<word> parameters(9, 0);
    dbd_lclprm(2, local_entity, parameters, status);
    nc_proc_record record;
    record.lclprm_id = local_entity;
    dbd_proc(2, proc_id, record, status);
    control::set_current_procedure(proc_id);
    control::declare_tool_path(3, {}, {proc_id});
    control::set_current_tool_path(5);
    control::set_proc_param(proc_id, 9, 4, 34, {50});
    control::set_proc_param(proc_id, 9, 4, 43, {1200});
    int old_version = 0;
    proc_read_existing(read_double, 0, old_version, status);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(status, 0);
    EXPECT_EQ(seen->where, 1);
    EXPECT_EQ(seen->type, 50);
    EXPECT_EQ(seen->version, 1200);
    EXPECT_EQ(seen->length, 9);
    EXPECT_EQ(seen->open_entity, local_entity);
    EXPECT_EQ(seen->open_position, 4);
    int open = -1, position = 0;
    eopen_block_get(open, position);
    EXPECT_EQ(open, 0) << "the local-parameter record is closed";

    // A failing callback leaves the word layer's version as it was and the record closed.
    control::set_toolpath_version(830);
    read_status = -1;
    proc_read_existing(read_double, 0, old_version, status);
    EXPECT_EQ(status, -1);
    int layer = 0;
    tp_vnum_get(layer);
    EXPECT_EQ(layer, 830);
    eopen_block_get(open, position);
    EXPECT_EQ(open, 0);

    // A procedure record the host cannot give is refused.
    control::inject_fault("get_proc_info", 1, 1, -5);
    proc_read_existing(read_double, 0, old_version, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::lines_of("eroutc").back(), "proc_read_existing, THE HOST'S PROCEDURE RECORD CANNOT BE READ");

    // The tool path holding it is the current one: read from the list.
    control::set_current_tool_path(3);
    proc_test::proc_block{}.append();
    read_status = 0;
    proc_read_existing(read_double, 0, old_version, status);
    EXPECT_EQ(seen->where, 2);
}

TEST_F(ProcReadExisting, FlagSegmentReadAndSynchronised)
{
    proc_test::proc_block block;
    block.flag(51, 1).flag(82, 1).flag(83, 1).flag(93, 44);
    block.append();
    proc_flags() = proc_geom_pairs{};
    int status = -1;
    proc_flags_read(status);
    EXPECT_EQ(status, 0);
    const proc_geom_pairs& f = proc_flags();
    EXPECT_EQ(f.options[0], 1);
    EXPECT_EQ(f.options[5], 1);
    EXPECT_EQ(f.pairs[0], 1);
    EXPECT_EQ(f.pairs[1], 44);
    EXPECT_EQ(f.pairs[2], 0);
    proc_flag_sync();
    EXPECT_EQ(f.pairs[2], 1);

    control::reset();
    const std::vector<word> no_flags = {12, 1, 50, 24, 0};
    lcreat(1, status);
    lputd(static_cast<int>(no_flags.size()), no_flags.data(), status);
    lclos(status);
    lacces(0, status);
    proc_flags_read(status);
    EXPECT_LT(status, 0);
}

}  // namespace
