// Start step (proc_start): opens the run once. The run words and the host modes, the procedure
// label, the NC state and the tool path (proc_geom_start), the parameter translations, the
// parameter block, and for an edited procedure its flags, geometry and parameters. A failing
// start action releases the run (nothing was saved yet) and cancels. Reads and writes EDA2, PRM9
// and the state texts.
#include "driver/criteria_lists.hpp"
#include "driver/param_translations.hpp"
#include "driver/proc_read_existing.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"
#include "driver/relations.hpp"
#include "host/vantu.hpp"
#include "nc_services/fnc_names.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/optimizer_params.hpp"
#include "toolpath/common_arguments.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/tp_list_access.hpp"

#include <vector>

namespace {

constexpr int kGet = 1, kSet = 2;
constexpr int kManagedWrite = 2, kManagedCreate = 3, kTemplateWrite = 5;
constexpr int kToolPresent = 10;  // PRM9 word of machine-table item 9
constexpr int kLabelChars = 19, kNameColumn = 11, kNameChars = 8, kNameText = 12;
constexpr int kCriteriaTypes = 4;
constexpr int kNoProcedure = -1;
constexpr int kReadContours = 1;
constexpr int kPromptGroup = 319, kPromptReading = 40;
constexpr int kMarkGeometry = 1;

bool failed(int status) { return status < 0; }

// Steps 1 to 6: run words, host modes, label, relations, stock, optimizer, the kept PRM9 word.
void open_run_words(int nc_function)
{
    proc_run = proc_run_state{};
    proc_run_state& run = proc_run;
    run.procedure_number = kNoProcedure;
    run.clp1_pending = 1;
    run.once_ask = 1;
    run.first_store = 1;
    run.template_create = get_ManageTp_TemplateFlag() == kManagedCreate || is_create_from_TPtemplate() ? 1 : 0;
    run.template_write = get_ManageTp_TemplateFlag() == kManagedWrite || get_TP_TemplateFlag() == kTemplateWrite;
    chk_crit_gs(kGet, run.criteria_check);
    tp_crit_list_gs(kGet, run.criteria_list);

    std::string label = "-----";
    label.resize(kLabelChars, ' ');
    state_texts(kSet, label);
    int status = 0;
    modal_tables_init(status);
    rel_nc_init();

    run.stock = get_disp_stock() == 0 ? 1 : 0;
    sim_get_set(1, run.stock);
    run.optimizer = nc_function == 52 || nc_function == 53 ? 1 : 0;
    if (run.optimizer) opt_params_defaults();

    std::vector<word> prm9(machine_params::kWords, 0);
    mdgetc("PRM9", machine_params::kWords, prm9.data(), status);
    run.tool_present_kept = status == 0 ? prm9[kToolPresent] : 0;
    nc_geomsk_lst_init_all();
}

// The procedure type's translations, the two common lists, then the host sorts the table.
void register_all_translations(int& status)
{
    proc_type_registration().translations(status);
    if (failed(status)) return;
    nc_trns_register2(status);
    if (failed(status)) return;
    nc_trns_register(status);
    if (failed(status)) return;
    nu_trns_sort(status);
}

// The NC function's name into the label from column 12 on; the host shows the label.
void label_with_function_name(int nc_function)
{
    std::string label, name, text;
    state_texts(kTextGet, label);
    get_nc_function_name(nc_function, name);
    mktxtc(name, kNameText, text);
    label.resize(kLabelChars, ' ');
    label.replace(kNameColumn, std::min<std::size_t>(text.size(), kNameChars), text.substr(0, kNameChars));
    state_texts(kSet, label);
    nu_set_pname(label);
}

// A creation run remembers where it starts and says what it does.
void start_creation(int& status)
{
    proc_run_state& run = proc_run;
    run.first_block = next_block_number();
    word count = 0;
    int read = 0;
    mdgetn("NPRC", 3, 1, &count, read);
    run.count_at_start = read == 0 ? count : 0;
    std::string label;
    state_texts(kTextGet, label);
    label.resize(kLabelChars, ' ');
    usrer5("CREATING", label.substr(kNameColumn, kNameChars), "PROCEDURES", 8, kNameChars, 10);
    shmsgc(" ");
    ncs_table_set_proc_num(run.first_block, status);
}

// For a procedure viewed from the host's procedure manager: its geometry entities mark
// the flag globals by their kinds.
void mark_host_geometry(int proc_id, int& status)
{
    std::vector<int> ids;
    get_geom_buf(proc_id, ids, status);
    if (failed(status)) return;
    geom_pair_words& pairs = proc_flags().pairs;
    geom_pairs_init(pairs);
    for (int id : ids) {
        int kind = 0;
        get_geom_type(id, kind, status);
        if (failed(status)) return;
        geom_flag_update(kMarkGeometry, kind, id, pairs);
    }
}

// Steps 17 and 18: the flags, geometry and parameters of the procedure being edited.
void open_edited(int nc_function, int& status)
{
    edit_state& e = EDA2();
    ncs_table_set_proc_num(e.word_no(edit_state::kProcedureNumber), status);
    if (failed(status)) return;
    ppn4_load();
    int proc_id = -1;
    if (e.word_no(edit_state::kViewOnly) != 0) gs_proc_id(1, proc_id);
    if (proc_id >= 1)
        mark_host_geometry(proc_id, status);
    else
        proc_flags_read(status);
    if (failed(status)) return;

    proc_read_existing(proc_type_registration().read_parameters, e.word_no(edit_state::kNoQuestions),
                       proc_run.old_version, status);
    if (failed(status)) return;
    const proc_run_state& run = proc_run;
    if (e.word_no(edit_state::kToolPathMoved) == 0 && !run.template_write && !run.criteria_check &&
        !run.criteria_list) {
        if (e.word_no(edit_state::kViewOnly) == 0) msg_prompt(kPromptGroup, kPromptReading);
        int mode = kReadContours, scratch1 = 0, scratch2 = 0;
        proc_type_registration().contour_records(mode, scratch1, scratch2, status);
        if (failed(status)) return;
    }
    crit_activate(nc_function, 1, e.word_no(eda2::kCriteriaChanged));
    status = 0;
}

// A start action failed: nothing was saved, so the run is only released.
void fail_start(int& status)
{
    int release_status = status;
    proc_release(release_status);
    status = kCancel;
}

}  // namespace

int next_block_number()
{
    int number = 0;
    get_tp_blkno(number);
    return number;
}

void proc_start(int restart, int& status)
{
    const int nc_function = proc_nc_function();
    open_run_words(nc_function);
    proc_run_state& run = proc_run;
    const edit_state& e = EDA2();

    proc_geom_start(nc_function, run.mach_param_type, run.interactive, status);
    if (failed(status)) return fail_start(status);
    run.run_machining_type = machining_type();
    if (restart == 0 && e.word_no(edit_state::kEditing) == 0 && !run.template_create) {
        int ignored = 0;
        repos_proc_keep(0, 1, ignored);
    }
    run.machine_change = PRM9().words[kToolPresent] != run.tool_present_kept ? 1 : 0;

    register_all_translations(status);
    if (failed(status)) return fail_start(status);
    proc_can_solid_flags(1, nc_function);
    label_with_function_name(nc_function);

    proc_template_read(run.template_create, nc_function, proc_type_code(), proc_block_length(),
                       proc_type_registration().current_block, proc_type_registration().read_parameters,
                       proc_type_registration().defaults, status);
    if (failed(status)) return fail_start(status);
    run.parameters_loaded = 1;
    run.view_only_at_start = e.word_no(edit_state::kViewOnly);

    for (int type = 0; type < kCriteriaTypes; ++type) {
        int off = 0;
        crit_gs_change(kSet, type, off);
        active_mask_gs(kSet, type, off);
    }
    const bool editing = e.word_no(edit_state::kEditing) != 0;
    set_curr_proc_number(editing ? e.word_no(edit_state::kProcedureNumber) : next_block_number());
    set_MainProcBlkToMain();

    if (editing)
        open_edited(nc_function, status);
    else
        start_creation(status);
    if (failed(status)) return fail_start(status);
    status = kGoOn;

    if (run.criteria_list) {
        proc_criteria_list(nc_function, 0, status);
        proc_end(status);
        status = kCancel;
        return;
    }
    int jumped = 0;
    if (e.word_no(edit_state::kViewOnly) == 0) tp_list_jump(-1, jumped);
    if (failed(jumped)) return fail_start(status);
    run.procedure_number = e.word_no(edit_state::kProcedureNumber);
    run.cursor_procedure = run.procedure_number;
    status = kGoOn;
}
