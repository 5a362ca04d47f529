// End step (proc_end): every road that ends a run after its parameters were loaded comes through
// here. The procedure's colour and pen after a failure, the open sub-list, the created-procedures
// message, the parameter block saved as module data, the tool-present word, the NC state saved,
// and the run released. Reads and writes EDA2 and PRM9.
#include "driver/change_analysis.hpp"
#include "driver/nc_state_store.hpp"
#include "driver/proc_messages.hpp"
#include "driver/proc_module_data.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_steps.hpp"
#include "host/vantu.hpp"
#include "listing/status_line.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/tp_sublist.hpp"

namespace {

constexpr int kRestoreProc = 4;
constexpr int kManagedWrite = 2, kTemplateWrite = 5;
constexpr int kStatusWindow = 2;
constexpr int kToolPresent = 10;  // PRM9 word of machine-table item 9

// "PROCEDURE NUMBER" n "IS CREATED", or the range a creation run wrote; nothing after an
// execution of the run failed, whose errors the user has seen.
void report_created()
{
    const proc_run_state& run = proc_run;
    if (EDA2().word_no(edit_state::kEditing) != 0 || run.alert != 0 || run.stock != 0 || run.failed_executions != 0)
        return;
    word count = 0;
    int read = 0;
    mdgetn("NPRC", 3, 1, &count, read);
    const int now = read == 0 ? count : 0;
    proc_created_msg(run.first_block, next_block_number() - 1, now - run.count_at_start);
}

void save_parameters()
{
    int mode = kModuleDataSave, status = 0;
    proc_module_data(mode, proc_type_code(), proc_block_length(), proc_type_registration().current_block,
                     proc_type_registration().defaults, status);
    proc_run.parameters_loaded = 0;
}

}  // namespace

void proc_end(int& status)
{
    proc_run_state& run = proc_run;
    edit_state& e = EDA2();
    if (tamsa_flag_get() == 0 && e.word_no(edit_state::kViewOnly) == 0) prwait();
    const bool writing_template =
        get_ManageTp_TemplateFlag() == kManagedWrite || get_TP_TemplateFlag() == kTemplateWrite;
    if ((status < 0 || run.end_run) && !writing_template) {
        int colour = 0, pen = 0;
        gs_proc_color_pen(kRestoreProc, colour, pen);
        if (e.word_no(edit_state::kEditing) != 0) {
            e.word_no(eda2::kUpdateStored) = 0;
            e.word_no(eda2::kRecomputeStored) = 0;
        }
    }
    status_repaint(kStatusWindow);
    int list_status = 0;
    if (status < 0) ncs_table_read_table(list_status);
    if (run.sublist_open) {
        tp_sublist_close(list_status);
        run.sublist_open = 0;
    }
    report_created();
    save_parameters();
    if (run.machine_change && PRM9().words[kToolPresent] == 0) PRM9().words[kToolPresent] = run.tool_present_kept;
    if (run.change_result == kChangeOptimizeOnly) e.word_no(eda2::kOptimizerStopped) = 1;
    int save_status = 0;
    save_nc_state(save_status);
    proc_release(status);
}
