// What the machine-slot writer needs of the execution control: the execution display mode
// (driver/exec_disp_mode.cpp) and the execution menu after a display break, which is still a
// least version here until the execution control is built. It reads WRMB through wrmb_word of
// driver/nc_state_blocks.hpp.
#pragma once

// The execution display mode: 1 until the driver sets it.
void get_exec_disp_mode(int& mode);
// The execution menu after a break; mode 1 with move blocks, 2 without. Does nothing yet.
void exec_pause_menu(int mode);
