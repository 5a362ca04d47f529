// Block display of the block just written (DISPLB). Least version until the tool-path display
// is built: it draws nothing, and in display mode 1 it reports the break of the display check.
#pragma once

// Mode 1: break_flag answers check_display_break; any other mode: 0. Status 0.
void DISPLB(int mode, int& break_flag, int& status);
