// The menu after a display break, with the backward search for a move block that chooses its mode.
// It reads the tool-path list, so it stands here and not beside the break checks
// (nc_services/exec_control.hpp), which reach it through the execution-menu table.
#pragma once

// The menu after a display break: mode 2 when the list has no lines or no move block precedes the
// position, 1 otherwise; no menu when the search fails. The motion and marker writers and the
// progress line call it after a break.
void exec_break_menu();
// From the current list position, block by block (direction 1 forward, else backward), looks for
// a move block; not_found 0 when one was found. The position is put back through list marker 5.
// Status -1 when a block cannot be read or the marker cannot be set or restored.
void tp_marker_find(int direction, int& not_found, int& status);
