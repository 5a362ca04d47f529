// The live block display: every block the motion output appends to a procedure's movement
// sub-list is shown the moment it exists (DISPLB), with the tool instance following, the machine
// status line kept current every 100th moving block and a user break passed up to the caller,
// which then opens the execution menu. The manual editor calls it for the blocks it steps to.
// The display state block of the procedure start is the hook table of nc_services/d3ds_hooks.hpp.
#pragma once

#include "nc_services/d3ds_hooks.hpp"

// The block counter of the live display: -1 refreshes at every block, 0 to 99 is the place in a
// cycle of 100 moving blocks.
struct live_display_state {
    int counter = 0;
};
live_display_state& live_display();

// mode 0: the block's earlier display is removed; 1 (execution): registered, drawn and polled for
// a break, the instance moved with figure-move mode 4; 2 (editor): position and modal state, the
// instance moved with mode 1; 3: as 2, and a tool instance is drawn first when none exists.
// break_flag: set to 1 when the display asked for a break, never cleared here. status 0, or -1
// for an invalid mode ("DISPLB, INVALID MODE TYPE. MODE = ") or a failed block display. Reads and
// writes DSP8 and LSP2; reads DSM4 (TOOL).
void DISPLB(int mode, int& break_flag, int& status);
// Stores the block counter (the driver sets 0 when a run starts, the editor -1).
void displb_set_count(int value);
