// The top lines of a procedure parameter dialog (see the header).
#include "driver/proc_top_menu.hpp"

#include "driver/proc_run_state.hpp"
#include "driver/relations.hpp"
#include "driver/stubs.hpp"
#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/optimizer_params.hpp"
#include "nc_services/proc_type_table.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "tools/tool_utilities.hpp"

#include <algorithm>
#include <string>

namespace {

constexpr int kGet = 1, kSet = 2;
constexpr int kShowAgain = 0, kLeave = 1;
constexpr int kCancel = -1, kBack = -2;
constexpr int kPageFlags = 20;
constexpr int kCriteriaTypes = 4;
constexpr int kOptimizerSwitch = 59, kOptimizerOn = 2, kOptimizerOff = 1;
constexpr int kNothingRead = 11, kNothingRead2 = 12;
constexpr int kLastDigitContin = 3;

int last_digit(int kind) { return kind % 10; }
bool with_machining(int kind) { return last_digit(kind) == 0 || last_digit(kind) == 2 || last_digit(kind) == 4; }
bool with_service(int kind) { return last_digit(kind) != 3 && last_digit(kind) != 5; }

bool criteria_changed()
{
    for (int type = 0; type < kCriteriaTypes; ++type) {
        int active = 0, changed = 0;
        active_mask_gs(kGet, type, active);
        crit_gs_change(kGet, type, changed);
        if (active != 0 && changed != 0) return true;
    }
    return false;
}

// The state letters of the label: criteria changed, suspended or interrupted; geometry not from
// solids; edited with a changed option word.
void mark_label()
{
    edit_state& e = EDA2();
    std::string label;
    state_texts(kGet, label);
    if (label.size() < 4) label.resize(4, ' ');
    const bool changed = criteria_changed();
    e.word_no(eda2::kCriteriaChanged) = changed ? 1 : 0;
    label[0] = changed ? 's' : e.word_no(eda2::kWasSuspended) ? 'S' : e.word_no(eda2::kWasInterrupted) ? 'I' : '-';
    label[1] = proc_run.solid_geometry == 0 ? 'G' : '-';
    label[3] = e.word_no(edit_state::kEditing) && e.word_no(eda2::kOptionWord) ? 'B' : '-';
    state_texts(kSet, label);
}

// The line of the next item placed.
int selectable(int& line, std::string_view text, int& value)
{
    modmc(text, value);
    return ++line;
}

void blank_line(int& line)
{
    modumc(" ", 0);
    ++line;
}

void template_lines(int base, int (&item_map)[kTopMenuItems], int& line)
{
    top_menu_state& t = top_menu();
    const int machine = NPT1().machine_type();
    int& none = t.unused_value;
    item_map[kTopTemplateApply] =
        selectable(line,
                   machine == 22 || machine == 23 || machine == 25 || machine == 26
                       ? "TEMPLATE:APPLY     -->@LOAD TECH PARAM@LOAD GEOM PARAM@LOAD ALL  PARAM"
                       : "TEMPLATE:APPLY",
                   machine == 22 || machine == 23 || machine == 25 || machine == 26 ? t.template_cycle : none);
    item_map[kTopTemplateSave] = selectable(line, "TEMPLATE:SAVE", none);
    if (base >= kTopNoOptimizer) {
        blank_line(line);
        return;
    }
    const bool on = opt_params_current().ival(kOptimizerSwitch) == kOptimizerOn;
    t.optimizer_cycle = on ? kOptimizerOn : kOptimizerOff;
    item_map[kTopUseOptimizer] = selectable(line, "USE OPTIMIZER : OFF  >@USE OPTIMIZER : ON   >", t.optimizer_cycle);
    if (on)
        item_map[kTopOptimizerPage] = selectable(line, "OPTIMIZER ...", none);
    else
        blank_line(line);
}

int service_kind(int machine)
{
    if (machine == 25 || machine == 26) return 2;
    if (machine == 12 || machine == 13) return 3;
    if (machine == 31) return 4;
    if (machine >= 61 && machine <= 79) return 5;
    return 1;
}

int current_tool() { return PRM9().words[machine_params::kToolId]; }

void machining_page(int kind, int (&machining)[kMachItemFlags], int& tool_changed)
{
    std::string text;
    state_text20_field(kGet, text);
    const int tool = current_tool();
    int no_display = EDA2().word_no(edit_state::kViewOnly), status = 0;
    mach_params_menu(no_display, machining, (kind / 10) % 10, status);
    if (current_tool() != tool) tool_changed = 1;
    state_text20_field(kSet, text);
}

void service_page()
{
    top_menu_state& t = top_menu();
    std::string label, text;
    state_texts(kGet, label);
    state_text20_field(kGet, text);
    edit_state& e = EDA2();
    t.service_items[3] = e.word_no(edit_state::kEditing);
    t.service_items[7] = e.word_no(edit_state::kViewOnly) == 0 ? 1 : 0;
    t.service_items[8] = e.word_no(edit_state::kEditing) && e.word_no(edit_state::kViewOnly) == 0 ? 1 : 0;
    int current_list = 1, no_display = e.word_no(edit_state::kViewOnly), kind = service_kind(NPT1().machine_type());
    int status = 0;
    service_menu(t.list_level, current_list, no_display, kind, t.service_items, t.service_options, status);
    state_texts(kSet, label);
    state_text20_field(kSet, text);
}

// The z of the tool-path origin: the relation values the template lines hand over.
double origin_height() { return NPT1().real(tp_header_state::kMacsysOrigin + 2); }

void template_apply(template_read_fn read_parameters, int& tool_changed)
{
    relation_values_store(2, origin_height());
    pct_ncpath_set_tpldir();
    tmpl_init_loadParam();
    load_from_tmpl_mode_set(top_menu().template_cycle);
    int status = 0;
    template_read_PROCparam(proc_nc_function(), read_parameters, status);
    if (status == 0) {
        const int tool = current_tool();
        main_params_fetch(status);
        if (current_tool() != tool) tool_changed = 1;
    } else if (status == kNothingRead || status == kNothingRead2) {
        relation_values_store(1, origin_height());
    }
    pct_ncpath_ret_curdir();
}

void template_save(template_put_fn put_parameters, template_put_fn put_geometry)
{
    relation_values_store(2, origin_height());
    set_display_proc_number(EDA2().word_no(edit_state::kProcedureNumber));
    pct_ncpath_set_tpldir();
    set_GlobalParameters_ToMain();
    int status = 0;
    template_write_PROCparam(proc_nc_function(), put_parameters, put_geometry, status);
    pct_ncpath_ret_curdir();
    relation_values_store(1, origin_height());
}

}  // namespace

top_menu_state& top_menu()
{
    static top_menu_state state;
    return state;
}

void proc_top_menu(int kind, int page_count, const int* flags, int (&item_map)[kTopMenuItems], int& item_count,
                   int& status)
{
    std::fill(std::begin(item_map), std::end(item_map), 0);
    const edit_state& e = EDA2();
    const bool view_only = e.word_no(edit_state::kViewOnly) != 0;
    const bool no_template = kind >= kTopNoTemplate;
    const int base = no_template ? kind - kTopNoTemplate : kind;
    const bool templates = !no_template && !view_only;
    int pages = std::abs(page_count) + (templates ? 1 : 0);
    if (flags) pages += static_cast<int>(std::count_if(flags, flags + kPageFlags, [](int f) { return f != 0; }));
    if (!view_only && e.word_no(edit_state::kNoQuestions) == 0) prcont();
    int mode = 0;
    begin_pick_mode(0, pages, mode, status);
    if (status < 0) return;
    mark_label();
    std::string label;
    state_texts(kGet, label);
    int number = e.word_no(edit_state::kProcedureNumber);
    if (e.word_no(edit_state::kEditing) == 0) get_tp_blkno(number);
    int line = 0;
    modumc(label + (if_geom_by_crit() != 0 ? "*" : "=") + std::to_string(number), 0);
    ++line;
    std::string text;
    state_text20_field(kGet, text);
    int& none = top_menu().unused_value;
    item_map[kTopFreeText] = selectable(line, text, none);
    const int digit = last_digit(base);
    if (digit == 1) {
        modumc("AUTO MACHINE PARAM ..", 0);
        ++line;
    } else if (digit == 3 || digit == 5) {
        blank_line(line);
    } else {
        item_map[kTopMachining] = selectable(line, "MACHINING PARAMS ...", none);
    }
    if (digit == 3)
        blank_line(line);
    else
        item_map[kTopService] = selectable(line, "SERVICE ...", none);
    if (templates) template_lines(base, item_map, line);
    item_count = line;
    status = 0;
}

void proc_top_menu_do(int kind, int previous, int (&machining)[kMachItemFlags], const int (&item_map)[kTopMenuItems],
                      template_put_fn put_parameters, template_put_fn put_geometry, template_read_fn read_parameters,
                      int& answer, int& tool_changed, int& redisplay)
{
    table_minmax_error_check_msg(2);
    partbox_not_calculated_msg(2);
    const int modal = nu_mod_get_flag();
    tool_changed = 0;
    redisplay = kLeave;
    const edit_state& e = EDA2();
    const bool editing = e.word_no(edit_state::kEditing) != 0;
    const int base = kind >= kTopNoTemplate ? kind - kTopNoTemplate : kind;
    if (e.word_no(edit_state::kNoQuestions) != 0) {
        answer = previous != 0 ? kCancel : 0;
    } else if (modal != 0 || e.word_no(edit_state::kViewOnly) != 0) {
        if (modal != 0)
            nu_parm_write_mch_title();
        else
            modif1(answer);
        if (with_machining(base)) machining_page(base, machining, tool_changed);
        if (with_service(base)) service_page();
        answer = kCancel;
    } else {
        if (last_digit(base) == kLastDigitContin && editing)
            contin(answer);
        else
            modif1(answer);
        if (answer == kBack && editing) answer = kCancel;
        if (answer > 0) {
            if (answer == item_map[kTopFreeText]) {
                int status = 0;
                edit_txt2_text(status);
                redisplay = kShowAgain;
            } else if (answer == item_map[kTopMachining] && with_machining(base)) {
                machining_page(base, machining, tool_changed);
                redisplay = kShowAgain;
            } else if (answer == item_map[kTopService] && last_digit(base) != 3) {
                service_page();
                redisplay = kShowAgain;
            } else if (answer == item_map[kTopTemplateApply]) {
                template_apply(read_parameters, tool_changed);
                redisplay = kShowAgain;
            } else if (answer == item_map[kTopTemplateSave]) {
                template_save(put_parameters, put_geometry);
                redisplay = kShowAgain;
            } else if (answer == item_map[kTopUseOptimizer]) {
                opt_params_current().set_ival(
                    kOptimizerSwitch, top_menu().optimizer_cycle == kOptimizerOff ? kOptimizerOff : kOptimizerOn);
                redisplay = -redisplay;
            } else if (answer == item_map[kTopOptimizerPage]) {
                int status = 0;
                INIT2_OPTIMIZE(status);
                redisplay = kShowAgain;
            }
        }
    }
    if (answer == 0) {
        relation_value_text(2, origin_height());
        recalculate_partbox();
        relation_value_text(1, origin_height());
    }
    if (tool_changed != 0) rel_nc_min_srfoff_set();
}
