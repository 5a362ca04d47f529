// The menu after a display break and the search that chooses its mode: the EXECUTION menu in
// mode 1 when a move block precedes the list position, else mode 2. The motion and marker writers
// call exec_break_menu directly; the break checks of nc_services/ reach it through the
// execution-menu table (nc_services/exec_menu_services.hpp), which the driver fills with it.
#include "toolpath/exec_break_menu.hpp"

#include "host/vantu.hpp"
#include "nc_services/exec_control.hpp"
#include "nc_services/exec_menu_services.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

namespace {

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
