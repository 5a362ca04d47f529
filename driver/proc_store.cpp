// Store step (proc_store): a back answer from the questions sends the pass back to preparation,
// any other negative status ends the run. Otherwise the update, recompute and execute words are
// settled, the status and start lines shown, and the procedure block written with its sub-list
// left open for the execution. Reads and writes EDA2.
#include "driver/change_analysis.hpp"
#include "driver/proc_messages.hpp"
#include "driver/proc_read_existing.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"
#include "driver/stubs.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/proc_block_writer.hpp"

namespace {

constexpr int kStartLine = 1;
constexpr int kTlerNoMotion = 3;

void end_run(int& status)
{
    proc_end(status);
    status = kCancel;
}

// Steps 4 to 6: the words the execution and the block writer read.
void settle_words()
{
    proc_run_state& run = proc_run;
    edit_state& e = EDA2();
    run.remark = 0;
    if (run.change_result == kChangeOptimizeOnly) {
        run.update = 1;
        e.word_no(edit_state::kSuspend) = 0;
    }
    e.word_no(eda2::kUpdateStored) = run.update;
    e.word_no(eda2::kRecomputeStored) = run.recompute;
    run.execute_word = run.recompute;
    const bool editing = e.word_no(edit_state::kEditing) != 0;
    if (!editing) {
        proc_status_line(-1, proc_nc_function(), 0);
    } else {
        if (e.word_no(edit_state::kSuspend) != 0) run.execute_word = 0;
        if (e.word_no(eda2::kOptionWord) != 0 && e.word_no(eda2::kNoDisplayRun) == 0)
            e.word_no(eda2::kNoDisplayRun) = 1;
        if (run.execute_word) e.word_no(eda2::kNoDisplayRun) = 0;
    }
    if (!run.execute_word) return;
    if (TLER().at(tool_display_state::kMode) == kTlerNoMotion && !run.optimizer) e.word_no(eda2::kNoDisplayRun) = 1;
    const bool quiet = tamsa_flag_get() != 0 && !editing && e.word_no(edit_state::kSuspend) != 0;
    if (!quiet) msg_line_show(kStartLine, 0, 0);
}

// The procedure block and its sub-list.
void write_block(int& status)
{
    proc_run_state& run = proc_run;
    const edit_state& e = EDA2();
    run.new_block = e.word_no(edit_state::kEditing) == 0 || e.word_no(eda2::kRecomputeStored) != 0 ? 1 : 0;
    proc_flag_sync();
    const proc_type_table& t = proc_type_registration();
    PTBT12(proc_nc_function(), run.new_block, run.procedure_number, t.contour_records, t.put_parameters, t.put_geometry,
           run.mach_param_type, status);
    if (status == 0) ncs_table_write_table(0, 0, 1, status);
}

}  // namespace

void proc_store(int& status)
{
    proc_run_state& run = proc_run;
    edit_state& e = EDA2();
    if (run.template_write) return end_run(status);
    if (run.optimizer && !run.criteria_check) {
        if (e.word_no(edit_state::kSuspend) != 0) sim_invalidate(CLP1().at(proc_colour_pen::kColour));
        int stock_id = 0, stock_table = 0, stock_status = 0;
        get_stockid(stock_id, stock_table, stock_status);
    }
    if (status == kBack) {
        run.back = 1;
        status = kRedo;
        return;
    }
    if (run_ended(status)) return end_run(status);

    settle_words();
    e.word_no(eda2::kGeometryByCriteria) = if_geom_by_crit();
    if (run.criteria_check || !run.first_store) {
        e.word_no(edit_state::kSuspend) = e.word_no(eda2::kWasSuspended) != 0 ? 1 : 0;
        run.suspended = e.word_no(eda2::kWasInterrupted) != 0 ? 1 : 0;
    }
    run.first_store = 1;

    if (run.change_status == 0 && run.stock == 0) {
        write_block(status);
        if (status != 0) {
            if (status < 0) e.word_no(eda2::kWriteFailed) = 1;
            return end_run(status);
        }
        run.sublist_open = 1;
    }
    status = kGoOn;
}
