// Define step (proc_define): the procedure type's define callback, then what follows it
// (proc_after_define): the host's geometry status, the end of the run when the callback asked for
// it, the change analysis with the flags of a new procedure, and the contour records (mode 3) and
// criteria, after which the step goes on whatever they gave. Reads EDA2.
#include "driver/change_analysis.hpp"
#include "driver/criteria_lists.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/template_flags.hpp"

namespace {

constexpr int kSolidGeometry = 1, kOtherGeometry = 2;
constexpr int kSimulationWithSolids = 38, kSimulationStateRecompute = 4;

// Steps 5 to 8: what changed decides whether the procedure is recomputed or its block updated.
void analyse_changes()
{
    proc_run_state& run = proc_run;
    const edit_state& e = EDA2();
    proc_change_analysis(kChangeCompare, proc_block_length(), proc_type_registration().current_block,
                         proc_type_registration().parameters_changed, proc_type_registration().previous_block,
                         run.recompute, run.update, run.change_status, run.change_result);
    if (e.word_no(edit_state::kEditing) == 0) {
        run.update = 1;
        run.recompute = 1;
        if (run.change_result == kChangeOptimizeOnly) run.change_result = kChangeRecomputeAll;
    }
    if (proc_nc_function() == kSimulationWithSolids && sim_slot_state(run.sim_index) == kSimulationStateRecompute)
        run.recompute = 1;
    const bool forced = e.word_no(eda2::kWasSuspended) != 0 || e.word_no(eda2::kManuallyChanged) != 0 ||
                        e.word_no(eda2::kWasInterrupted) != 0 || is_template_active();
    if (forced && run.change_result != 0) run.change_result = kChangeRecomputeAll;
}

}  // namespace

void proc_define(int& status)
{
    proc_run_state& run = proc_run;
    if (run.define_enabled && !run.criteria_check) {
        edit_state& e = EDA2();
        proc_type_registration().define(run.procedure_number, e.word_no(edit_state::kViewOnly),
                                        e.word_no(edit_state::kToolPathMoved), run.repeat, run.change_status, run.back,
                                        run.geometry_redefined, run.end_run, status);
    }
    proc_after_define(status);
}

void proc_after_define(int& status)
{
    proc_run_state& run = proc_run;
    const edit_state& e = EDA2();
    if (run.define_enabled && !run.criteria_check && status == 0)
        set_ProcGeomStatus(run.solid_geometry == 0 ? kOtherGeometry : kSolidGeometry);
    run.geometry_defined = status == 0 && !run.end_run ? 1 : 0;
    if (e.word_no(edit_state::kViewOnly) != 0 || run.end_run || run_ended(status)) {
        proc_end(status);
        status = kCancel;
        return;
    }
    run.recompute = run.geometry_redefined || e.word_no(edit_state::kNoQuestions) ? 1 : 0;
    run.update = 0;
    run.change_result = 0;
    if (run.criteria_check || run.template_write) {
        status = kGoOn;
        return;
    }
    analyse_changes();
    int mode = kContourRecordsAfterDefine;
    int scratch = 0, records_status = 0;
    proc_type_registration().contour_records(mode, scratch, run.contour_result, records_status);
    crit_activate(proc_nc_function(), 0, EDA2().word_no(eda2::kCriteriaChanged));
    status = kGoOn;
}
