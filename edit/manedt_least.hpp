// What the execution menu and the manual editor need of the trimming: the return to the last
// added block while trimming, whether the trimming driver's restart point is set, and the
// trimming tool itself (the menu rebuild lives with trim_state in edit/trim/trim_state.hpp). Least version until trimming is built: no
// trimming restart point is ever set and the trimming tool changes nothing.
#pragma once

#include "edit/trim/trim_tp.hpp"

// The execution menu calls these through driver/edit_seams.hpp.
// Mode 2 marks the current list position, mode 1 returns to it. Status 0.
void goto_last_added_block(int mode, int& status);
// 1 while the trimming driver's restart point is set.
int trim_restart_active();
// 1 when the user indicated a block in JUMP BLOCK or chose DELETE since the editor last cleared it;
// the trimming tool reads it.
int& edit_pick_flag();
