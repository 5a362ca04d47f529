// Moved check (proc_check_moved): opens every procedure of the run. The optimizer block's previous
// copy, the relation symbols, the NC texts, the list cursor and the status line, the moved
// warning, the solid table carried over from the previous procedure, and the change snapshot;
// beside it the start values of the procedure geometry flags, which the go-point page gives too.
// Reads EDA2 and the state texts.
#include "driver/change_analysis.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"
#include "driver/txt2_texts.hpp"
#include "host/vantu.hpp"
#include "listing/status_line.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/optimizer_params.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "toolpath/proc_flags.hpp"

namespace {

constexpr int kStatusWindow = 2;
constexpr int kNameColumn = 11, kNameChars = 8;

// The previous procedure's solid table goes to this one.
void carry_solid_table(int& status)
{
    int previous = 0;
    ncs_table_get_proc_num(previous, status);
    if (status < 0) return;
    ncs_table_copy_proc(previous, proc_run.cursor_procedure, status);
    if (status < 0) return;
    ncs_table_set_proc_num(proc_run.cursor_procedure, status);
}

void show_label()
{
    std::string label;
    state_texts(kTextGet, label);
    label.resize(kNameColumn + kNameChars, ' ');
    status_show_label_int(kStatusWindow, std::string_view(label).substr(kNameColumn, kNameChars),
                          proc_run.cursor_procedure);
    MUTBLN(kStatusWindow, 0);
}

}  // namespace

void proc_check_moved(int& status)
{
    proc_run_state& run = proc_run;
    const edit_state& e = EDA2();
    opt_params_previous() = opt_params_current();
    run.missing_marker = 0;
    run.change_result = 0;
    rel_refresh_retry(status);

    const bool editing = e.word_no(edit_state::kEditing) != 0;
    txt2_read(editing ? 1 : 0);
    run.cursor_block = next_block_number();
    if (!editing) {
        run.cursor_procedure = run.cursor_block;
        proc_geom_flags_start(status);
    }
    if (e.word_no(edit_state::kViewOnly) == 0) show_label();
    run.back = 0;
    run.geometry_redefined = 0;
    run.end_run = 0;
    if (e.word_no(edit_state::kToolPathMoved) != 0 && e.word_no(edit_state::kViewOnly) == 0)
        userrc("WARNING: TOOL PATH WAS MOVED. GEOMETRY IS NOT UPDATED.");
    ncs_table_write_table(0, 0, 0, status);

    if (run.repeat) {
        carry_solid_table(status);
        if (status < 0) {
            proc_release(status);
            status = kCancel;
            return;
        }
    }
    if (!run.criteria_check) {
        int recompute = 0, update = 0, callback_status = 0, result = 0;
        proc_change_analysis(kChangeSnapshot, proc_block_length(), proc_type_registration().current_block,
                             proc_type_registration().parameters_changed, proc_type_registration().previous_block,
                             recompute, update, callback_status, result);
    }
    run.clp1_pending = 1;
    status = kGoOn;
}

void proc_geom_flags_start(int& status)
{
    proc_geometry().geometry[0] = -1;
    proc_geometry().geometry[1] = 1;
    flags_reset(status);
}
