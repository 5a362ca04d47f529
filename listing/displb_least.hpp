// Block display of the block just written (DISPLB). Least version until the tool-path display
// is built: it shows nothing and never reports a break.
#pragma once

void DISPLB(int mode, int& break_flag, int& status);
