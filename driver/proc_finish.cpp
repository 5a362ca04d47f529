// Finish step (proc_finish): closes the sub-list the store step opened, updates the procedure
// block (PTUB12, or UPDCMC for a procedure stored without executing), marks it as the execution
// left it, and decides whether the run goes on to the next procedure. Every failure ends the run
// through the end step, so the parameters and the NC state are saved on that road as well.
// Reads and writes EDA2; reads NPT1.
#include "driver/change_analysis.hpp"
#include "driver/mch_slot_init.hpp"
#include "driver/optimizer_list.hpp"
#include "driver/proc_messages.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"
#include "driver/stubs.hpp"
#include "host/vantu.hpp"
#include "listing/dsproc.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/prog_line.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/proc_block_update.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/proc_geom_entities.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <array>

namespace {

constexpr int kGet = 1, kSet = 2;
constexpr int kGlobals = 24, kOwnSegment = 25;
constexpr int kMarkItem = 81, kPlaneItem = 40, kVerifyItem = 82;
constexpr int kMarkChanged = 3, kMarkSuspended = 4;
constexpr int kProcedureCode = 8;
constexpr int kEndLine = 2;
constexpr int kAutomaticVerify = 2, kVerifyDefault = 1;
constexpr int kManagedCreate = 3;
constexpr int kRecordHead = 2;  // a record's count and type words before its value
constexpr int kStatusWindow = 2;

bool optimizer_function(int nc_function) { return nc_function == 52 || nc_function == 53; }

// Overwrites the value of item 81 of segment 24 of the current procedure block.
void mark_item(word value, int& status)
{
    PLFIND(kGlobals, kMarkItem, status);
    if (status < 0) return;
    TPSKIP(kWhereListNumbered, kRecordHead, status);
    if (status < 0) return;
    TPCHNG(1, 0, &value, status);
}

// The header of a procedure whose optimization alone changed, and the block counter past
// its sub-list. Simulation slots count from 0, procedure blocks from 1: the procedure of slot n
// is the (n + 1)-th procedure block.
void update_header(int& status)
{
    proc_run_state& run = proc_run;
    const int suspend = EDA2().word_no(edit_state::kSuspend);
    if (run.change_result != kChangeOptimizeOnly) {
        if (!run.execute_word) WUPDSL(suspend);
        return;
    }
    WUPDSL(suspend);
    NXTCNT(kProcedureCode, run.sim_index + 1, status);
    if (status < 0) return;
    word count = 0;
    int items = 0, type = 0;
    TPGETN(kWhereList, kGlobals, kSublistCountCode, items, type, &count, 1, status);
    if (status < 0) return;
    int next = count + 1;
    gsblkn(kSet, 0, next, status);
    if (status < 0) return;
    NXTCNT(kProcedureCode, run.sim_index + 1, status);
}

// The marks of item 81, the tilt flag, and the plane item read back.
void mark_block(int& status)
{
    proc_run_state& run = proc_run;
    const edit_state& e = EDA2();
    const bool suspend = e.word_no(edit_state::kSuspend) != 0;
    if (run.remark) {
        mark_item(run.change_result == kChangeOptimizeOnly ? kMarkChanged : kMarkSuspended, status);
        if (status < 0) return;
    }
    int tilt_status = 0;
    if (!suspend && !run.execute_word)
        tilt_flag_test(kWhereList, tilt_status);
    else
        tilt_flag_remove(kWhereList, tilt_status);
    if (tilt_status < 0) {
        status = tilt_status;
        return;
    }
    const bool executed = run.execute_word || run.change_result == kChangeOptimizeOnly;
    if (suspend || !executed || e.word_no(eda2::kOptimizerStopped) != 0 || run.remark) return;
    mark_item(0, status);
    if (status < 0) return;
    word plane = 0;
    int items = 0, type = 0;
    TPGETC(kWhereList, kGlobals, kPlaneItem, items, type, &plane, 1, status);
    if (status == 1) status = 0;
}

// The automatic verification of milling machines 22, 23, 25 and 26.
void verify(int& status)
{
    const proc_run_state& run = proc_run;
    int option = 0;
    get_set_vrf_opt(kGet, option);
    const int machine = NPT1().machine_type();
    const int nc_function = proc_nc_function();
    const bool milling = machine == 22 || machine == 23 || machine == 25 || machine == 26;
    if (EDA2().word_no(edit_state::kSuspend) != 0 || run.optimizer || option != kAutomaticVerify || !milling ||
        nc_function == 6 || nc_function == 49)
        return;
    word verify_item = kVerifyDefault;
    if ((machine == 25 || machine == 26) &&
        (nc_function == 9 || nc_function == 35 || nc_function == 36 || nc_function == 37)) {
        int items = 0, type = 0, read = 0;
        TPGETN(kWhereList, kOwnSegment, kVerifyItem, items, type, &verify_item, 1, read);
    }
    if (verify_item != kVerifyDefault) return;
    sim_work_on(1, run.sim_index);
    update_tp_flags();
    automatic_verifier(status);
}

// Steps 2 to 7. Answers false when the run is to end at once: on a negative status, or when the
// host shows no stock (no block was stored).
bool finish_block(int& status)
{
    proc_run_state& run = proc_run;
    const edit_state& e = EDA2();
    if (run.sublist_open) {
        tp_sublist_close(status);
        run.sublist_open = 0;
        if (status < 0) return false;
    }
    const int nc_function = proc_nc_function();
    if ((nc_function == 34 || nc_function == 38) && !run.missing_motion && e.word_no(edit_state::kEditing) == 0 &&
        e.word_no(edit_state::kSuspend) == 0) {
        update_tp_flags();
        ncd_delete_block_or_proc(run.cursor_block, status);
        int display_mode = 1;
        if (status >= 0) DSPROC(display_mode, status);
        if (status < 0) return false;
    }
    update_header(status);
    if (status < 0) return false;
    if (run.stock) return false;
    if (e.word_no(edit_state::kSuspend) == 0)
        PTUB12(run.recompute, run.suspended, run.display_changed, run.display_mode, status);
    else
        UPDCMC(status);
    if (status < 0) return false;
    tp_mrkr_fin(run.suspended);
    if (!run.criteria_check) {
        mark_block(status);
        if (status < 0) return false;
    }
    verify(status);
    return status >= 0;
}

// The run goes on to the next procedure.
bool goes_on(int status)
{
    const proc_run_state& run = proc_run;
    if (status < 0 || EDA2().word_no(edit_state::kEditing) != 0 || run.alert == 1) return false;
    int geometry_status = 0, flags_status = 0;
    update_proc_geoms(1, geometry_status);
    if (geometry_status < 0) return false;
    update_flags(flags_status);
    if (flags_status < 0) return false;
    return !is_create_from_TPtemplate() && (tamsa_flag_get() == 0 || get_ManageTp_TemplateFlag() != kManagedCreate);
}

}  // namespace

void proc_finish(int& status)
{
    proc_run_state& run = proc_run;
    edit_state& e = EDA2();
    status = kGoOn;
    const bool finished = finish_block(status);
    if (finished) {
        run.display_changed = 0;
        run.suspended = 0;
        if (run.execute_word && (tamsa_flag_get() == 0 || e.word_no(edit_state::kEditing) != 0))
            msg_line_show(kEndLine, e.word_no(edit_state::kSuspend), 0);
        sim_get_set(kSet, run.stock);
    }
    const bool next = finished && goes_on(status);
    const bool optimizer = optimizer_function(proc_nc_function());
    if (next && !optimizer) {
        run.repeat = 1;
        ++run.sim_index;
        e.word_no(edit_state::kSuspend) = 0;
        sim_work_on(kSet, run.sim_index);
        status = kGoOn;
    } else if (next && tamsa_flag_get() != 0) {
        proc_end(status);
        status = kGoOn;
    } else {
        proc_end(status);
        status = kCancel;
    }
    if (tamsa_flag_get() != 0) prog_close();
}
