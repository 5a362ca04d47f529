// What the procedure run needs of the criteria lists: re-applying the active geometry masks when
// a procedure starts or is defined (crit_activate), and the criteria list of one procedure in
// criteria-list mode (proc_criteria_list). Least version until the criteria lists are built.
#pragma once

// For each geometry type 0 to 3 whose mask is active: a type without mask records is switched
// off and its change flag cleared; otherwise the change flag is read. status: the first change
// found (0 none). The mode and the apply flag are taken as given; re-finding geometry by
// criteria waits for the criteria lists.
void crit_activate(int mode, int apply, int& status);
// Appends the current procedure's criteria to the tool path's criteria file. Least version: no
// file is written; status 0.
void proc_criteria_list(int nc_function, int word, int& status);
