// Execution step (proc_execute): runs the execute callback under interrupt when the store step
// asked for it. The step goes on whatever the execution gave: the finish step must close the
// sub-list. The machining type the execution set is given back afterwards, so every define of a
// run sees what the first one saw; a failed execution is counted, so that the end step does not
// report the run's procedures as created. Reads and writes EDA2.
#include "driver/exec_run.hpp"
#include "driver/mch_slot_init.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"
#include "host/vantu.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/exec_break_menu.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/updown_buffers.hpp"

namespace {

constexpr int kOptimizerStopped = -555;
constexpr int kBackward = 2;
constexpr int kTakeSlot = 1;

bool draws_xor_tool() { return machining_type() != 34 && machining_type() != 35; }

// The machine-parameter slots of a new block, or the end of the existing sub-list.
void prepare_list(int& status)
{
    if (proc_run.change_status == 0) {
        INITMC(proc_run.mach_param_type);
        mch_param_apply(proc_run.mach_param_type, status);
        return;
    }
    tp_sublist_open(status);
    if (status >= 0) JMPEND(status);
}

// The execution itself and what it leaves for the finish step.
void run_execution(int restart, int& status)
{
    proc_run_state& run = proc_run;
    edit_state& e = EDA2();
    const bool xor_tool = draws_xor_tool();
    if (restart == 0) {
        set_alerr_off();
        recalculate_partbox();
        if (xor_tool) tool_xor_on();
    }
    exec_run(proc_type_registration().execute, run.interactive, restart, run.suspended, run.display_changed,
             run.display_mode, status);
    machining_type() = run.run_machining_type;
    if (xor_tool) tool_xor_off();
    if (status >= 0) {
        const int nc_function = proc_nc_function();
        if (nc_function == 52 && !run.suspended)
            sim_validate(run.sim_index);
        else if (nc_function != 53)
            sim_invalidate(CLP1().at(proc_colour_pen::kColour));
        if (run.suspended && run.change_result > 0) run.remark = 1;
    }
    e.word_no(eda2::kOptimizerStopped) = run.optimizer && status == kOptimizerStopped ? 1 : 0;
    int closed = 0;
    updown_close(closed);
    // The fit buffer goes back with the UP/DOWN buffers: every string flushed its fit, and a run
    // that fitted moves (an approach arc, a fitted string) would otherwise leave the array open.
    fit_buffer_release();
    run.alert = if_was_alerr();
    // An execution that failed (not one the user stopped) made no tool path to report as created.
    if (status < 0 && !run.suspended && status != kOptimizerStopped) ++run.failed_executions;
    int found_status = 0;
    tp_marker_find(kBackward, run.missing_motion, found_status);
}

}  // namespace

void proc_execute(int restart, int& status)
{
    proc_run_state& run = proc_run;
    if (!run.execute_word) {
        status = kGoOn;
        return;
    }
    if (restart == 0) {
        prepare_list(status);
        if (run_ended(status)) {
            proc_end(status);
            status = kCancel;
            return;
        }
        sim_work_on(kTakeSlot, run.sim_index);
    }
    if (EDA2().word_no(edit_state::kSuspend) == 0) run_execution(restart, status);
    status = kGoOn;
}
