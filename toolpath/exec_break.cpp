// The break checks of an execution: EXCBRK for long loops, the menu after a display break, the
// check of machining type 36, and the backward search for a move block that chooses the menu's
// mode. Reads the machining type and the tool-path list.
#include "toolpath/exec_control.hpp"

#include "host/vantu.hpp"
#include "toolpath/display_break.hpp"
#include "toolpath/exec_menu_services.hpp"
#include "toolpath/machining_type.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kSpace = 32;
constexpr int kNoKey = -1;
constexpr int kNo = 0;
constexpr int kBackward = -1;
constexpr int kPositionMarker = 5;
constexpr int kMarkSet = 1;

}  // namespace

void tp_marker_find(int direction, int& not_found, int& status)
{
    not_found = 1;
    status = 0;
    int lines = 0;
    llines(lines);
    if (lines == 0) return;
    int marked = 0;
    lmark(kMarkSet, kPositionMarker, marked);
    if (marked < 0) {
        status = -1;
        return;
    }
    const bool found = tp_find_motion_block(direction, status);
    int restored = 0;
    tp_list_top_mark(kPositionMarker, restored);
    if (restored < 0) status = -1;
    if (status >= 0) {
        status = 0;
        not_found = found ? 0 : 1;
    }
}

void exec_break_menu()
{
    int lines = 0;
    llines(lines);
    int mode = kMenuNoMoves;
    if (lines > 0) {
        int not_found = 1, status = 0;
        tp_marker_find(kBackward, not_found, status);
        if (status < 0) return;
        mode = not_found ? kMenuNoMoves : kMenuMovesWritten;
    }
    exec_menu_service_table().exec_pause_menu(mode);
}

void EXCBRK()
{
    if (machining_type() == 36) {
        exec_break_check36();
        return;
    }
    int pause = 0;
    check_display_break(pause);
    if (pause) exec_break_menu();
}

void exec_break_check36()
{
    int key = kNoKey;
    gupdat(key);
    if (key != kSpace) return;
    modinz();
    int answer = kNo;
    irepyc("CONTINUE?", answer);
    // NO would abandon the computation to the restart point of machining type 36. This module
    // never sets one, so the computation goes on whatever the answer.
    modinz();
    prmptc(" E X E C U T I N G... ");
}
