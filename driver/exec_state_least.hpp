// What the machine-slot writer needs of the procedure driver before it is built: the execution
// display mode, the wire-EDM modal values WRMB and the execution menu after a display break.
// Least versions, replaced by the driver's own files.
#pragma once

#include "host/words.hpp"

// The execution display mode: 1 until the driver sets it.
void get_exec_disp_mode(int& mode);
// Word index (0 to 26) of WRMB; 0 for every word until the NC state blocks are built.
word wrmb_word(int index);
// The execution menu after a break; mode 1 with move blocks, 2 without. Does nothing yet.
void exec_pause_menu(int mode);
