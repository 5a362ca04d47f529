// The manual editor's cursor moves and display marks (see the header). A move is worked out as one
// of five kinds (forward, backward, start, end, block) from the cursor words; a layer or pass step
// and a jump to a height become a jump to the block they land on, or to an end.
#include "edit/editor/cursor_moves.hpp"

#include "edit/editor/cursor_list.hpp"
#include "edit/editor/cursor_routines.hpp"
#include "edit/editor/list_utilities.hpp"
#include "host/vantu_clock.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_masters.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/vantu_proc_dialogs.hpp"
#include "host/vantu_toolinst.hpp"
#include "listing/live_display.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/display_break.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/tp_list_access.hpp"

namespace {

constexpr int kFailed = -1, kDisplayFailed = -3;
constexpr int kCatalogue = 317, kStepPrompt = 10, kToolChanged = 11;
constexpr int kPassedOver = 2, kStoppedAt = 3;
constexpr int kTlerDisplay = 0, kTlerTrace = 1, kTlerNoTool = 2;
constexpr int kBreakLast = 2;

enum class move_kind { forward, backward, start, end, block };

int& tler() { return TLER().at(tool_display_state::kMode); }
int current_tool() { return DSM4().at(modal_values::kTool); }

blk_path path_of(int block)
{
    blk_path path;
    path.set(list_cursor().cursor_proc_blkno, block);
    return path;
}

void attention(const blk_path& path, int flag)
{
    if (path.names_block()) ncd_set_blocks_attention(kCurrentDisplayFile, path.address(), path.address(), flag);
}

void blank_range(int from, int to, int flag)
{
    ncd_set_blocks_blank(kCurrentDisplayFile, path_of(from).address(), path_of(to).address(), flag);
}

// The tool instance follows a change of the current tool: the old one goes, the new one is drawn
// at the current position.
void follow_tool_change(int tool_before)
{
    if (current_tool() == tool_before) return;
    tm_inst_delete();
    const tool_position_state& position = DSP8();
    const tool_vec point{position.real(tool_position_state::kPosition),
                         position.real(tool_position_state::kPosition + 1),
                         position.real(tool_position_state::kPosition + 2)};
    const tool_vec axis{position.real(tool_position_state::kAxis), position.real(tool_position_state::kAxis + 1),
                        position.real(tool_position_state::kAxis + 2)};
    int instance = -1;
    DISPT1(current_tool(), point, axis, instance);
    if (instance >= 0) tm_inst_id(instance);
    msg_mdls(kCatalogue, kToolChanged);
}

// Shows the block at the cursor (a plain redisplay while no tool is shown). Answers the break.
bool show_cursor_block(int& status)
{
    int break_flag = 0;
    DISPLB(tler() == kTlerNoTool ? kPassedOver : kStoppedAt, break_flag, status);
    return break_flag != 0;
}

// What one move works with besides the cursor words.
struct move_state {
    move_kind kind = move_kind::forward;
    int jump_to = -1;
    int anchor = -1;
    int edit_mode = kEditMoveTool;
    float delay = 0.0f;
    float height = kNoHeight;
    bool layer_step = false;   // a LAYER or PASS step was made
    bool from_height = false;  // the jump kind stays JUMP LAYER/Z
    bool at_end = false;       // an end of the procedure was reached
    int forward = 1;           // the direction flag of the blanking
    int number = -1;
    int type = 0;
    int tool_before = 0;
};

// A LAYER or PASS step becomes a jump to the block it lands on, or to an end.
void resolve_layer_step(move_state& m, int& status)
{
    list_cursor_state& cursor = list_cursor();
    const int n = cursor.cursor_dir == kDirBackward ? -cursor.cursor_count : cursor.cursor_count;
    int number = -1;
    find_mrkr_target(n, n, kNoHeight, number, status);
    if (status < 0) return;
    m.layer_step = true;
    if (status == 0) {
        m.kind = move_kind::block;
        m.jump_to = number;
    } else {
        m.kind = n > 0 ? move_kind::end : move_kind::start;
        m.at_end = true;
    }
    status = 0;
}

// A jump to a height becomes a jump to the first block of the layer there, or to an end. Answers
// false when the cursor already stands in that layer.
bool resolve_height(move_state& m, bool delay_given, int& status)
{
    list_cursor_state& cursor = list_cursor();
    const float shown = shown_height(cursor.cursor_layer_z);
    if (m.height == shown && delay_given) {
        cursor.cursor_mrkr_code = kMarkerLayerClose;
        return false;
    }
    cursor.cursor_mrkr_code = kMarkerLayerOpen;
    int number = -1;
    find_mrkr_target(0, 0, m.height, number, status);
    cursor.cursor_mrkr_code = kMarkerLayerClose;
    slclr();
    if (status < 0) return false;
    if (status == 0) {
        m.kind = move_kind::block;
        m.jump_to = number;
    } else {
        m.kind = m.height < shown ? move_kind::end : move_kind::start;
        m.from_height = true;
        m.at_end = true;
    }
    status = 0;
    return true;
}

// An animated step: count single points with the delay between them, each shown and marked.
void animated_steps(move_state& m, blk_path& current, blk_path& previous, int& status)
{
    list_cursor_state& cursor = list_cursor();
    const bool forward = m.kind == move_kind::forward;
    const bool tracing = forward && cursor.cursor_tool_mode == 2;
    msg_mdls(kCatalogue, kStepPrompt);
    for (int step = 0; step < cursor.cursor_count; ++step) {
        if (step > 0) edit_unmark_current(current, m.anchor, m.edit_mode, previous);
        const int tool_before = current_tool();
        int count = 1, number = -1;
        if (forward)
            MVFRWD(tracing ? 1 : 0, count, number, m.type, status);
        else
            MVBCWD(count, number, m.type, status);
        if (status < 0) return;
        const int moved = status;
        if (number != -1) current.set(cursor.cursor_proc_blkno, number);
        bool asked = false;
        if (!tracing) {
            follow_tool_change(tool_before);
            asked = show_cursor_block(status);
            if (status < 0) {
                status = kDisplayFailed;
                return;
            }
        }
        if (moved == kCursorLayerCrossed) cursor.cursor_layer_z = DSP8().real(tool_position_state::kPosition + 2);
        edit_mark_step(current, forward ? 1 : 0, previous, 0);
        if (moved == kCursorEnd) m.at_end = true;
        status = 0;
        int polled = 0;
        check_display_break(polled);
        if (asked || polled || m.at_end) return;
        if (step + 1 < cursor.cursor_count) host_wait(m.delay);
    }
}

// The move itself by the cursor routines. Answers the routines' status (negative on failure).
void make_move(move_state& m, blk_path& current, blk_path& previous, int& status)
{
    list_cursor_state& cursor = list_cursor();
    const bool animated = (m.kind == move_kind::forward || m.kind == move_kind::backward) && m.delay > 0.0f;
    if (animated) return animated_steps(m, current, previous, status);
    int count = cursor.cursor_count;
    switch (m.kind) {
    case move_kind::forward:
        MVFRWD(cursor.cursor_tool_mode == 2 ? 1 : 0, count, m.number, m.type, status);
        m.forward = 1;
        break;
    case move_kind::backward:
        MVBCWD(count, m.number, m.type, status);
        m.forward = 0;
        break;
    case move_kind::start:
        JPSTRP(m.number, m.type, status);
        m.forward = 0;
        break;
    case move_kind::end:
        JPENDP(m.number, m.type, status);
        m.forward = 1;
        break;
    case move_kind::block: {
        int passed = 0;
        m.number = m.jump_to;
        JPINDP(previous.block(), m.number, m.type, passed, status);
        m.forward = passed;
        break;
    }
    }
    if (status < 0) return;
    if (m.number != -1) current.set(cursor.cursor_proc_blkno, m.number);
    if (status == kCursorEnd) m.at_end = true;
    if (status == kCursorNotFound) status = 0;
}

// The indicated block of a JUMP BLOCK; false (with the message) when it lies outside the
// procedure.
bool indicated_block(move_state& m) { return picked_procedure_block(m.jump_to); }

// The block reached is marked; the blocks from the previous one to it are shown in SHOW BLOCK, or
// the layer window in SHOW LAYER.
void mark_reached(const blk_path& current, const blk_path& previous, int forward)
{
    if (!current.names_block()) return;
    attention(current, 1);
    const list_cursor_state& cursor = list_cursor();
    if (cursor.cursor_show_mode == kShowLayer) return show_layer_window();
    if (cursor.cursor_show_mode != kShowBlock) return;
    const int from = previous.names_block() ? previous.block() : current.block();
    if (forward)
        blank_range(from, current.block(), 0);
    else
        blank_range(current.block(), from, 0);
}

// The cursor words after the move.
void settle_cursor_words(const move_state& m, int entry_dir, int entry_kind)
{
    list_cursor_state& cursor = list_cursor();
    switch (m.kind) {
    case move_kind::forward:
        if (m.at_end) cursor.cursor_dir = kDirBackward;
        break;
    case move_kind::backward:
        if (m.at_end) cursor.cursor_dir = kDirForward;
        break;
    case move_kind::start:
    case move_kind::end:
        if (m.from_height) {
            cursor.cursor_dir = kDirJump;
            cursor.cursor_jump_kind = kJumpLayerZ;
        } else {
            cursor.cursor_dir = m.kind == move_kind::start ? kDirForward : kDirBackward;
            cursor.cursor_jump_kind = kJumpBlock;
        }
        break;
    case move_kind::block:
        cursor.cursor_dir = entry_dir;
        cursor.cursor_jump_kind = entry_kind;
        break;
    }
}

move_kind kind_of(int dir, int jump_kind)
{
    if (dir == kDirForward) return move_kind::forward;
    if (dir == kDirBackward) return move_kind::backward;
    if (jump_kind == kJumpStart) return move_kind::start;
    if (jump_kind == kJumpEnd) return move_kind::end;
    return move_kind::block;
}

}  // namespace

bool picked_procedure_block(int& number)
{
    slpopb();
    ncd_address picked;
    int status = 0;
    ncd_get_picked(picked, status);
    if (status < 0 || picked.level < 2 || picked.block1 != list_cursor().cursor_proc_blkno) {
        userrc("PLEASE INDICATE ON ONE OF THE PROCEDURE BLOCKS");
        return false;
    }
    number = picked.block2;
    return true;
}

void edit_move_cursor(int jump_to, int anchor, int edit_mode, blk_path& current, int& type, float delay, float height,
                      int& status)
{
    list_cursor_state& cursor = list_cursor();
    const int kept_tler = tler();
    move_state m;
    m.delay = delay == kNoDelay ? 0.0f : delay;
    m.height = height;
    m.anchor = anchor;
    m.edit_mode = edit_mode;
    m.jump_to = jump_to;
    m.tool_before = current_tool();
    status = kDisplayFailed;
    if (get_win_mode()) {
        EnableHideTool();
        nc_tool_disp_hide(0);
    }
    blk_path previous;
    edit_unmark_current(current, anchor, edit_mode, previous);
    current.words[0] = 2;
    current.words[1] = cursor.cursor_proc_blkno;
    const int entry_dir = cursor.cursor_dir, entry_kind = cursor.cursor_jump_kind;
    m.kind = kind_of(entry_dir, entry_kind);
    int move_status = 0;
    const bool stepping = m.kind == move_kind::forward || m.kind == move_kind::backward;
    if (stepping && cursor.cursor_step_unit == kStepLayer) resolve_layer_step(m, move_status);
    if (move_status >= 0 && entry_dir == kDirJump && entry_kind == kJumpLayerZ) {
        const bool moves = resolve_height(m, delay != kNoDelay, move_status);
        if (move_status >= 0 && !moves) {
            status = 0;
            return;
        }
    }
    const bool animated =
        (m.kind == move_kind::forward || m.kind == move_kind::backward) && m.delay > 0.0f && !m.layer_step;
    if (m.kind == move_kind::block && jump_to == -1 && m.jump_to == -1 && !indicated_block(m)) {
        current = previous;
        status = 0;
        return;
    }
    if (m.kind == move_kind::block) {
        cursor.cursor_jump_from = previous.block();
        cursor.cursor_jump_to = m.jump_to;
    }
    if (m.kind == move_kind::backward || m.kind == move_kind::start || m.kind == move_kind::end) {
        if (tler() == kTlerTrace) tler() = kTlerDisplay;
    }
    if (move_status >= 0) make_move(m, current, previous, move_status);
    type = m.type;
    settle_cursor_words(m, entry_dir, entry_kind);
    if (move_status >= 0 && !animated) {
        if (m.kind == move_kind::backward && move_status == kCursorLayerCrossed)
            cursor.cursor_layer_z = DSP8().real(tool_position_state::kPosition + 2);
        mark_reached(current, previous, m.forward);
        const bool traced = m.kind == move_kind::forward && cursor.cursor_tool_mode == 2;
        const bool show = entry_dir == kDirJump || m.layer_step || m.delay <= 0.0f || m.kind == move_kind::end;
        if (show && m.kind != move_kind::start && !traced) {
            follow_tool_change(m.tool_before);
            int display = 0;
            show_cursor_block(display);
            if (display < 0) move_status = kDisplayFailed;
        }
    }
    tler() = kept_tler;
    if (move_status == kDisplayFailed)
        status = kDisplayFailed;
    else if (move_status < 0)
        status = kFailed;
    else
        status = m.at_end ? kCursorEnd : 0;
}

void edit_unmark_current(const blk_path& current, int anchor, int edit_mode, blk_path& previous)
{
    if (current.names_block() && current.block() != anchor && edit_mode != kEditDelete) attention(current, 0);
    previous = current;
}

void edit_mark_step(const blk_path& current, int forward, const blk_path& previous, int blank)
{
    if (!current.names_block()) return;
    attention(current, 1);
    const list_cursor_state& cursor = list_cursor();
    if (cursor.cursor_show_mode == kShowBlock) {
        const bool step = cursor.cursor_dir == kDirForward || cursor.cursor_dir == kDirBackward;
        if (step || !previous.names_block())
            blank_range(current.block(), current.block(), blank);
        else if (forward)
            blank_range(previous.block(), current.block(), blank);
        else
            blank_range(current.block(), previous.block(), blank);
    } else if (cursor.cursor_show_mode == kShowLayer) {
        show_layer_window();
    }
}

void show_layer_window()
{
    list_cursor_state& cursor = list_cursor();
    int start = -1, end = -1, status = 0;
    find_mrkr_target(-1, 1, kNoHeight, start, status);
    if (status != 0 || start == -1) start = cursor.cursor_first_path.block();
    if (start == cursor.cursor_last_path.block() && cursor.cursor_show_mode == kShowLayer &&
        cursor.cursor_mrkr_code == kMarkerLayerClose) {
        // On the last layer's last motion the closing markers behind lead nowhere: the opening one
        // of the layer is counted instead.
        cursor.cursor_mrkr_code = kMarkerLayerOpen;
        find_mrkr_target(-1, 1, kNoHeight, start, status);
        cursor.cursor_mrkr_code = kMarkerLayerClose;
        if (status != 0 || start == -1) start = cursor.cursor_first_path.block();
    }
    find_mrkr_target(1, -1, kNoHeight, end, status);
    if (status != 0 || end == -1) end = cursor.cursor_last_path.block();
    if (start == cursor.cursor_shown_first && end == cursor.cursor_shown_last) return;
    cursor.cursor_shown_first = start;
    cursor.cursor_shown_last = end;
    const int first = cursor.cursor_first_path.block(), last = cursor.cursor_last_path.block();
    if (first != start) blank_range(first, start, 1);
    if (end != last) blank_range(end, last, 1);
    blank_range(start, end, 0);
}

namespace {

// From the position, the first motion block in the direction: its number (-1 when none).
int motion_from_here(int direction, int& status)
{
    cursor_block block;
    for (;;) {
        cursor_read(block, status);
        if (status < 0) return -1;
        if (block.motion()) break;
        if (!cursor_step(direction, status)) return -1;
    }
    int number = -1;
    cursor_number(number, status);
    return status < 0 ? -1 : number;
}

}  // namespace

void find_first_last_motion(int& status)
{
    list_cursor_state& cursor = list_cursor();
    status = 0;
    if (!cursor_mark()) {
        status = kFailed;
        return;
    }
    int answer = 0;
    lacces(2, answer);
    const int first = answer < 0 ? -1 : motion_from_here(kStepForward, status);
    cursor.cursor_first_path.set(cursor.cursor_proc_blkno, first);
    cursor.cursor_shown_first = first;
    int last = -1;
    if (status >= 0) {
        JMPEND(status);
        if (status >= 0) last = motion_from_here(kStepBackward, status);
    }
    cursor.cursor_last_path.set(cursor.cursor_proc_blkno, last);
    cursor.cursor_shown_last = last;
    if (!cursor_return() && status >= 0) status = kFailed;
}

namespace {

// The cursor on the last motion point of the list; a string there is broken at its last point.
void go_last_motion(int& status)
{
    JMPEND(status);
    if (status < 0) return;
    if (motion_from_here(kStepBackward, status) == -1 || status < 0) return;
    cursor_block block;
    int answer = 0;
    lacces(0, answer);
    cursor_read(block, status);
    if (status >= 0 && block.string()) BRKSTR(kBreakLast, status);
}

// Whether the procedure has markers of the kind: a search from the first block finds a closing one.
bool has_markers(int code, int& status)
{
    list_cursor().cursor_mrkr_code = code;
    int answer = 0;
    lacces(2, answer);
    if (answer < 0) return false;
    int number = -1;
    find_mrkr_target(1, -1, kNoHeight, number, status);
    return status == 0 && number != -1;
}

}  // namespace

void edit_cursor_init(int proc_number_mode, int& start_at_end, int& status)
{
    list_cursor_state& cursor = list_cursor();
    cursor.cursor_dir = proc_number_mode ? kDirForward : kDirJump;
    cursor.cursor_jump_kind = proc_number_mode ? kJumpBlock : kJumpEnd;
    cursor.cursor_count = 1;
    cursor.cursor_tool_mode = 1;
    cursor.cursor_show_mode = kShowAll;
    cursor.cursor_step_unit = kStepBlock;
    status = 0;
    const bool at_end = start_at_end != 0;
    if (at_end) {
        start_at_end = 0;
        go_last_motion(status);
        if (status < 0) return;
    }
    find_first_last_motion(status);
    if (status < 0) return;
    if (!cursor_mark()) {
        status = kFailed;
        return;
    }
    if (!has_markers(kMarkerLayerClose, status) && status >= 0 && !has_markers(kMarkerPassClose, status))
        cursor.cursor_mrkr_code = kNoMarkers;
    if (status < 0) {
        cursor.cursor_mrkr_code = kNoMarkers;
        cursor_return();
        return;
    }
    status = 0;
    // The searches above moved the marker to the first block, where the cursor then starts: a
    // forward move from there reaches the first motion. A start at the end goes back there.
    if (!cursor_return())
        status = kFailed;
    else if (at_end)
        go_last_motion(status);
}
