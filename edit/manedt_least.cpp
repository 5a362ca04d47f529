// Trimming services of the execution menu and the manual editor, least version (see the header).
#include "edit/manedt_least.hpp"

void goto_last_added_block(int /*mode*/, int& status) { status = 0; }
int trim_restart_active() { return 0; }
void trim_tp(int, int, int& status) { status = 0; }

int& edit_pick_flag()
{
    static int flag = 0;
    return flag;
}
