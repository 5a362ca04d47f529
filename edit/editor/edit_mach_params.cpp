// The editor's MACH.PARAMS: the machine-parameter page at the cursor (EDTPRM), the backup copy
// of PRM9 it works on (prm23_save_restore) and the page's fields by machine type
// (mach_page_masks). New parameter blocks go after the cursor's motion and the non-motion blocks
// that follow it, so that they take effect with the next motion. Uses list markers 5 and 1.
#include "edit/editor/edit_operations.hpp"

#include "driver/change_analysis.hpp"
#include "edit/editor/block_delete.hpp"
#include "edit/editor/connect_tables.hpp"
#include "edit/editor/list_utilities.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "listing/mach_params_menu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr int kCursorMarker = 5, kInsertMarker = 1;
constexpr int kBaseFeedMode = 1, kRapidMode = 4;
constexpr int kListEnd = -2;
// mch_param_apply's argument: 1 in procedures of NC function 1 or 2, else 2.
constexpr int kApplyFirstFunctions = 1, kApplyOthers = 2;

bool is_mill_or_lathe(int machine) { return (machine >= 22 && machine <= 26) || machine == 31; }
bool is_wire(int machine) { return machine >= 61 && machine <= 80; }

void report_list_error(int& status)
{
    eroutc("EDTPRM, ERRORS IN LIST", 0);
    if (status >= 0) status = -1;
}

// Walks forward from the cursor to the next motion, moving the insertion marker along every
// block before it, and places the display's insertion there (after that motion, or at the end
// of the procedure when none follows).
bool find_insertion_place(int& status)
{
    int answer = 0;
    for (;;) {
        tp_list_jump(1, status);
        if (status == kListEnd) break;
        if (status < 0) return false;
        int size = 0, type = 0, block_class = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status < 0) return false;
        if (block_class == kClassMotion) {
            word number = 0;
            tpget(kWhereList, 1, 0, &number, status);
            if (status < 0) return false;
            ncd_set_block_position(kCurrentDisplayFile, -1, {2, list_cursor().cursor_proc_blkno, number}, status);
            if (status < 0) eroutc("EDTPRM, ERRORS IN THE DISPLAY FILE", 0);
            return status >= 0;
        }
        lmark(1, kInsertMarker, answer);
    }
    status = 0;
    ncd_set_block_position(kCurrentDisplayFile, kAtProcedureEnd, {1, list_cursor().cursor_proc_blkno, 0}, status);
    if (status < 0) eroutc("EDTPRM, ERRORS IN THE DISPLAY FILE", 0);
    return status >= 0;
}

// The parameters in force at the cursor become PRM9 and the slots' last written values, so that
// only what the page changes is written. Blocks still pending are written first.
void load_parameters_in_force(int machine, int& status)
{
    prm23_save_restore(2, status);
    prm_from_modal(status);
    trim_block_flags(0, status);
    if (is_wire(machine)) return;
    const bool feed = DSM4().real(modal_values::kFeed) >= 0.0f;
    set_mch_change_mode(feed ? kBaseFeedMode : kRapidMode);
    const int function = list_cursor().cursor_fn_code;
    mch_param_apply(function == 1 || function == 2 ? kApplyFirstFunctions : kApplyOthers, status);
    if (status >= 0) PUTMCH(status);
}

// The page with the fields of the machine type; changed parameters are written at the list
// position. changed 1 when anything changed.
void run_page(int machine, bool feed_in_force, int& changed, int& status)
{
    const std::array<int, kPageMaskFlags> mask = mach_page_masks(machine);
    int flags[kMachItemFlags]{};
    std::copy_n(mask.begin(), kMachItemFlags, flags);
    int recompute = 0, update = 0, feed_changed = 0;
    mch_params_changed(1, recompute, update, feed_changed);
    int no_display = 0;
    mach_params_menu(no_display, flags, 0, status);
    if (status < 0) return;
    mch_params_changed(2, recompute, update, feed_changed);
    if (!recompute && !update && !feed_changed) return;
    if (is_mill_or_lathe(machine)) set_mch_change_mode(feed_in_force ? kBaseFeedMode : kRapidMode);
    changed = 1;
    PUTMCH(status);
}

}  // namespace

std::array<int, kPageMaskFlags> mach_page_masks(int machine_type)
{
    std::array<int, kPageMaskFlags> mask{};
    const auto offer = [&mask](std::initializer_list<int> fields) {
        for (int field : fields) mask[static_cast<std::size_t>(field - 1)] = 1;
    };
    if (machine_type >= 22 && machine_type <= 26)
        offer({4, 5, 6, 9});
    else if (machine_type == 12 || machine_type == 13)
        offer({4});
    else if (machine_type == 31)
        offer({4, 5, 9});
    else if (is_wire(machine_type))
        offer({8});
    return mask;
}

void prm23_save_restore(int mode, int& status)
{
    static machine_params backup;
    if (mode == 1)
        PRM9() = backup;
    else
        backup = PRM9();
    status = 0;
}

void EDTPRM(const blk_path& current, int& changed, int& layer, int& status)
{
    (void)current;
    changed = 0;
    layer = 0;
    status = 0;
    int answer = 0;
    lmark(1, kCursorMarker, answer);
    lmark(1, kInsertMarker, answer);
    if (!find_insertion_place(status)) {
        if (status >= 0) status = -1;
        tp_list_top_mark(kCursorMarker, answer);
        return;
    }
    tp_list_top_mark(kInsertMarker, status);
    if (status >= 0) layer = CHKLYR(status);
    if (status < 0) {
        report_list_error(status);
        tp_list_top_mark(kCursorMarker, answer);
        return;
    }
    const int machine = NPT1().machine_type();
    load_parameters_in_force(machine, status);
    const bool feed_in_force = DSM4().real(modal_values::kFeed) >= 0.0f;
    if (status >= 0) run_page(machine, feed_in_force, changed, status);
    const int page_status = status;
    ncd_connect_toolpath(kCurrentDisplayFile);
    prm23_save_restore(1, status);
    tp_list_top_mark(kCursorMarker, status);
    status = page_status < 0 ? page_status : (status < 0 ? status : 0);
    if (!changed) layer = 0;
}
