// The MACHINE PARAMS page of the procedure dialogs: the current tool (shown, or replaced from the
// tool list), coolant, cutter compensation, cutting or spindle speed with the spin direction, the
// feed and its percentages, punch and nibbling states, the feed switch, the machine kind and the
// rapid feed. The procedure top menu and the machine and part-plane dialog open it.
#pragma once

#include "pocket/proc_dialog_seams.hpp"  // kMachItemFlags

// no_display: the no-display flag (the page ends after one answer without its stores);
// item_flags: the items shown (see the page's table); mode 1 hides the compensation mode. status
// 0; -1 when the current tool cannot be stored back or the interaction cannot start. Reads and
// writes PRM9, the feed switch and the current tool's cutting condition; reads NPT1, MXF1 and the
// machining type.
void mach_params_menu(int& no_display, int (&item_flags)[kMachItemFlags], int mode, int& status);

// The procedure driver's feed switch (1 feed, other values rapid) that the page edits.
int& feed_switch();
