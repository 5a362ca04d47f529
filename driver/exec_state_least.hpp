// What the machine-slot writer needs of the procedure driver: the execution display mode
// (driver/exec_disp_mode.cpp), the wire-EDM modal values WRMB (listing/display_state_blocks.cpp)
// and the execution menu after a display break, which is still a least version here until the
// execution control is built.
#pragma once

#include "host/words.hpp"

// The execution display mode: 1 until the driver sets it.
void get_exec_disp_mode(int& mode);
// Word index (0 to 26) of WRMB; 0 for an index outside the block.
word wrmb_word(int index);
// The execution menu after a break; mode 1 with move blocks, 2 without. Does nothing yet.
void exec_pause_menu(int mode);
