// The break checks of an execution: EXCBRK for long loops and the check of machining type 36.
// After a display break EXCBRK opens the menu through the execution-menu table, whose entry
// (toolpath/exec_break_menu.hpp) chooses the menu's mode from the tool-path list.
#include "nc_services/exec_control.hpp"

#include "host/vantu.hpp"
#include "nc_services/display_break.hpp"
#include "nc_services/exec_menu_services.hpp"
#include "nc_services/machining_type.hpp"

namespace {

constexpr int kSpace = 32;
constexpr int kNoKey = -1;
constexpr int kNo = 0;

}  // namespace

void EXCBRK()
{
    if (machining_type() == 36) {
        exec_break_check36();
        return;
    }
    int pause = 0;
    check_display_break(pause);
    if (pause) exec_menu_service_table().exec_break_menu();
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
