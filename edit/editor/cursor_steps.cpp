// Steps of the editor's cursor over motion points: forward (MVFRWD), backward (MVBCWD), and the
// one-point step with its mark and display (step_cursor_mark). A step that stops inside a string
// breaks it first. The cursor's marker moves along to every motion block reached, so a step that
// ends early, or fails, leaves the cursor on the last motion block it reached. Reads
// list_cursor().cursor_fn_code and cursor_proc_blkno; writes cursor_layer_z (MVFRWD) and
// prm_unchanged_flags (MVBCWD).
#include "edit/editor/cursor_routines.hpp"

#include "edit/editor/cursor_list.hpp"
#include "edit/editor/list_utilities.hpp"
#include "edit/editor/machining_state.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "listing/live_display.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kPassedOver = 2, kStoppedAt = 3;
constexpr int kBreakFirst = 1, kBreakLast = 2;
constexpr int kMarkerType = 99, kParameterType = 1;

bool drill_procedure() { return list_cursor().cursor_fn_code == kDrillFunction; }

void show_passed(int& status)
{
    int break_flag = 0;
    DISPLB(kPassedOver, break_flag, status);
}

// The motion block at the position becomes the cursor's: the marker follows, its number and type
// are answered. A string with more points than still to go is broken (mode) and counts 1.
// Answers the points the block counts.
int reach_motion(cursor_block& block, int to_go, int break_mode, int& number, int& type, int& status)
{
    int points = 1;
    if (block.string()) {
        tp_line_point point;
        cursor_string(block, point, status);
        if (status < 0) return 0;
        if (point.points > to_go) {
            BRKSTR(break_mode, status);
            if (status < 0) return 0;
            cursor_read(block, status);
            if (status < 0) return 0;
        } else {
            points = point.points;
        }
    }
    if (!cursor_mark()) {
        status = kFailed;
        return 0;
    }
    cursor_number(number, status);
    type = block.type;
    return points;
}

// A block MVFRWD passes without stopping: shown with display on or in a drill procedure; else a
// LAYER-opening marker sets the layer Z and a parameter block is shown.
void pass_forward(const cursor_block& block, int display, int& status)
{
    if (display == 1 || drill_procedure()) return show_passed(status);
    if (block.type == kMarkerType) {
        tp_marker_block marker;
        cursor_marker(block, marker, status);
        if (status >= 0 && marker.code == kMarkerLayerOpen) list_cursor().cursor_layer_z = marker.z;
    } else if (block.type == kParameterType) {
        show_passed(status);
    }
}

// A block MVBCWD passes: a parameter block clears the unchanged flag of its type; a LAYER-closing
// marker tells that a layer boundary was crossed.
void pass_backward(const cursor_block& block, bool& crossed, int& status)
{
    if (block.type == kParameterType) {
        tp_param_block parameter;
        tpread_param(kWhereList, parameter, status);
        if (status < 0) return;
        if (int* flag = prm_unchanged_flag(parameter.prmtyp)) *flag = 0;
    } else if (block.type == kMarkerType) {
        tp_marker_block marker;
        cursor_marker(block, marker, status);
        if (status >= 0 && marker.code == kMarkerLayerClose) crossed = true;
    }
}

// Ends a step that failed: the cursor goes back to the last motion block reached.
void give_up(int& status)
{
    cursor_return();
    status = kFailed;
}

}  // namespace

void MVFRWD(int display, int& count, int& number, int& type, int& status)
{
    const int wanted = count;
    number = -1;
    status = 0;
    if (!cursor_mark()) {
        eroutc("MVFRWD, ERRORS IN LIST", 0);
        status = kFailed;
        return;
    }
    cursor_block block;
    cursor_read(block, status);
    if (status >= 0 && block.motion()) reach_motion(block, 1, kBreakFirst, number, type, status);
    if (status < 0) {
        eroutc("MVFRWD, ERRORS IN LIST", 0);
        return give_up(status);
    }
    int counted = 0;
    bool ended = false;
    while (counted < wanted) {
        if (!cursor_step(kStepForward, status)) {
            if (status < 0) return give_up(status);
            ended = true;
            break;
        }
        cursor_read(block, status);
        if (status < 0) return give_up(status);
        if (block.motion())
            counted += reach_motion(block, wanted - counted, kBreakFirst, number, type, status);
        else
            pass_forward(block, display, status);
        if (status < 0) return give_up(status);
    }
    count = counted;
    if (!cursor_return()) {
        eroutc("MVFRWD, ERRORS IN LIST", 0);
        status = kFailed;
        return;
    }
    status = ended ? kCursorEnd : 0;
}

void MVBCWD(int& count, int& number, int& type, int& status)
{
    const int wanted = count;
    number = -1;
    status = 0;
    if (!cursor_mark()) {
        eroutc("MVBCWD, ERRORS IN LIST", 0);
        status = kFailed;
        return;
    }
    list_cursor().prm_unchanged_flags.fill(1);
    cursor_block block;
    cursor_read(block, status);
    if (status < 0) {
        eroutc("MVBCWD, ERRORS IN LIST", 0);
        return give_up(status);
    }
    // The motion block the cursor stands on is where the step starts: it is counted in the answer,
    // not as one of the points to go back.
    int counted = 0, start_points = 0;
    bool crossed = false, ended = false, first = true;
    for (;;) {
        if (block.motion()) {
            const int points =
                reach_motion(block, wanted - counted + (first ? 1 : 0), kBreakLast, number, type, status);
            if (first)
                start_points = points;
            else
                counted += points;
        } else if (drill_procedure()) {
            if (counted < wanted) show_passed(status);
        } else if (counted < wanted) {
            pass_backward(block, crossed, status);
        }
        if (status < 0) return give_up(status);
        first = false;
        if (counted >= wanted) break;
        if (cursor_at_first() || !cursor_step(kStepBackward, status)) {
            if (status < 0) return give_up(status);
            ended = true;
            break;
        }
        cursor_read(block, status);
        if (status < 0) return give_up(status);
    }
    count = counted + start_points;
    if (!cursor_return()) {
        eroutc("MVBCWD, ERRORS IN LIST", 0);
        status = kFailed;
        return;
    }
    if (number != -1) {
        // Types whose parameter blocks the step did not pass keep the values shown.
        prvmch_trust_unchanged_flags();
        UPDBOT(status);
    }
    if (status < 0) return;
    status = ended ? kCursorEnd : crossed ? kCursorLayerCrossed : 0;
}

void step_cursor_mark(int direction, blk_path& path, int& type, int& status)
{
    path.set(list_cursor().cursor_proc_blkno, -1);
    int number = -1, count = 1;
    if (direction == kDirForward)
        MVFRWD(0, count, number, type, status);
    else if (direction == kDirBackward)
        MVBCWD(count, number, type, status);
    else
        status = kFailed;
    if (status < 0) return;
    const int moved = status;
    if (number != -1) {
        path.set(list_cursor().cursor_proc_blkno, number);
        ncd_set_blocks_attention(kCurrentDisplayFile, path.address(), path.address(), 1);
    }
    int break_flag = 0;
    DISPLB(kStoppedAt, break_flag, status);
    status = status < 0 ? -3 : moved;
}
