// Preparation (proc_prepare): runs before every define pass. Definition on, the criteria
// redefinition, the host's procedure number, a managed template operation, and once per procedure
// the colour and pen written as CLP1. Reads EDA2; writes CLP1.
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/template_flags.hpp"

namespace {

constexpr int kReadProc = 1, kSetProc = 3;

// The colour and pen of the procedure, from the model attributes for a new procedure,
// from the procedure when editing, from the template during a template operation.
void write_colour_and_pen()
{
    int colour = 0, pen = 0;
    if (EDA2().word_no(edit_state::kEditing) != 0)
        gs_proc_color_pen(kReadProc, colour, pen);
    else
        gtmdla(colour, pen);
    if (is_some_template_CreateRead_operation()) {
        colour = get_Template_ReadProcColor();
        pen = get_Template_ReadProcPen();
    }
    gs_proc_color_pen(kSetProc, colour, pen);
    proc_colour_pen& c = CLP1();
    c.at(proc_colour_pen::kColour) = colour;
    c.at(proc_colour_pen::kPen) = pen;
    int status = 0;
    mdputc("CLP1", proc_colour_pen::kWords, c.words.data(), status);
    proc_run.clp1_pending = 0;
    proc_run.clp1_nc_function = proc_nc_function();
}

}  // namespace

void proc_prepare(int& status)
{
    proc_run_state& run = proc_run;
    const edit_state& e = EDA2();
    run.define_enabled = 1;
    run.geometry_redefined = 0;
    if (e.word_no(eda2::kCriteriaChanged) != 0 && (e.word_no(edit_state::kNoQuestions) != 0 || run.once_asked)) {
        run.geometry_redefined = 1;
        run.once_asked = 0;
    }
    nu_parm_set_proc_num(run.procedure_number);
    if (is_template_active()) {
        const proc_type_table& t = proc_type_registration();
        proc_template_read_managed(proc_nc_function(), t.put_parameters, t.put_geometry, t.read_parameters,
                                   run.define_enabled, status);
        if (status < 0) {
            proc_release(status);
            status = kCancel;
            return;
        }
    }
    if (run.criteria_check) run.solid_geometry = 1;
    if (run.define_enabled && run.clp1_pending) write_colour_and_pen();
    status = kGoOn;
}
