// Define step: the procedure type's define callback, then what follows it. The view-only
// flag, the end-run flag or a failing callback end the run here; otherwise the contour
// records are tested (mode 3) and the step goes on whatever that test gave. A callback that went
// on marks the procedure as having geometry for the questions before execution.
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"
#include "driver/proc_type_table.hpp"

void proc_define(int& status)
{
    if (proc_run.define_enabled) {
        proc_run_state& run = proc_run;
        proc_type_registration().define(run.procedure_number, run.view_only, run.tool_path_moved, run.repeat,
                            run.change_status, run.back, run.geometry_redefined, run.end_run,
                            status);
    }
    proc_after_define(status);
}

void proc_after_define(int& status)
{
    proc_run.geometry_defined = status == 0 && !proc_run.end_run ? 1 : 0;
    if (proc_run.view_only || proc_run.end_run || run_ended(status)) {
        proc_end(status);
        status = kCancel;
        return;
    }
    int mode = kContourRecordsAfterDefine;
    int scratch = 0;
    int records_status = 0;
    proc_type_registration().contour_records(mode, scratch, proc_run.contour_result, records_status);
    status = kGoOn;
}
