// Least versions of the execution display mode, WRMB and the execution menu (see the header).
#include "driver/exec_state_least.hpp"

void get_exec_disp_mode(int& mode) { mode = 1; }

word wrmb_word(int index)
{
    (void)index;
    return 0;
}

void exec_pause_menu(int mode) { (void)mode; }
