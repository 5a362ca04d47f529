// The EXECUTION menu of an interrupted execution. The break checks and the progress line of
// nc_services/ open it through their seam table (nc_services/exec_menu_services.hpp).
#pragma once

#include "nc_services/exec_control.hpp"

// The EXECUTION menu in mode kMenuMovesWritten or kMenuNoMoves. Shows nothing unless "UITR"
// reads 1.
void exec_pause_menu(int mode);
