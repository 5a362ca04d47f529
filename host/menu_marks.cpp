// Marks on the items of the next menu (host/vantu_menu_marks.hpp): recorded in the trace only,
// since the stand-in's menus are answered by the script and never drawn.
#include "host/vantu_menu_marks.hpp"

#include "host/core/trace.hpp"

#include <string>

void menu_item_mark(int item, int state, int& status)
{
    status = item >= 1 && (state == 0 || state == 1) ? 0 : -1;
    vantu::trace_call("menu_item_mark", std::to_string(item) + "," + std::to_string(state), status);
}
