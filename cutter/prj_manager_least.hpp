// The projection manager of the cutter location: the procedure start switches it off. Least
// version until the cutter location is built: the switch is kept and read back.
#pragma once

inline constexpr int kProjectionOff = 0, kProjectionOn = 1;

void prj_manager_set(int mode);
int prj_manager_mode();

// 1 while the manager is switched on (never in this module), else 0.
int prj_manager_active();
// Turns the manager's item (1 to 4) on (non-zero) or off; another item is ignored.
void prj_turn_on_off(int item, int on);
// The item switches, 0 for an item outside 1 to 4.
int prj_item_on(int item);
