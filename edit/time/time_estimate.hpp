// The time estimate of the current procedure, the ESTIMATED TIME choice of the editor's SERVICE
// submenu: the walk over the blocks of the current list level, the times added up by kind, one
// stint per tool with the tool-life check, and the report (edit/time/time_report.hpp).
#pragma once

// Runs the estimate of the procedure list_cursor names, over the current list level, and writes
// the report as set_estimate_mode chose. first: 1 (the first block resets TIMEBLK's rates);
// where: 2 the list. Status 0 after a complete walk, 2 when the list level ended with -2, -1 on
// a failure (no output, an unreadable block, a 500th tool, an empty level). The list position is
// kept.
void time_estimate(int first, int where, int& status);

// The walk: header, every block, summary (always). Status as time_estimate.
void time_est_run(int first, int file, int where, int& status);
// One block through TIMEBLK: the time by kind, the tool-life warnings, the tool stints. Status -1
// when the block cannot be read or a tool cannot be registered.
void time_est_block(int first, int file, int where, int& status);
// The index of the tool in the estimate's table, registering it (name and life from the tool's
// record) when it is new. Status -1 when the table is full; the count stays.
void time_tool_register(int tool_id, int& index, int& status);
