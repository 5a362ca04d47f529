// The projection manager of the cutter location: the procedure start switches it off. Least
// version until the cutter location is built: the switch is kept and read back.
#pragma once

inline constexpr int kProjectionOff = 0, kProjectionOn = 1;

void prj_manager_set(int mode);
int prj_manager_mode();
