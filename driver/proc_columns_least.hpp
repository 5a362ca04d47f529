// The columns of the procedure table that the procedure status line reads: the NC function, the
// block number and the manual-changes flag of each procedure, by position 1 to 201 beside the
// text columns of proc_summary(). Least version: the procedure table of the display subsystem
// fills every column and replaces this file, keeping these names.
#pragma once

struct proc_columns_entry {
    int nc_function = -1;     // the procedure's NC function code; -1 when absent
    int block_number = -1;    // its block number in the tool path
    int manual_changes = 0;   // 1 when the procedure's motions were changed by hand
};

// The entry of a position 1 to 201; null (with one error line) for any other position.
proc_columns_entry* proc_columns(int position);
