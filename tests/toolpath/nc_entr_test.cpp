// The entry-point list (merge by x and y, growth, release, reset) and the execution display mode
// with the clearance-plane flag of HEI8.
#include "host/control.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/nc_entr.hpp"
#include "nc_services/nc_state_blocks.hpp"

#include <gtest/gtest.h>

namespace {

namespace control = vantu::control;

class EntryPoints : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        nc_entr() = entry_point_list{};
    }
    void TearDown() override
    {
        int status = 0;
        nc_entr_rel(status);
    }
    static nc_entry entry(int n)
    {
        nc_entry e;
        int status = 0;
        nc_entr_get(n, e, status);
        EXPECT_EQ(status, 0) << n;
        return e;
    }
};

TEST_F(EntryPoints, OneEntryPerPositionKeepsTheLowestZ)
{
    int status = 0;
    nc_entr_add({10, 20, 5}, status);
    nc_entr_add({10, 20, 3}, status);
    nc_entr_add({10, 20, 7}, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(nc_entr().count, 1);
    EXPECT_EQ(entry(0).z, 3.0f);
    nc_entr_add({10.00001f, 20, 1}, status);
    EXPECT_EQ(nc_entr().count, 1) << "equal within the host's point tolerance";
    EXPECT_EQ(entry(0).z, 1.0f);
    nc_entr_add({11, 20, 9}, status);
    EXPECT_EQ(nc_entr().count, 2);
    EXPECT_EQ(entry(1).x, 11.0f);
    EXPECT_EQ(entry(1).z, 9.0f);
}

TEST_F(EntryPoints, GrowsByTenWithoutLosingPoints)
{
    int status = 0;
    for (int i = 0; i < 25; ++i) {
        nc_entr_add({static_cast<float>(i), 2.0f * static_cast<float>(i), -static_cast<float>(i)}, status);
        ASSERT_EQ(status, 0) << i;
        if (i == 9) {
            EXPECT_EQ(nc_entr().capacity, 10);
        } else if (i == 10) {
            EXPECT_EQ(nc_entr().capacity, 20) << "the eleventh point grows the array";
        }
    }
    EXPECT_EQ(nc_entr().capacity, 30);
    ASSERT_EQ(nc_entr().count, 25);
    for (int i = 0; i < 25; ++i) {
        const nc_entry e = entry(i);
        EXPECT_EQ(e.x, static_cast<float>(i));
        EXPECT_EQ(e.y, 2.0f * static_cast<float>(i));
        EXPECT_EQ(e.z, -static_cast<float>(i));
    }
    EXPECT_EQ(control::array_element_size(nc_entr().handle), kEntryRecordBytes);
}

TEST_F(EntryPoints, MemoryFailuresKeepTheEarlierEntries)
{
    int status = 0;
    control::inject_fault("MM_OPEN_ARRAY", 1, 1, -1);
    nc_entr_add({1, 1, 1}, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::texts_of("eroutc").back(), "nc_entr_add, OPEN DYNAMIC MEMORY ERROR");
    EXPECT_EQ(nc_entr().count, 0);
    for (int i = 0; i < 10; ++i) nc_entr_add({static_cast<float>(i), 0, 0}, status);
    control::inject_fault("MM_RESIZE_ARRAY", 1, 1, -1);
    nc_entr_add({50, 0, 0}, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::texts_of("eroutc").back(), "nc_entr_add, DYNAMIC MEMORY ERROR - CANNOT ALLOCATE");
    EXPECT_EQ(nc_entr().count, 10);
    EXPECT_EQ(entry(9).x, 9.0f);
}

TEST_F(EntryPoints, ReleaseAndResetGiveTheArrayBack)
{
    int status = 5;
    nc_entr_rel(status);
    EXPECT_EQ(status, 0) << "a list never opened";
    EXPECT_EQ(nc_entr().handle, -1);
    nc_entr_add({1, 2, 3}, status);
    EXPECT_EQ(control::open_array_count(), 1);
    int count = 7;
    nc_entr_reset(count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(nc_entr().handle, -1);
    EXPECT_EQ(nc_entr().capacity, 0);
    EXPECT_EQ(control::open_array_count(), 0) << "a reset per pocket leaves no array behind";
    nc_entry e;
    nc_entr_get(0, e, status);
    EXPECT_EQ(status, -1);
}

// ---- execution display mode -------------------------------------------------------------------

class ExecDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        HEI8() = heights_state{};
        exec_display() = exec_display_state{};
    }
};

TEST_F(ExecDisplay, ForcedModeSavesTheUsersFlagOnceAndRestoresIt)
{
    for (int user_flag : {0, 1}) {
        HEI8().at(heights_state::kClearancePlane) = user_flag;
        exec_disp_save();
        set_exec_disp_mode(0);
        EXPECT_EQ(HEI8().at(heights_state::kClearancePlane), 1) << user_flag;
        set_exec_disp_mode(0);
        EXPECT_EQ(HEI8().at(heights_state::kClearancePlane), 1) << user_flag;
        int mode = 9;
        get_exec_disp_mode(mode);
        EXPECT_EQ(mode, 0);
        set_exec_disp_mode(1);
        EXPECT_EQ(HEI8().at(heights_state::kClearancePlane), user_flag) << "the user's flag is back";
        get_exec_disp_mode(mode);
        EXPECT_EQ(mode, 1);
    }
}

TEST_F(ExecDisplay, SaveStartsInModeOneAndTheValueWordRoundTrips)
{
    exec_display() = exec_display_state{0, 0, 0};
    exec_disp_save();
    int mode = 0, value = 0;
    get_exec_disp_mode(mode);
    EXPECT_EQ(mode, 1);
    gs_exec_disp_value(1, value);
    EXPECT_EQ(value, 1);
    value = 6;
    gs_exec_disp_value(2, value);
    value = 0;
    gs_exec_disp_value(1, value);
    EXPECT_EQ(value, 6);
}

TEST(WrmbWords, SlotWriterReadsTheWireModalValues)
{
    WRMB() = wire_modal_values{};
    WRMB().at(0) = 11;
    WRMB().at(26) = 40;
    EXPECT_EQ(wrmb_word(0), 11);
    EXPECT_EQ(wrmb_word(26), 40);
    EXPECT_EQ(wrmb_word(27), 0);
    EXPECT_EQ(wrmb_word(-1), 0);
    EXPECT_EQ(wire_modal_values::word_of_type(11), 0);
    EXPECT_EQ(wire_modal_values::word_of_type(16), 5);
    EXPECT_EQ(wire_modal_values::word_of_type(20), 6);
    EXPECT_EQ(wire_modal_values::word_of_type(35), 21);
    EXPECT_EQ(wire_modal_values::word_of_type(40), 26);
    EXPECT_EQ(wire_modal_values::word_of_type(17), -1);
}

}  // namespace
