// The MACHINE PARAMS page of the procedure dialogs (tool, feed, spin, coolant), opened by the top
// menu of a parameter dialog and by the machine and part-plane dialog. Least version until the
// menus and listings are built: a page that changes nothing.
#pragma once

inline constexpr int kMachItemFlags = 13;

// no_display: the no-display flag; item_flags: the items shown; mode 1 hides the compensation
// mode. status: 0, negative when the interaction cannot start.
void mach_params_menu(int& no_display, int (&item_flags)[kMachItemFlags], int mode, int& status);
