// The EXECUTION menu that the break checks (nc_services/exec_break.cpp) and the progress line open
// when the user pauses an execution. The menu is the driver's (driver/exec_pause_menu.hpp), so
// they call it through this table, which the driver fills when the module is loaded
// (driver/seam_fills.cpp; pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/seam_entry.hpp"

inline constexpr char kExecMenuServicesName[] = "exec_menu_services";

struct exec_menu_services {
    using unfilled = unfilled_seam<kExecMenuServicesName>;
    // exec_pause_menu (driver/exec_pause_menu.hpp): the menu in mode kMenuMovesWritten or
    // kMenuNoMoves (nc_services/exec_control.hpp).
    void (*exec_pause_menu)(int mode) = unfilled{};
    // exec_break_menu (toolpath/exec_break_menu.hpp): the menu after a display break, its mode
    // chosen from the tool-path list.
    void (*exec_break_menu)() = unfilled{};
};

// The menu the break checks call; assign an entry to replace it.
exec_menu_services& exec_menu_service_table();
