// updtcm, CURCOM, PRCPOS, GETPOS and tool_inst_show (see the header).
#include "driver/proc_common.hpp"

#include "driver/optimizer_list.hpp"
#include "driver/proc_run_state.hpp"
#include "host/vantu.hpp"
#include "listing/header_texts.hpp"
#include "listing/status_line.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"
#include "tools/tool_choice.hpp"
#include "tools/tool_utilities.hpp"

namespace {

using T = tool_position_state;
using H = tp_header_state;
using E = heights_state;

constexpr int kGlobals = 24, kMachineTableGroup = 23;
constexpr int kProcedureType = 12;
constexpr int kMarker = 9;
constexpr int kQueryInstance = -1, kPlainMove = 1;
constexpr int kAskDefault = 0;
constexpr int kNotProcedure = -1, kListError = -1;
constexpr int kJumpFailed = -1, kJumpUnmoved = -2;  // answers of tp_list_jump
constexpr int kMachineTableWord = 17;               // PRM9 word of machine-table item 47
constexpr int kParamSelector = 9, kParamKind = 4;
constexpr int kSonhWords = 9;

// ---- the item table of CURCOM ----------------------------------------------------------------

enum switch_group { kMachine, kMachineTable, kPosition, kHeights, kWire };
enum class block { npt1, dsp8, hei8, upw2 };

// One item of segment 24 and where it goes: count words from `first` of the block, or, for a
// flag, 1 into `first` when the item is 1, else 0. Text items may be absent (their target is
// kept); a numeric item that cannot be read is a list error.
struct common_item {
    switch_group group;
    int old_code, new_code;
    bool text;
    bool flag;
    block target;
    int first, count;
};

constexpr common_item kCommonItems[] = {
    {kMachine, 7, 8, false, false, block::npt1, H::kView, 1},
    {kMachine, 9, 10, false, false, block::npt1, H::kDepth, 1},
    {kMachine, 11, 13, false, false, block::npt1, H::kMacsysOrigin, 3},
    {kMachine, 12, 14, false, false, block::npt1, H::kHomePoint, 3},
    {kPosition, 5, 6, false, false, block::dsp8, T::kPosition, 3},
    {kPosition, 27, 28, false, false, block::dsp8, T::kAxis, 3},
    {kHeights, 36, 36, false, false, block::hei8, E::kClearance, E::kFieldWords},
    {kHeights, 37, 37, false, true, block::hei8, E::kClearancePlane, 1},
    {kHeights, 48, 48, true, true, block::hei8, E::kUseAbsolute, 1},
    {kHeights, 49, 49, true, false, block::hei8, E::kAbsolute, E::kFieldWords},
    {kHeights, 50, 50, true, false, block::hei8, E::kIncremental, E::kFieldWords},
    {kHeights, 129, 129, true, false, block::hei8, E::kClearanceMode2, 1},
    {kWire, 38, 38, false, false, block::upw2, 0, 1},
    {kWire, 39, 39, false, false, block::upw2, 1, 1},
};

word* block_words(block b)
{
    switch (b) {
    case block::npt1: return NPT1().words.data();
    case block::dsp8: return DSP8().words.data();
    case block::hei8: return HEI8().words.data();
    default: return UPW2().words.data();
    }
}

// Reads item (group, code) into values; a text item reads quietly.
bool read_item(int group, int code, bool text, word* values, int capacity)
{
    int count = 0, type = 0, status = 0;
    if (text)
        TPGETC(kWhereList, group, code, count, type, values, capacity, status);
    else
        TPGETN(kWhereList, group, code, count, type, values, capacity, status);
    return status >= 0;
}

bool take_item(const common_item& item, bool old_layout)
{
    word values[E::kFieldWords] = {};
    if (!read_item(kGlobals, old_layout ? item.old_code : item.new_code, item.text, values, item.count))
        return item.text;
    word* target = block_words(item.target) + item.first;
    if (item.flag)
        *target = values[0] == 1 ? 1 : 0;
    else
        std::copy_n(values, item.count, target);
    return true;
}

bool list_error()
{
    eroutc("CURCOM, ERROR IN LIST", 0);
    return false;
}

// The machine-table word of NPT1 (text item 47 of segment 23), then the host's current machine.
void machine_entity()
{
    word entity = 0;
    if (read_item(kMachineTableGroup, 47, true, &entity, 1) && entity > 0) NPT1().at(H::kMachineTable) = entity;
    curmac_sync(0, 0);
}

bool machine_table(bool machine)
{
    int length = 0, status = 0;
    RMCHTB(kWhereList, length, status);
    if (status < 0) return list_error();
    word& table_word = PRM9().words[kMachineTableWord];
    if (table_word == 0 && machine) table_word = NPT1().at(H::kMachineTable);
    return true;
}

bool versions()
{
    word version = 0, later = 0;
    if (!read_item(kGlobals, 43, false, &version, 1)) return list_error();
    if (read_item(kGlobals, 113, true, &later, 1) && later > 0) version = later;
    tp_vnum_set(version);
    return true;
}

// ---- positions ---------------------------------------------------------------------------------

bool at_procedure()
{
    int size = 0, type = 0, block_class = 0, status = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    return status >= 0 && type == kProcedureType;
}

bool read_point(int code, common_vec& p)
{
    word w[3] = {};
    if (!read_item(kGlobals, code, false, w, 3)) return false;
    for (int i = 0; i < 3; ++i) p[static_cast<std::size_t>(i)] = word_to_real(w[i]);
    return true;
}

// Gives the list position back to the marker on every way out of GETPOS.
struct marker_return {
    bool armed = false;
    int& status;
    ~marker_return()
    {
        if (!armed) return;
        int back = 0;
        tp_list_top_mark(kMarker, back);
        if (back < 0 && status >= 0) status = kListError;
    }
};

// Steps from the marked block one block at a time in the direction; at a procedure block takes
// its point (code) and axis, at a movement block its end point (backwards) or stops (forwards).
// found: 1 when a position was taken. False on a list error.
bool search(int step, int point_code, int axis_code, common_vec& point, common_vec& axis, int& found)
{
    found = 0;
    int lines = 0;
    llines(lines);
    // Each round moves one block: more rounds than lines cannot find anything.
    for (int round = 0; round < lines; ++round) {
        int jumped = 0;
        tp_list_jump(step, jumped);
        if (jumped == kJumpFailed) return false;
        if (jumped == kJumpUnmoved) return true;  // nothing before (or after) this block
        // Moved, possibly onto the first or last block of the level (answer 1): read it.
        int size = 0, type = 0, block_class = 0, status = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status < 0) return false;
        if (type == kProcedureType) {
            if (!read_point(point_code, point) || !read_point(axis_code, axis)) return false;
            found = 1;
            return true;
        }
        if (block_class == kClassMotion) {
            if (step > 0) return true;
            int number = 0;
            WENDPT(kWhereList, type, size, point, axis, number, status);
            if (status < 0) return false;
            found = 1;
            return true;
        }
    }
    return true;
}

// ---- updtcm ------------------------------------------------------------------------------------

// Global parameter code of the procedure: from the template (mode 1) or the list; fallback when
// the procedure has none.
int global_param(int mode, int code, int fallback)
{
    word value = 0;
    int count = 0, status = 0;
    if (mode == kCommonFromTemplate) {
        gs_param(kParamGetInteger, kParamOpenProcedure, kParamSelector, kParamKind, code, &value, 1, count, status);
        return status == 0 && count > 0 ? static_cast<int>(value) : fallback;
    }
    return read_item(kGlobals, code, true, &value, 1) ? static_cast<int>(value) : fallback;
}

void fill_edit_state(int caller, int procedure, int mode, int view_only, int suspend, int no_questions)
{
    edit_state& e = EDA2();
    const int state = global_param(mode, 44, 1);
    const int moved = global_param(mode, 35, 0);
    e.word_no(edit_state::kEditing) = 1;
    e.word_no(edit_state::kProcedureNumber) = procedure;
    e.word_no(3) = caller;
    e.word_no(edit_state::kToolPathMoved) = moved == 1 ? 1 : 0;
    e.word_no(edit_state::kViewOnly) = view_only;
    e.word_no(6) = global_param(mode, 45, -1);
    e.word_no(eda2::kWasSuspended) = state == 2 || state == 4 ? 1 : 0;
    e.word_no(eda2::kManuallyChanged) = global_param(mode, 21, 1) == 2 ? 1 : 0;
    e.word_no(9) = moved == 1 && global_param(mode, 119, 0) != 0 ? 1 : 0;
    e.word_no(eda2::kWasInterrupted) = state == 3 ? 1 : 0;
    e.word_no(eda2::kOptionWord) = global_param(mode, 31, 1) != 1 ? 1 : 0;
    e.word_no(edit_state::kNoQuestions) = no_questions;
    e.word_no(edit_state::kSuspend) = suspend;
    for (int n = eda2::kCriteriaChanged; n <= eda2::kWriteFailed; ++n) e.word_no(n) = 0;
}

void load_texts(int mode, int procedure, int& status)
{
    std::string text;
    proc_comment_field(kTextGet, procedure, text);
    state_text20_field(2, text);
    if (mode != kCommonFromTemplate) {
        gttext_c(kWhereList, procedure, kGlobals, kTableNameCode, text, status);
        if (status < 0) return;
        state_text12_field(2, text);
    }
    txt2_save(status);
}

}  // namespace

void CURCOM(int machine, int machine_table_switch, int position, int heights, int wire, int old_layout, int& status)
{
    status = 0;
    const bool on[] = {machine != 0, machine_table_switch != 0, position != 0, heights != 0, wire != 0};
    for (const common_item& item : kCommonItems) {
        if (!on[item.group]) continue;
        if (!take_item(item, old_layout != 0)) {
            list_error();
            status = kListError;
            return;
        }
    }
    if (on[kPosition]) DSP8().set_vec(T::kPrevAxis, DSP8().vec(T::kAxis));
    if (on[kHeights]) HEI8().at(E::kFurtherHeight) = HEI8().at(E::kClearance);
    if (on[kMachine]) machine_entity();
    if ((on[kMachineTable] && !machine_table(on[kMachine])) || (on[kHeights] && !versions())) {
        status = kListError;
        return;
    }
    word geometry_status = 0;
    if (read_item(kGlobals, 119, true, &geometry_status, 1)) set_ProcGeomStatus(geometry_status);
}

void PRCPOS(common_vec& first, common_vec& first_axis, common_vec& last, common_vec& last_axis, int& status)
{
    status = 0;
    if (!at_procedure()) {
        eroutc("PRCPOS, CURRENT BLOCK IS NOT A PROCEDURE DEFINITION BLOCK", 0);
        status = kNotProcedure;
        return;
    }
    if (!read_point(5, first) || !read_point(27, first_axis) || !read_point(6, last) || !read_point(28, last_axis)) {
        eroutc("PRCPOS,ERRORS IN LIST", 0);
        status = kListError;
    }
}

void GETPOS(common_vec& previous, common_vec& previous_axis, int& no_previous, common_vec& next, common_vec& next_axis,
            int& no_next, int& status)
{
    status = 0;
    if (!at_procedure()) {
        eroutc("GETPOS, THE CURRENT BLOCK IS NOT A PROCEDURE DEFINITION BLOCK", 0);
        status = kNotProcedure;
        return;
    }
    common_vec first{}, first_axis{}, last{}, last_axis{};
    PRCPOS(first, first_axis, last, last_axis, status);
    if (status < 0) return;
    int marked = 0;
    lmark(1, kMarker, marked);
    if (marked != 1) {
        eroutc("GETPOS, CANNOT SET A MARKER", 0);
        status = kListError;
        return;
    }
    bool listed = true;
    {
        marker_return back{true, status};
        int found = 0;
        listed = search(-1, 6, 28, previous, previous_axis, found);
        no_previous = found ? 0 : 1;
        if (!found) {
            const tp_header_state& n = NPT1();
            previous = {n.real(H::kHomePoint), n.real(H::kHomePoint + 1), n.real(H::kHomePoint + 2)};
            previous_axis = {0.0f, 0.0f, 1.0f};
        }
    }
    if (listed) {
        marker_return back{true, status};
        int found = 0;
        listed = search(1, 5, 27, next, next_axis, found);
        no_next = found ? 0 : 1;
    }
    if (!listed || status < 0) {
        eroutc("GETPOS, ERRORS IN LIST", 0);
        status = kListError;
    }
}

void updtcm(int caller, int reference, int procedure, int mode, int view_only, int suspend, int no_questions,
            int& status)
{
    (void)reference;
    status = 0;
    if (mode != kCommonFromTemplate) {
        CURCOM(1, 1, 0, 1, 1, 1, status);
        common_vec previous{}, previous_axis{}, next{}, next_axis{};
        int no_previous = 0, no_next = 0;
        if (status >= 0) GETPOS(previous, previous_axis, no_previous, next, next_axis, no_next, status);
        if (status < 0) return;
        tool_position_state& d = DSP8();
        d.set_vec(T::kPosition, previous);
        d.set_vec(T::kAxis, previous_axis);
        d.set_vec(T::kNormal, previous_axis);
        word function = 0;
        int count = 0, type = 0, read = 0;
        TPGETN(kWhereList, kGroupHead, kHeadProcType, count, type, &function, 1, read);
        if (view_only == 0 && function != 52 && function != 53) {
            int tool = PRM9().words[machine_params::kToolId];
            tool_inst_show(tool, previous, previous_axis, status);
            if (status < 0) return;
        }
    }
    load_texts(mode, procedure, status);
    if (status < 0) return;
    if (mode != kCommonFromTemplate) {
        word sonh[kSonhWords] = {};
        if (read_item(kGroupTopLevel, 1, true, sonh, kSonhWords)) mdptnc("SONH", 3, kSonhWords, sonh, status);
        if (status < 0) return;
    }
    push_nc_state_blocks();
    if (view_only == 0) status_show_machine(0);
    fill_edit_state(caller, procedure, mode, view_only, suspend, no_questions);
    mdptnc("EDA2", 3, EDA2().kWords, EDA2().words.data(), status);
    if (status < 0) return;
    std::string text;
    proc_status_text(procedure, text);
    state_texts(2, text);
    ppn4_save(status);
    if (status >= 0 && view_only == 0 && mode != kCommonFromTemplate) opt_params_read(status);
    if (status > 0) status = 0;
}

void tool_inst_show(int& tool_id, const common_vec& point, const common_vec& axis, int& status)
{
    status = 0;
    if (tool_id < 0) {
        tool_choose(kAskDefault, status);
        if (status != 0) return;
        tool_id = PRM9().words[machine_params::kToolId];
        TOLMOV(tm_inst_id(kQueryInstance), point, axis, kPlainMove);
        return;
    }
    tm_inst_delete();
    int instance = -1;
    DISPT1(tool_id, point, axis, instance);
    if (instance > 0) tm_inst_id(instance);
}
