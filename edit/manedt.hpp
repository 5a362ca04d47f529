// The manual editor of one procedure's tool path: a cursor over the procedure's motion blocks, the
// block under it marked and shown, and a menu headed "MOVE TOOL" with which the user steps and
// jumps the cursor, chooses how much of the path is shown and, as far as the caller permits,
// deletes, trims, opens the service submenu and the machine-parameter page. The execution menu
// opens it on the procedure being written, with browsing rights only; a caller that grants rights
// names a procedure whose block the list stands on.
#pragma once

#include <array>

// The caller's rights, seven words counted from 1: word 1 DELETE, 2 DELETE TO END, 2 and 3 SERVICE
// and ALTERATIONS, 3 ADD:GO, 5 MACH.PARAMS, 6 ADD MESSAGE and EDIT.MESSAGE; 4 and 7 not read.
using edit_perm = std::array<int, 7>;

// procedure: above 0 the procedure whose block the list stands on; 0 or less the procedure being
// written (the cursor ends on its last motion block). start_at_end: the cursor starts on the last
// motion point (cleared when used). blank_on_exit: show nothing at the start, blank the procedure
// at the end. changed: set to 1 when the tool path was changed. Status 0; -3 after a reported
// error ("manedt,ERRORS IN LIST"). Reads and writes the model data "MEDZ" (the step delay).
void manedt(int procedure, const edit_perm& perm, int& start_at_end, int blank_on_exit, int& changed, int& status);
// The execution menu's call: the procedure being written, browsing only.
void manual_edit_browse(int& status);
