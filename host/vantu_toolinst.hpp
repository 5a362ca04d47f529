// The tool instance on the screen beyond its id (tm_inst_id, host/vantu_ncstate.hpp): moving the
// instance by a matrix, deleting it, and the XOR drawing of the moving tool during execution and
// manual editing.
#pragma once

// Moves instance `instance` (a symbol instance entity) to the origin (three floats, machine
// coordinates) turned by the matrix (nine floats, row by row) at the scale; mode 0 leaves a copy
// behind (a trace step), any other mode moves the instance itself. Status 0; -5 when no entity
// has the id, -1 for a missing matrix or origin.
void figmvx(int instance, const float* matrix, const float* origin, float scale, int mode, int& status);
// Deletes the tool instance the host holds (tm_inst_id) with its entity and forgets its id.
void tm_inst_delete();
// XOR drawing of the tool instance: mode 1 during execution, 2 during manual editing; disabling
// goes back to plain drawing.
void EnableNCToolXOR(int mode);
void DisableNCToolXOR();
// The window mode of the graphics: 1 while the host shows the tool path in its own window (the
// tool is hidden before blocks are blanked then), else 0.
int get_win_mode();
// Lets the host hide the tool instance; nc_tool_disp_hide(0) hides it, 1 shows it again.
void EnableHideTool();
void nc_tool_disp_hide(int show);
