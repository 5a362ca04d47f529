// The parameter relations glue (see the header): the shift of the Z-valued relations, the fetch of
// the main procedure's values and the modal tables.
#include "driver/relations.hpp"

#include "host/vantu.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/optimizer_params.hpp"
#include "toolpath/common_arguments.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_utilities.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kSubtract = 1;
constexpr int kMostTextChars = 40;
constexpr int kReadModeParameters = 1001;
constexpr int kHeightWords = heights_state::kFieldWords;
// The expression text of a height record follows its value word; word 23 holds the value type.
constexpr int kExpressionFirstWord = 1, kExpressionWords = 22;

// 10 to the power minus the fraction digits: the smallest difference the display shows.
double display_epsilon(int digits)
{
    double epsilon = 1.0;
    for (int i = 0; i < digits; ++i) epsilon *= 0.1;
    return epsilon;
}

// The value with the given fraction digits, at most 40 characters (empty when it does not fit).
std::string fixed_text(double value, int digits)
{
    char text[kMostTextChars + 8];
    const int length = std::snprintf(text, sizeof text, "%.*f", digits, value);
    if (length < 0 || length > kMostTextChars) return {};
    return text;
}

struct shift_row {
    int code;
    bool relation_split;  // shifted only while no relation exists for it
    bool relation_switches::*selected;
};

// The relations of relation_values_store in their order; 12 becomes 436 with the alternative.
constexpr shift_row kShiftRows[] = {
    {kRelTopShift1, false, &relation_switches::shift_3301}, {kRelTopShift2, false, &relation_switches::shift_3302},
    {kRelClearance, true, &relation_switches::shift_366},   {kRelAbsolute, true, &relation_switches::shift_3303},
    {kRel11, true, &relation_switches::shift_11},           {kRel12, true, &relation_switches::shift_12},
    {kRel205, true, &relation_switches::shift_205},
};

int shift_rows(int mode, double value, int rows)
{
    const relation_switches& s = rel_switches();
    for (int i = 0; i < rows; ++i) {
        const shift_row& row = kShiftRows[i];
        if (!(s.*row.selected)) continue;
        const int code = row.code == kRel12 && s.use_436 ? kRel436 : row.code;
        if (row.relation_split && rel_nc_if_relation_exist(code) != 0) continue;
        const int status = relation_expr_set(mode, code, value);
        if (status < 0) return status;
    }
    return 0;
}

// The value shown with the host's fraction digits and read back, so that the shift carries no
// more digits than the display. It is read back as a double: a single-precision read would lose
// digits of large heights.
double displayed_value(double value)
{
    const std::string text = fixed_text(value, get_general_fraction());
    return text.empty() ? value : std::atof(text.c_str());
}

// Selection of the shifted relations by machining type.
void select_by_machining_type(relation_switches& s)
{
    s.shift_3301 = s.shift_3302 = false;
    s.shift_366 = s.shift_3303 = true;
    s.shift_11 = s.shift_12 = s.use_436 = s.shift_205 = false;
    switch (machining_type()) {
    case 6:
    case 9: s.shift_11 = s.shift_12 = s.shift_205 = true; break;
    case 27: s.shift_11 = true; break;
    case 34:
    case 35: s.use_436 = s.shift_11 = s.shift_12 = true; break;
    case 12:
    case 13:
    case 38: s.shift_11 = s.shift_12 = true; break;
    default: break;
    }
}

// The expression text of a height record (its words after the value, up to the first NUL).
std::string height_expression(const heights_state& h, int first)
{
    std::string text;
    for (int i = 0; i < kExpressionWords; ++i) text += word_to_text4(h.at(first + kExpressionFirstWord + i));
    text = text.substr(0, text.find('\0'));
    const auto last = text.find_last_not_of(' ');
    return last == std::string::npos ? fixed_text(h.real(first), get_general_fraction()) : text.substr(0, last + 1);
}

std::span<word> height_words(int first) { return {&HEI8().at(first), static_cast<std::size_t>(kHeightWords)}; }

void fetch_clearance(int extended, int& status)
{
    heights_state& h = HEI8();
    get_ClearV_FromMain(height_words(heights_state::kClearance), status);
    if (status == 0) get_AbsclrV_FromMain(height_words(heights_state::kAbsolute), status);
    if (status == 0) get_IncclrV_FromMain(height_words(heights_state::kIncremental), status);
    if (status == 0)
        rel_nc_cng_expr_without_calc(kRelClearance, height_expression(h, heights_state::kClearance), status);
    if (status == 0) rel_nc_cng_expr_without_calc(kRelAbsolute, height_expression(h, heights_state::kAbsolute), status);
    if (status != 0) return;
    h.at(heights_state::kClearancePlane) = get_Onclr_FromMain();
    h.at(heights_state::kUseAbsolute) = get_Aiclr_FromMain();
    std::string text;
    get_Ctext_FromMain(text);
    state_text20_field(2, text);
    if (extended == 0) opt_params_defaults();
    get_OPT_PARAMS_FromMain(opt_params_current().words, status);
    if (status == 0) get_PLGmchtbl_PARAMS_FromMain(mch_table_ext().ext, status);
}

}  // namespace

relation_switches& rel_switches()
{
    static relation_switches s;
    return s;
}

int relation_expr_set(int mode, int code, double difference)
{
    const int digits = get_general_fraction();
    double current = 0.0;
    int status = 0;
    rel_nc_val_get(code, current, status);
    if (status != 0) return status;
    double changed = mode == kSubtract ? current - difference : current + difference;
    if (mode == kSubtract && std::fabs(changed) < 1.0 && std::fabs(changed) < display_epsilon(digits)) changed = 0.0;
    const std::string text = fixed_text(changed, digits);
    if (text.empty()) return -1;
    if (rel_switches().no_calc)
        rel_nc_cng_expr_without_calc(code, text, status);
    else
        rel_nc_cng_expr(code, text, status);
    rel_switches().last_status = status;
    return status;
}

int relation_values_store(int mode, double value)
{
    return shift_rows(mode, displayed_value(value), static_cast<int>(std::size(kShiftRows)));
}

int relation_value_text(int mode, double value)
{
    constexpr int kTopRows = 2;  // 3301 and 3302
    return shift_rows(mode, displayed_value(value), kTopRows);
}

void tmpl_morz_store()
{
    relation_switches& s = rel_switches();
    select_by_machining_type(s);
    const double difference = get_TmplMorZ() - NPT1().real(tp_header_state::kMacsysOrigin + 2);
    const bool kept = s.no_calc;
    s.no_calc = true;
    relation_values_store(kSubtract, difference);
    s.no_calc = kept;
}

void main_params_fetch(int& status)
{
    status = 0;
    const int extended = get_extflag();
    int use[kBlockUseSwitches] = {};
    init_BlockUseMode();
    get_Block_Filter_Array(use);
    update_BlockUseMode();
    if (use[kUseMachine] != 0) get_prmtbl_ptr_FromMain(PRM9().words, status);
    const int tool = get_Template_NewTool_ID();
    if (status == 0 && use[kUseTool] != 0 && tool > 0) {
        refresh_tool_state(tool, status);
        if (status == 0 && get_Template_ReadMode() != kReadModeParameters) rel_nc_update_tool_data();
    }
    const int ucs = get_Template_NewProcUcs_ID();
    if (status == 0 && use[kUseUcs] != 0 && ucs > 0) {
        NPT1().at(tp_header_state::kUcsId) = ucs;
        repos_proc_keep(0, 0, status);
    }
    if (status == 0 && use[kUseClearance] != 0) fetch_clearance(extended, status);
    tmpl_morz_store();
    int refreshed = 0;
    rel_nc_refresh_symb_tab(refreshed);
    if (status == 0) status = refreshed;
}

void modal_tables_init(int& status)
{
    nu_modl_init(kModalTableMachine, {}, status);
    if (status == 0) nu_modl_init(kModalTableTool, {}, status);
}

void modal_tables_release(int& status)
{
    int second = 0;
    nu_modl_rels(kModalTableMachine, status);
    nu_modl_rels(kModalTableTool, second);
    if (status == 0) status = second;
}
