// The manual editor loop: the start of a call, the top of the editor (entered again after each
// completed edit), the menu cycles and the end of a call. The menu has four columns; a choice is
// its place counted over all of them. Reads NPT1 (machine type, origin Z) and DSP8; writes the
// cursor words, TLER (restored) and "MEDZ".
#include "edit/manedt.hpp"

#include "edit/edit_ref_params.hpp"
#include "edit/edit_service_menu.hpp"
#include "edit/editor/cursor_list.hpp"
#include "edit/editor/cursor_moves.hpp"
#include "edit/editor/edit_operations.hpp"
#include "edit/editor/list_utilities.hpp"
#include "edit/trim/trig_cache.hpp"
#include "edit/trim/trim_state.hpp"
#include "edit/trim/trim_tp.hpp"
#include "host/vantu.hpp"
#include "listing/dspblk_draw.hpp"
#include "listing/dsproc.hpp"
#include "listing/live_display.hpp"
#include "listing/status_line.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/exec_control.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_type_table.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/exec_break_menu.hpp"
#include "toolpath/proc_block_update.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"

#include <limits>
#include <string>

namespace {

constexpr int kErrorReported = -3;
constexpr float kDefaultDelay = 0.001f;
constexpr float kMaxDelay = 10.0f;
constexpr int kMaxCount = 9999, kMaxBlock = 999999;
constexpr float kMaxHeight = 9999.0f;
constexpr int kMenuLayout = 5, kStatusWindow = 2;
constexpr int kCatalogue = 317, kPickPrompt = 20, kSurfaceWarning = 36;
constexpr int kPointMode = 18;
constexpr int kExitColour = -1, kMenuColour = -2;

// Menu lines, counted over the four columns.
enum menu_line : int {
    kMoveTool = 1,
    kDelete,
    kDeleteToEnd,
    kAlterations,
    kService,
    kMachParams,
    kJumpEntry,
    kForward,
    kBackward,
    kToolEntry = 12,
    kBlockField,
    kSecondField,
    kCountField,
    kStepEntry,
    kShowEntry,
    kBlankOpt,
    kExit = 24,
};
constexpr int kConfirm = 0, kGoOn = -1, kLeave = -2, kShowAgain = -3;

constexpr const char* kJumpsWithLayer = "JUMP START  >@JUMP END    >@JUMP LAYER/Z>@JUMP BLOCK  >";
constexpr const char* kJumpsPlain = "JUMP START  >@JUMP END    >@JUMP BLOCK  >";
constexpr const char* kToolEntries = "TOOL:DISPLAY>@TOOL:TRACE  >@TOOL:NO DISP>";
constexpr const char* kBlankOptions = "BLANK OPT.  >@BLANK ALL@BLANK 2STRT@BLANK 2END@UNBLANK ALL";

// How a dispatch leaves the cycle.
enum class next { cycle, top, end, error };

struct editor_session {
    int procedure = -1;
    edit_perm perm{};
    bool proc_mode = false;
    int start_at_end = 0;
    int blank_on_exit = 0;
    int* caller_changed = nullptr;

    bool alterations_possible = false;
    bool tables_opened = false;
    int kept_tler = 0;
    bool changed = false, layer_changed = false, mark_refresh = false, fresh = true;
    int sublist_opened = 0;
    int tool_choice = 1;
    int prev_step_unit = kStepBlock, prev_jump_kind = kJumpBlock, prev_show_mode = kShowAll;
    bool show_mode_kept = false;
    int edit_mode = kEditMoveTool;
    blk_path current, anchor;
    int block_type = 0;
    float delay = kDefaultDelay;
    int saved_tool_mode = -1, saved_tler = -1;
    bool layer_moved = false;       // JUMP LAYER/Z moved to the shown Z in this row of cycles
    bool moved_since_trim = false;  // a move or an indication since the last trimming
    int final_status = 0;

    // Values of the menu lines (the page writes the user's entries into them).
    int line_value = 0, jump_value = 1, count = 1, step_value = 1, show_value = 1, blank_value = 1, block_field = 1;
    float second_field = 0.0f;
    bool second_is_z = false, second_is_delay = false;
    int show_local = 1;
    bool switched_to_step2 = false;
};

list_cursor_state& cursor() { return list_cursor(); }
int& tler() { return TLER().at(tool_display_state::kMode); }
bool layer_markers() { return cursor().cursor_mrkr_code == kMarkerLayerClose; }
bool pass_markers() { return cursor().cursor_mrkr_code == kMarkerPassClose; }
bool any_markers() { return layer_markers() || pass_markers(); }
int perm_word(const editor_session& s, int n) { return s.perm[static_cast<std::size_t>(n - 1)]; }
float origin_z() { return NPT1().real(tp_header_state::kMacsysOrigin + 2); }

void report_error(int& status)
{
    eroutc("manedt,ERRORS IN LIST", 0);
    status = kErrorReported;
}

ncd_address whole_procedure() { return {1, cursor().cursor_proc_blkno, 0}; }

void blank_procedure(int flag)
{
    int status = 0;
    ncd_set_block_or_proc_blank(kCurrentDisplayFile, whole_procedure(), flag, status);
}

void clear_procedure_marks()
{
    int status = 0;
    ncd_set_block_or_proc_attn(kCurrentDisplayFile, whole_procedure(), 0, status);
}

void unmark(const blk_path& path)
{
    if (path.names_block()) ncd_set_blocks_attention(kCurrentDisplayFile, path.address(), path.address(), 0);
}

void blank_first_to_last(int flag)
{
    const list_cursor_state& c = cursor();
    if (!c.cursor_first_path.names_block() || !c.cursor_last_path.names_block()) return;
    ncd_set_blocks_blank(kCurrentDisplayFile, c.cursor_first_path.address(), c.cursor_last_path.address(), flag);
}

// The tool's position and axis as the call finds them: the deletions move the current position
// to the gaps they close, and mnedup puts it back from this copy.
void keep_start_position()
{
    const auto position = DSP8().position(), axis = DSP8().axis();
    list_cursor().start_copy = {position[0], position[1], position[2], axis[0], axis[1], axis[2]};
}

void read_delay(editor_session& s)
{
    word value = real_to_word(s.delay);
    int status = 0;
    mdgetc("MEDZ", 1, &value, status);
    if (status == 0) s.delay = word_to_real(value);
}

void write_delay(const editor_session& s)
{
    const word value = real_to_word(s.delay);
    int status = 0;
    mdputc("MEDZ", 1, &value, status);
}

// A procedure opened by its number is shown in its own colour and pen: the block display draws
// what follows in them (line font 4, as the procedure block's own display attributes are set).
void take_procedure_colour()
{
    constexpr int kReadProcedure = 1, kProcedureFont = 4;
    int colour = 0, pen = 0;
    gs_proc_color_pen(kReadProcedure, colour, pen);
    tool_position_state& p = DSP8();
    p.at(tool_position_state::kLineFont) = kProcedureFont;
    p.at(tool_position_state::kColour) = colour;
    p.at(tool_position_state::kPen) = pen;
}

bool open_module_tables(editor_session& s)
{
    int did = 0;
    nu_modl_get_did_init(1, did);
    if (did) return true;
    int status = 0;
    nu_modl_init(1, {}, status);
    if (status == 0) nu_modl_init(2, {}, status);
    if (status != 0) return false;
    s.tables_opened = true;
    return true;
}

// The tool instance is drawn with the current tool at the current position when none is shown.
void ensure_tool_instance()
{
    if (tm_inst_id(-1) < 0) draw_tool_at_current();
}

// ---- start and top of the editor --------------------------------------------------------------

// The procedure the cursor works in: in procedure-number mode the procedure block the list stands
// on, whose movement sub-list is opened; otherwise the procedure being written, whose sub-list is
// open already.
bool enter_procedure(editor_session& s, int& status)
{
    list_cursor_state& c = cursor();
    if (!s.proc_mode) {
        c.cursor_proc_blkno = BLSK().words[1];
        c.cursor_fn_code = proc_nc_function();
        return true;
    }
    c.proc_number = s.procedure;
    if (!s.sublist_opened) {
        cursor_block block;
        int number = 0;
        cursor_read(block, status);
        if (status >= 0) cursor_number(number, status);
        if (status < 0) return false;
        c.cursor_proc_blkno = number;
        int count = 0, type = 0;
        word function = 0;
        TPGETN(kWhereList, 32, 34, count, type, &function, 1, status);
        c.cursor_fn_code = status == 0 ? function : 0;
        edit_ref_params_load(c.proc_number, status);
        if (status < 0) return false;
        open_proc_movmnt(2, status);
        if (status < 0) return false;
        s.sublist_opened = 1;
        // The sub-list opens at its end; the search for a motion goes forward from its first block.
        int answer = 0;
        lacces(2, answer);
    }
    return true;
}

void show_state_name(const editor_session& s)
{
    if (!s.proc_mode) return;
    word name[5]{};
    int status = 0;
    mdgetc("PPN4", 5, name, status);
    if (status != 0) return;
    std::string text(reinterpret_cast<const char*>(name), sizeof name);
    status_show_text8(kStatusWindow, text.substr(11, 8), cursor().proc_number);
    if (proc_is_surface_kind(0) && (perm_word(s, 1) || perm_word(s, 2)) && proc_table_flags_surface(s.procedure))
        msg_mdls(kCatalogue, kSurfaceWarning);
}

// After the top and after each operation that returns to the menu.
void back_to_menu(editor_session& s)
{
    s.edit_mode = kEditMoveTool;
    s.anchor.set(cursor().cursor_proc_blkno, -1);
    if (!s.mark_refresh) return;
    int status = 0;
    find_first_last_motion(status);
    blank_procedure(0);
    cursor().cursor_show_mode = kShowAll;
    s.mark_refresh = false;
}

// The top of the editor. Answers next::cycle to run the menu, next::end for a NOTE ending.
next editor_top(editor_session& s, int& status)
{
    if (!enter_procedure(s, status)) return next::error;
    if (s.fresh) show_state_name(s);
    int lines = 0;
    llines(lines);
    if (lines < 1) {
        userrc("NOTE: PROCEDURE LIST IS EMPTY");
        return next::end;
    }
    int not_found = 1;
    tp_marker_find(s.proc_mode ? 1 : 2, not_found, status);
    if (status < 0) return next::error;
    if (not_found) {
        userrc("NOTE: NO MOVEMENTS IN PROCEDURE LIST");
        return next::end;
    }
    edit_cursor_init(s.proc_mode ? 1 : 0, s.start_at_end, status);
    if (status < 0) return next::error;
    if (!s.fresh && s.show_mode_kept) {
        cursor().cursor_show_mode = s.prev_show_mode;
    } else if (s.fresh && s.blank_on_exit) {
        cursor().cursor_shown_first = cursor().cursor_shown_last = -1;
        cursor().cursor_show_mode = kShowBlock;
    }
    s.fresh = false;
    s.current.set(cursor().cursor_proc_blkno, -1);
    edit_move_cursor(-1, -1, s.edit_mode, s.current, s.block_type, kNoDelay, kNoHeight, status);
    if (status < 0) return next::error;
    back_to_menu(s);
    return next::cycle;
}

// ---- the menu -------------------------------------------------------------------------------

void blank_line() { modumc(" ", 0); }

void offered(bool offer, const char* text, bool marked, editor_session& s)
{
    if (offer)
        modmc2(text, s.line_value, marked ? 1 : 0);
    else
        blank_line();
}

void column_one(editor_session& s)
{
    modmc2("MOVE TOOL", s.line_value, s.edit_mode == kEditMoveTool ? 1 : 0);
    offered(perm_word(s, 1) != 0, "DELETE", s.edit_mode == kEditDelete, s);
    offered(perm_word(s, 2) != 0, "DELETE TO END", false, s);
    const bool service = perm_word(s, 2) && perm_word(s, 3);
    offered(service && s.alterations_possible, "ALTERATIONS", false, s);
    offered(service, "SERVICE", false, s);
    offered(perm_word(s, 5) != 0, "MACH.PARAMS", false, s);
    modcls();
}

void column_two(editor_session& s)
{
    list_cursor_state& c = cursor();
    bool jump_marked = c.cursor_dir == kDirJump;
    if (layer_markers() && c.cursor_step_unit == kStepBlock && s.prev_step_unit == kStepLayer &&
        c.cursor_jump_kind == kJumpLayerZ) {
        c.cursor_jump_kind = kJumpBlock;
        c.cursor_dir = kDirForward;
        jump_marked = false;
    }
    if (layer_markers()) {
        s.jump_value = c.cursor_jump_kind;
        modmc2(kJumpsWithLayer, s.jump_value, jump_marked ? 1 : 0);
    } else {
        s.jump_value = c.cursor_jump_kind == kJumpBlock ? 3 : c.cursor_jump_kind;
        modmc2(kJumpsPlain, s.jump_value, jump_marked ? 1 : 0);
    }
    modmc2("FORWARD", s.line_value, c.cursor_dir == kDirForward ? 1 : 0);
    modmc2("BACKWARD", s.line_value, c.cursor_dir == kDirBackward ? 1 : 0);
    blank_line();
    blank_line();
    modmc2(kToolEntries, s.tool_choice, c.cursor_dir == kDirForward ? 1 : 0);
    modcls();
}

const char* block_label(int type)
{
    if (type == 3 || type == 23 || type == 223) return "C:BLK";
    if (type == 5) return "S:BLK";
    return "L:BLK";
}

void second_field(editor_session& s)
{
    list_cursor_state& c = cursor();
    const bool jump_layer = c.cursor_dir == kDirJump && c.cursor_jump_kind == kJumpLayerZ;
    s.second_is_z = s.second_is_delay = false;
    s.second_field = shown_height(c.cursor_layer_z);
    if (jump_layer) {
        s.second_is_z = true;
        modrc2("Z", s.second_field, -kMaxHeight, kMaxHeight, 1);
    } else if (layer_markers() && c.cursor_step_unit == kStepLayer && c.cursor_show_mode == kShowLayer) {
        s.second_is_z = true;
        constexpr float kUnlimited = std::numeric_limits<float>::max();
        modrc2("Z", s.second_field, -kUnlimited, kUnlimited, 0);
    } else if (pass_markers() && c.cursor_step_unit == kStepLayer) {
        blank_line();
    } else {
        s.second_is_delay = true;
        s.second_field = s.delay;
        modrc2("DELAY", s.second_field, 0.0f, kMaxDelay, c.cursor_dir != kDirJump ? 1 : 0);
    }
}

void step_entry(editor_session& s)
{
    list_cursor_state& c = cursor();
    const int marked = c.cursor_dir != kDirJump ? 1 : 0;
    if (!any_markers()) {
        c.cursor_step_unit = kStepBlock;
        s.step_value = 1;
        modmc2("BLOCK STEP", s.step_value, marked);
        return;
    }
    if (layer_markers() && c.cursor_dir == kDirJump && c.cursor_jump_kind == kJumpLayerZ)
        c.cursor_step_unit = kStepLayer;
    s.step_value = c.cursor_step_unit;
    modmc2(layer_markers() ? "BLOCK STEP  >@LAYER STEP  >" : "BLOCK STEP  >@PASS STEP   >", s.step_value, marked);
}

void show_entry(editor_session& s, bool jump_layer_new)
{
    list_cursor_state& c = cursor();
    if (c.cursor_dir == kDirJump && c.cursor_jump_kind == kJumpLayerZ && c.cursor_show_mode == kShowBlock)
        c.cursor_show_mode = kShowLayer;
    if (!any_markers()) {
        s.show_value = c.cursor_show_mode == kShowAll ? 1 : 2;
        modmc2("SHOW ALL    >@SHOW BLOCK  >", s.show_value, 1);
        return;
    }
    if (c.cursor_step_unit == kStepBlock) {
        s.show_value = c.cursor_show_mode;
        modmc2(layer_markers() ? "SHOW ALL    >@SHOW BLOCK  >@SHOW LAYER  >"
                               : "SHOW ALL    >@SHOW BLOCK  >@SHOW PASS   >",
               s.show_value, 1);
        return;
    }
    s.show_local = c.cursor_show_mode == kShowAll && !jump_layer_new && !s.switched_to_step2 ? 1 : 2;
    s.show_value = s.show_local;
    modmc2(layer_markers() ? "SHOW ALL    >@SHOW LAYER  >" : "SHOW ALL    >@SHOW PASS   >", s.show_value, 1);
}

bool build_menu(editor_session& s, bool jump_layer_new, int& status)
{
    modint_third_layout(kMenuLayout, status);
    if (status < 0) return false;
    list_cursor_state& c = cursor();
    c.cursor_blank_opt = 1;
    column_one(s);
    column_two(s);
    s.block_field = s.current.names_block() ? s.current.block() : 1;
    const bool jump_block = c.cursor_dir == kDirJump && c.cursor_jump_kind == kJumpBlock;
    modic2(block_label(s.block_type), s.block_field, 1, kMaxBlock, jump_block ? 1 : 0);
    second_field(s);
    s.count = c.cursor_count;
    modic2("COUNT", s.count, 1, kMaxCount, c.cursor_dir != kDirJump ? 1 : 0);
    step_entry(s);
    show_entry(s, jump_layer_new);
    s.blank_value = 1;
    modmc2(kBlankOptions, s.blank_value, 1);
    modcls();
    for (int i = 0; i < 5; ++i) blank_line();
    setcolr(kExitColour);
    modmc2("EXIT", s.line_value, 0);
    setcolr(kMenuColour);
    return true;
}

// ---- moves and updates ----------------------------------------------------------------------

void move(editor_session& s, int jump_to, float delay, float height, int& status)
{
    edit_move_cursor(jump_to, s.anchor.block(), s.edit_mode, s.current, s.block_type, delay, height, status);
    s.moved_since_trim = true;
}

// The procedure block's update (mnedup), with the host window updated when the tool path changed.
void update(editor_session& s, int& status)
{
    mnedup(s.sublist_opened, s.changed ? 1 : 0, s.layer_changed ? 1 : 0, s.changed ? 1 : 0, status);
}

// The update after an operation: its flags set the editor's and the caller's.
void take_update(editor_session& s, int op_changed, int op_layer, bool after_parameters)
{
    if (op_layer) s.layer_changed = true;
    if (!op_changed) return;
    s.changed = true;
    *s.caller_changed = 1;
    if (!after_parameters) s.mark_refresh = true;
}

next after_delete(editor_session& s, int& status)
{
    int changed = 0, layer = 0;
    EDTDLT(s.anchor, s.current, s.block_type, changed, layer, status);
    if (status < 0) return next::error;
    take_update(s, changed, layer, false);
    update(s, status);
    if (status < 0) return next::error;
    clear_procedure_marks();
    int mode = 2;
    DSPROC(mode, status);
    return next::top;
}

next leave(editor_session& s, int& status)
{
    unmark(s.current);
    update(s, status);
    return status < 0 ? next::error : next::end;
}

next delete_to_end(editor_session& s, int& status)
{
    int changed = 0, layer = 0;
    EDTTRM(s.current, s.block_type, changed, layer, status);
    if (status < 0) return next::error;
    take_update(s, changed, layer, false);
    int not_found = 1;
    tp_marker_find(2, not_found, status);
    if (status < 0) return next::error;
    if (not_found) {
        userrc("NOTE: NO MOVEMENTS IN PROCEDURE LIST");
        return leave(s, status);
    }
    back_to_menu(s);
    return next::cycle;
}

next alterations(editor_session& s, int& status)
{
    if (!s.moved_since_trim) edit_pick_flag() = 0;
    const int can_solid = ncs_can_solid(), can_all = ncs_can_all_db();
    ncs_set_can_solid(1);
    ncs_set_can_all_db(0);
    trim_tp(s.procedure, 1, status);
    ncs_set_can_solid(can_solid);
    ncs_set_can_all_db(can_all);
    s.moved_since_trim = false;
    if (status < 0) return next::error;
    take_update(s, status > 0 ? 1 : 0, 0, false);
    update(s, status);
    if (status < 0) return next::error;
    int split = 0;
    split_by_tool_get_set(1, split);
    return split ? next::end : next::top;
}

void tool_entry(editor_session& s)
{
    const int choice = s.tool_choice;
    tler() = choice - 1;
    if (choice == 3) {
        tm_inst_delete();
        return;
    }
    if (choice == 2) {
        cursor().cursor_tool_mode = 2;
        tool_xor_off();
    } else {
        cursor().cursor_tool_mode = 1;
        tool_xor_on_edit();
    }
    ensure_tool_instance();
}

// A change of the show mode: what is blanked follows it.
void apply_show_mode(int mode)
{
    list_cursor_state& c = cursor();
    if (mode == c.cursor_show_mode) return;
    c.cursor_show_mode = mode;
    if (mode == kShowAll) {
        blank_procedure(0);
        c.cursor_shown_first = c.cursor_first_path.block();
        c.cursor_shown_last = c.cursor_last_path.block();
    } else if (mode == kShowBlock) {
        blank_first_to_last(1);
        c.cursor_shown_first = c.cursor_shown_last = -1;
    } else {
        c.cursor_shown_first = c.cursor_first_path.block();
        c.cursor_shown_last = c.cursor_last_path.block();
        show_layer_window();
    }
}

void show_choice(editor_session& s)
{
    list_cursor_state& c = cursor();
    int mode = s.show_value;
    if (any_markers() && c.cursor_step_unit == kStepLayer)
        mode = s.show_value == 2 ? kShowLayer : kShowAll;
    else if (!any_markers() && s.show_value == 2)
        mode = kShowBlock;
    if (s.switched_to_step2) mode = kShowLayer;
    s.switched_to_step2 = false;
    apply_show_mode(mode);
}

void blank_option(editor_session& s)
{
    list_cursor_state& c = cursor();
    const blk_path here = s.current;
    switch (s.blank_value) {
    case 2:
        blank_procedure(1);
        c.cursor_shown_first = c.cursor_shown_last = -1;
        break;
    case 3:
        if (here.names_block())
            ncd_set_blocks_blank(kCurrentDisplayFile, c.cursor_first_path.address(), here.address(), 1);
        c.cursor_shown_last = c.cursor_first_path.block();
        break;
    case 4:
        if (here.names_block())
            ncd_set_blocks_blank(kCurrentDisplayFile, here.address(), c.cursor_last_path.address(), 1);
        c.cursor_shown_first = c.cursor_last_path.block();
        break;
    case 5:
        blank_procedure(0);
        c.cursor_shown_first = c.cursor_first_path.block();
        c.cursor_shown_last = c.cursor_last_path.block();
        break;
    default: return;
    }
    c.cursor_show_mode = kShowBlock;
    c.cursor_blank_opt = 1;
}

next direction_choice(editor_session& s, int line, bool& jump_layer_new, int& status)
{
    list_cursor_state& c = cursor();
    if (line == kForward || line == kBackward) {
        const int wanted = line == kForward ? kDirForward : kDirBackward;
        if (c.cursor_dir != wanted) {
            c.cursor_dir = wanted;
            return next::cycle;
        }
        move(s, -1, s.delay, kNoHeight, status);
        return status < 0 ? next::error : next::cycle;
    }
    const int kind = layer_markers() ? s.jump_value : (s.jump_value == 3 ? kJumpBlock : s.jump_value);
    jump_layer_new = kind == kJumpLayerZ && !(c.cursor_dir == kDirJump && c.cursor_jump_kind == kJumpLayerZ);
    c.cursor_dir = kDirJump;
    c.cursor_jump_kind = kind;
    if (jump_layer_new) c.cursor_show_mode = kShowBlock;
    if (kind == kJumpStart || kind == kJumpEnd) {
        move(s, -1, s.delay, kNoHeight, status);
        if (status < 0) return next::error;
    }
    return next::cycle;
}

next dispatch(editor_session& s, int line, bool& jump_layer_new, int& status)
{
    list_cursor_state& c = cursor();
    switch (line) {
    case kExit:
        if (s.edit_mode == kEditDelete) return after_delete(s, status);
        return leave(s, status);
    case kGoOn:
        if (s.edit_mode == kEditDelete) return after_delete(s, status);
        return next::cycle;
    case kLeave:
        unmark(s.current);
        if (s.edit_mode == kEditMoveTool) {
            update(s, status);
            return status < 0 ? next::error : next::end;
        }
        back_to_menu(s);
        return next::cycle;
    case kConfirm:
        move(s, -1, s.delay, s.second_is_z ? s.second_field : kNoHeight, status);
        return status < 0 ? next::error : next::cycle;
    case kToolEntry: tool_entry(s); return next::cycle;
    case kMoveTool: s.edit_mode = kEditMoveTool; return next::cycle;
    case kDelete:
        if (s.edit_mode == kEditMoveTool)
            s.anchor = s.current;
        else if (!(s.anchor == s.current))
            unmark(s.anchor);
        s.edit_mode = kEditDelete;
        edit_pick_flag() = 1;
        return next::cycle;
    case kDeleteToEnd: return delete_to_end(s, status);
    case kAlterations: return alterations(s, status);
    case kMachParams: {
        int changed = 0, layer = 0;
        EDTPRM(s.current, changed, layer, status);
        if (status < 0) return next::error;
        take_update(s, changed, layer, true);
        back_to_menu(s);
        return next::cycle;
    }
    case kService: {
        service_result result;
        edit_service_menu(s.perm, s.current, s.block_type, result, status);
        if (status < 0) return next::error;
        if (result.modified) *s.caller_changed = 1;
        take_update(s, result.modified, result.layer_changed, false);
        if (result.mark_refresh) s.mark_refresh = true;
        back_to_menu(s);
        return next::cycle;
    }
    case kJumpEntry:
    case kForward:
    case kBackward: return direction_choice(s, line, jump_layer_new, status);
    case kBlockField:
        if (c.cursor_dir == kDirJump && c.cursor_jump_kind == kJumpBlock) {
            move(s, s.block_field, s.delay, kNoHeight, status);
            if (status < 0) return next::error;
        }
        return next::cycle;
    case kSecondField:
        if (s.second_is_delay) {
            s.delay = s.second_field;
        } else if (s.second_is_z) {
            // A jump to the layer at the Z entered, whatever direction is in force.
            const int dir = c.cursor_dir, kind = c.cursor_jump_kind;
            c.cursor_dir = kDirJump;
            c.cursor_jump_kind = kJumpLayerZ;
            move(s, -1, kNoDelay, s.second_field, status);
            if (!(dir == kDirJump && kind == kJumpLayerZ)) {
                c.cursor_dir = dir;
                c.cursor_jump_kind = kind;
            }
            if (status < 0) return next::error;
        }
        return next::cycle;
    case kCountField: c.cursor_count = s.count; return next::cycle;
    case kStepEntry:
        if (s.step_value == c.cursor_step_unit) return next::cycle;
        s.switched_to_step2 = s.step_value == kStepLayer;
        c.cursor_step_unit = s.step_value;
        if (any_markers()) show_choice(s);
        return next::cycle;
    case kShowEntry: show_choice(s); return next::cycle;
    case kBlankOpt: blank_option(s); return next::cycle;
    default: return next::cycle;
    }
}

// ---- waiting for the choice -----------------------------------------------------------------

// A block indicated in the graphics in JUMP BLOCK: answers kConfirm, or the menu's choice when
// the user went to the menu.
int wait_for_pick(editor_session& s)
{
    msg_prompt(kCatalogue, kPickPrompt);
    setir();
    enatpo();
    setatn(0);
    int choice = 0, entity = 0;
    pick(choice, entity);
    setatn(1);
    if (choice == 0) {
        edit_pick_flag() = 1;
        s.moved_since_trim = true;
        s.saved_tool_mode = cursor().cursor_tool_mode;
        s.saved_tler = tler();
        cursor().cursor_tool_mode = 1;
        tler() = 0;
        return kConfirm;
    }
    if (choice == -3) {
        int line = 0;
        modif1(line);
        return line;
    }
    return choice;
}

// JUMP LAYER/Z: a point indicated gives the Z field's value; answers kSecondField, or the menu's
// choice when no point was given.
int wait_for_point(editor_session& s)
{
    prmptc("PICK POINT");
    float point[3]{};
    int entity = -1, status = 0;
    ncs_get_point(kPointMode, point, entity, status);
    if (status == 0) {
        s.second_field = point[2] - origin_z();
        return kSecondField;
    }
    int line = 0;
    modif1(line);
    return line;
}

// One menu cycle. Answers how the editor goes on.
next menu_cycle(editor_session& s, bool& jump_layer_new, int& status)
{
    list_cursor_state& c = cursor();
    if (s.saved_tool_mode >= 0) {
        c.cursor_tool_mode = s.saved_tool_mode;
        tler() = s.saved_tler;
        s.saved_tool_mode = s.saved_tler = -1;
    }
    for (;;) {
        if (!build_menu(s, jump_layer_new, status)) return next::error;
        const bool new_choice = jump_layer_new;
        jump_layer_new = false;
        s.prev_step_unit = c.cursor_step_unit;
        s.prev_jump_kind = c.cursor_jump_kind;
        const bool jump_block = c.cursor_dir == kDirJump && c.cursor_jump_kind == kJumpBlock;
        const bool jump_layer = c.cursor_dir == kDirJump && c.cursor_jump_kind == kJumpLayerZ;
        int line = 0;
        if (jump_layer && !s.layer_moved) {
            s.layer_moved = true;
            move(s, -1, kNoDelay, shown_height(c.cursor_layer_z), status);
            if (status < 0) return next::error;
            continue;
        }
        if (jump_block)
            line = wait_for_pick(s);
        else if (jump_layer)
            line = wait_for_point(s);
        else
            modif1(line);
        if (line == kShowAgain) continue;
        if (!jump_layer || line != kSecondField) s.layer_moved = false;
        (void)new_choice;
        const next n = dispatch(s, line, jump_layer_new, status);
        s.prev_show_mode = c.cursor_show_mode;
        s.show_mode_kept = true;
        return n;
    }
}

// ---- end of a call --------------------------------------------------------------------------

void end_of_call(editor_session& s, bool failed, bool ended_fresh)
{
    write_delay(s);
    reset_interaction_mode();
    if (s.sublist_opened) {
        int status = 0;
        tp_sublist_close(status);
        s.sublist_opened = 0;
    }
    if (!ended_fresh && !failed) {
        if (s.blank_on_exit)
            blank_first_to_last(1);
        else if (cursor().cursor_show_mode != kShowAll)
            blank_procedure(0);
    }
    if (!s.proc_mode) {
        list_cursor_state& c = cursor();
        c.cursor_dir = kDirJump;
        c.cursor_jump_kind = kJumpEnd;
        c.cursor_step_unit = kStepBlock;
        c.cursor_show_mode = kShowAll;
        int status = 0;
        edit_move_cursor(-1, -1, kEditMoveTool, s.current, s.block_type, kNoDelay, kNoHeight, status);
        unmark(s.current);
        s.final_status = status;
    }
    tler() = s.kept_tler;
    if (s.tables_opened) {
        int status = 0;
        nu_modl_rels(1, status);
        nu_modl_rels(2, status);
    }
    ensure_tool_instance();
    edit_cache_reset();
}

}  // namespace

void manedt(int procedure, const edit_perm& perm, int& start_at_end, int blank_on_exit, int& changed, int& status)
{
    status = 0;
    editor_session s;
    s.procedure = procedure;
    s.perm = perm;
    s.proc_mode = procedure > 0;
    s.start_at_end = start_at_end;
    s.blank_on_exit = blank_on_exit;
    s.caller_changed = &changed;
    keep_start_position();
    read_delay(s);
    if (!open_module_tables(s)) {
        status = kErrorReported;
        return;
    }
    const int machine = NPT1().machine_type();
    s.alterations_possible = machine == 22 || machine == 23 || machine == 25 || machine == 26;
    s.kept_tler = tler();
    tler() = 0;
    cursor().cursor_layer_z = 0.0f;
    edit_pick_flag() = 0;
    if (s.proc_mode) take_procedure_colour();
    dspblk_init_state(2);
    displb_set_count(-1);

    next n = next::top;
    bool jump_layer_new = false;
    while (n == next::top || n == next::cycle) {
        if (n == next::top) {
            n = editor_top(s, status);
            if (n != next::cycle) break;
        }
        n = menu_cycle(s, jump_layer_new, status);
    }
    const bool failed = n == next::error || status < 0;
    if (failed)
        report_error(status);
    else
        status = 0;
    start_at_end = s.start_at_end;
    end_of_call(s, failed, s.fresh);
    // Without a procedure number the final jump's status is answered, but never over an error.
    if (!failed && !s.proc_mode) status = s.final_status < 0 ? kErrorReported : 0;
}

void manual_edit_browse(int& status)
{
    const edit_perm browse{0, 0, 0, 0, 0, 0, 1};
    int start_at_end = 1, changed = 0;
    manedt(-1, browse, start_at_end, 0, changed, status);
}
