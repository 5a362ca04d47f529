// The driver loop. Per procedure: moved check, preparation, then define and solid check until
// the pass is not sent back (redo), store and execute, finish. A negative status at any check
// point returns at once: the step that produced it has already ended the run.
#include "driver/proc_driver.hpp"

#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"

proc_steps default_proc_steps()
{
    return {proc_start,       proc_check_moved, proc_prepare, proc_define,
            proc_check_solid, proc_store,       proc_execute, proc_finish};
}

proc_steps& proc_driver_steps()
{
    static proc_steps steps = default_proc_steps();
    return steps;
}

// One inner pass: define, solid check, and store and execute when the check lets them run.
// Answers false when the run has ended inside the pass; result is the pass's outcome.
static bool define_pass(const proc_steps& steps, int& status, int& go, int& result)
{
    steps.define(status);
    if (run_ended(status)) return false;
    steps.check_solid(status, go);
    if (go == kGoOn) {
        steps.store(status);
        if (status == kGoOn) {
            steps.execute(0, status);
            if (run_ended(status)) return false;
        }
    }
    result = status;
    return true;
}

// One procedure: moved check, preparation, define passes until one is not sent back, finish.
// Answers true when the next procedure of the run is to begin.
static bool procedure_pass(const proc_steps& steps, int& status, int& go)
{
    steps.check_moved(status);
    if (run_ended(status)) return false;
    steps.prepare(status);
    if (run_ended(status)) return false;
    int result = kGoOn;
    for (;;) {
        if (!define_pass(steps, status, go, result)) return false;
        if (result != kRedo) break;
        steps.prepare(status);
        if (run_ended(status)) return false;
    }
    if (run_ended(result)) return false;
    steps.finish(status);
    return status == kGoOn;
}

void proc_driver(int& nc_function, define_callback define, execute_callback execute,
                 put_parameters_callback put_parameters, put_geometry_callback put_geometry,
                 read_parameters_callback read_parameters, parameters_changed_callback parameters_changed,
                 defaults_callback defaults, contour_records_callback contour_records, pre_exec_hook pre_exec,
                 translations_callback translations, solid_update_hook solid_update, std::string_view type_code,
                 int& block_length, word* current_block, word* previous_block)
{
    int status = kGoOn;
    proc_set_callbacks(nc_function, define, execute, put_parameters, put_geometry, read_parameters, parameters_changed,
                       defaults, contour_records, pre_exec, translations, solid_update, type_code, block_length,
                       current_block, previous_block, status);
    if (status != 0) return;

    const proc_steps steps = proc_driver_steps();
    int go = kGoOn;
    steps.start(0, status);
    if (status != kGoOn) return;
    while (procedure_pass(steps, status, go)) {}
}
