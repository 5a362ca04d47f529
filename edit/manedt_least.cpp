// Manual editor and trimming services of the execution menu, least version (see the header).
#include "edit/manedt_least.hpp"

void manedt(int& status) { status = 0; }
void goto_last_added_block(int /*mode*/, int& status) { status = 0; }
void trim_menu_reset() {}
int trim_restart_active() { return 0; }
