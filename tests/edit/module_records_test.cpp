// The module data the manual editor and trimming save: every record, stored with words of the
// length and kind its readers take, goes through the module's restore and save as a run does and
// is stored again word for word, so that the next run restores what this one saved.
#include "driver/nc_state_store.hpp"
#include "edit/manedt.hpp"
#include "edit/trim/trim_params.hpp"
#include "edit/trim/trim_state.hpp"
#include "edit/trim/trim_tp.hpp"
#include "host/control.hpp"
#include "host/control/script.hpp"
#include "listing/work_view.hpp"
#include "nc_services/machining_type.hpp"
#include "tests/edit/editor_support.hpp"
#include "tests/toolpath/nc_state_support.hpp"

namespace {

namespace control = vantu::control;
using words = std::vector<word>;

constexpr view_matrix kIdentity{1, 0, 0, 0, 1, 0, 0, 0, 1};

words identity_words()
{
    words out;
    for (float v : kIdentity) out.push_back(real_to_word(v));
    return out;
}

// The identity frame at the origin followed by further words of their own, as another module of
// the host keeps them in "COOR".
words work_coordinates()
{
    words coor = identity_words();
    coor.resize(kCoorWords, 0);
    for (int i = 12; i < kCoorWords; ++i) coor[static_cast<std::size_t>(i)] = 700 + i;
    return coor;
}

// The editor opened on the procedure being written, as the execution menu opens it, and left.
void browse_and_exit()
{
    int status = 0;
    lacces(3, status);
    control::load_script_text(R"([{"page": 24}])", "module records");
    manual_edit_browse(status);
}

// Trimming opened and left with two backs in its first menu.
void trim_and_leave()
{
    control::load_script_text(R"([{"menu": -2}, {"menu": -2}])", "module records");
    int status = 0;
    trim_tp(editor_test::kProcBlock, 1, status);
}

void restore_with_view()
{
    control::set_view_number(1);
    int status = 0;
    SEGSTR(kRestoreWithView, status);
}

class ModuleRecords : public ::testing::Test {
protected:
    void TearDown() override
    {
        tp_test::fresh_nc_state_blocks();
        trim_words() = trim_state{};
        machining_type() = machining_;
        control::reset();
    }

private:
    int machining_ = machining_type();
};

}  // namespace

TEST_F(ModuleRecords, EditorAndTrimmingRecordsRoundTripWhole)
{
    struct row {
        const char* name;
        const char* key;
        int kind;
        words stored;
        void (*run)();
    };
    const auto real = [](float v) { return real_to_word(v); };
    const words trim_params{2, 1, 1, 4, 2, real(5.5f), real(1.5f), real(0.25f), real(7.0f), real(-3.0f)};
    const row rows[] = {
        {"the editor's step delay", "MEDZ", 3, {real(0.25f)}, browse_and_exit},
        {"the trimming page's words", "ZQA1", 3, trim_params,
         [] {
             trim_params_read();
             trim_params_store();
         }},
        {"the trimming's UITR", "UITR", 3, {1}, trim_and_leave},
        {"the work coordinates of the block display", "COOR", kCoorKind, work_coordinates(),
         [] {
             store_machine_frame(kIdentity, {0, 0, 0});
         }},
        {"the work coordinates of the restore", "COOR", kCoorKind, work_coordinates(), restore_with_view},
        {"the view matrix of the block display", "STVW", 1, identity_words(), [] { store_view_matrix(kIdentity); }},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        editor_test::build({"P1:2", "L2", "L3"});
        set_npt1_matrix(kIdentity);
        ASSERT_TRUE(control::set_record(r.key, r.kind, r.stored));
        r.run();
        EXPECT_EQ(control::record_kind(r.key), r.kind);
        EXPECT_EQ(control::get_record(r.key), r.stored);
    }
}
