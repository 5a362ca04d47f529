// Jumps of the editor's cursor: to the first and the last motion block of the procedure and to a
// block named by its number. Reads list_cursor().cursor_fn_code (a drill procedure shows every
// block passed) and sets cursor_layer_z from the LAYER markers JPINDP passes.
#include "edit/editor/cursor_routines.hpp"

#include "edit/editor/cursor_list.hpp"
#include "edit/editor/list_utilities.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "listing/live_display.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kPassedOver = 2;
constexpr int kAccessFirst = 2, kAccessAgain = 0;
constexpr int kBreakFirst = 1, kBreakLast = 2;

bool drill_procedure() { return list_cursor().cursor_fn_code == kDrillFunction; }

void show_passed(int& status)
{
    int break_flag = 0;
    DISPLB(kPassedOver, break_flag, status);
}

void list_error(const char* text, int& status)
{
    eroutc(text, 0);
    status = kFailed;
}

void go_first(int& status)
{
    int answer = 0;
    lacces(kAccessFirst, answer);
    if (answer < 0) status = kFailed;
}

// Reads the current block again from its start.
void read_again(cursor_block& block, int& status)
{
    int answer = 0;
    lacces(kAccessAgain, answer);
    if (answer < 0) {
        status = kFailed;
        return;
    }
    cursor_read(block, status);
}

}  // namespace

void JPSTRP(int& number, int& type, int& status)
{
    number = -1;
    status = 0;
    cursor_block block;
    go_first(status);
    if (status >= 0) cursor_read(block, status);
    while (status >= 0 && !block.motion()) {
        if (!cursor_step(kStepForward, status)) {
            if (status < 0) break;
            return;
        }
        show_passed(status);
        if (status >= 0) cursor_read(block, status);
    }
    if (status >= 0) cursor_number(number, status);
    if (status < 0) {
        number = -1;
        list_error("JPSTRP, ERRORS IN LIST", status);
        return;
    }
    type = block.type;
    status = 0;
}

namespace {

// A drill procedure: every block but the motions is shown from the first on, so that the display's
// cycle state is that of the whole procedure.
void show_drill_cycles(int& status)
{
    go_first(status);
    cursor_block block;
    while (status >= 0) {
        cursor_read(block, status);
        if (status < 0) return;
        if (!block.motion()) show_passed(status);
        if (status < 0 || !cursor_step(kStepForward, status)) return;
    }
}

}  // namespace

void JPENDP(int& number, int& type, int& status)
{
    number = -1;
    status = 0;
    if (!cursor_mark()) return list_error("JPENDP, ERRORS IN LIST", status);
    if (drill_procedure()) show_drill_cycles(status);
    int answer = 0;
    if (status >= 0) lacces(3, answer);
    if (answer < 0) status = kFailed;
    cursor_block block;
    while (status >= 0) {
        cursor_read(block, status);
        if (status < 0 || block.motion()) break;
        if (!cursor_step(kStepBackward, status)) {
            if (status < 0) break;
            if (!cursor_return()) return list_error("JPENDP, ERRORS IN LIST", status);
            return;
        }
    }
    if (status >= 0) cursor_number(number, status);
    if (status < 0) {
        number = -1;
        cursor_return();
        return list_error("JPENDP, ERRORS IN LIST", status);
    }
    type = block.type;
    UPDBOT(status);
}

namespace {

// One scan of JPINDP: its direction and whether the target was met.
struct indicated_scan {
    int start = 0;
    int target = 0;
    int direction = kStepForward;
    bool met = false;
    bool wrapped = false;
};

// Until the target is met: a string covering it is broken so that the target gets a block of its
// own (forward scans stand on its first point, backward scans on its last), then read again.
void look_for_target(indicated_scan& scan, cursor_block& block, int number, int& status)
{
    if (block.motion() && block.string()) {
        tp_line_point point;
        cursor_string(block, point, status);
        if (status < 0) return;
        if (point.points >= 1 && point.number <= scan.target && scan.target <= point.number + point.points - 1) {
            BRKSTR(scan.direction == kStepForward ? kBreakFirst : kBreakLast, status);
            if (status < 0) return;
            cursor_read(block, status);
            if (status >= 0) cursor_number(number, status);
            if (status < 0) return;
        }
    }
    scan.met = number == scan.target;
}

}  // namespace

void JPINDP(int start, int& target, int& type, int& passed_start, int& status)
{
    status = 0;
    if (target == start) return;
    indicated_scan scan;
    scan.start = start;
    scan.target = target;
    scan.direction = target > start || target < start / 2 ? kStepForward : kStepBackward;
    if (!cursor_mark()) return list_error("JPINDP, ERRORS IN LIST", status);
    if (target < start / 2) go_first(status);
    cursor_block block;
    while (status >= 0) {
        cursor_read(block, status);
        int number = 0;
        if (status >= 0) cursor_number(number, status);
        if (status < 0) break;
        if (number == start) passed_start = 1;
        if (!scan.met) {
            look_for_target(scan, block, number, status);
            if (status < 0) break;
        }
        if (block.type == 99) {
            tp_marker_block marker;
            cursor_marker(block, marker, status);
            if (status < 0) break;
            if (marker.code == kMarkerLayerOpen) list_cursor().cursor_layer_z = marker.z;
        }
        if (scan.met && block.motion()) {
            read_again(block, status);
            if (status >= 0) cursor_number(target, status);
            if (status < 0) break;
            type = block.type;
            UPDBOT(status);
            return;
        }
        if (drill_procedure() && !block.motion()) {
            show_passed(status);
            if (status < 0) return;
        }
        if (cursor_step(scan.direction, status)) continue;
        if (status < 0) break;
        if (!scan.wrapped) {
            // The first end of the list: the rest is searched from the first block on.
            scan.wrapped = true;
            scan.direction = kStepForward;
            go_first(status);
            continue;
        }
        userrc("INDICATED BLOCK WAS NOT FOUND WITHIN CURRENT PROCEDURE");
        target = start;
        passed_start = 0;
        if (!cursor_return()) return list_error("JPINDP, ERRORS IN LIST", status);
        status = kCursorNotFound;
        return;
    }
    cursor_return();
    list_error("JPINDP, ERRORS IN LIST", status);
}
