// The optimizer block against the procedure block of the tool-path list: reading the items back
// when a procedure is opened, the optimizer-active test, and the tilted flag of item 130, which
// the finish step tests or removes after an execution.
#pragma once

// Defaults first, then every item of segment 24 the block holds, in the writer's reading order,
// from the current procedure block of the list; a missing item keeps its default. Item 81 is
// cleared unless the procedure type is 38 or 54. Also reads the current tool id of the machine
// table into PRM9. Status 0, or the first negative status of a read (later items keep their
// defaults).
void opt_params_read(int& status);

// 0 when the optimizer leaves the procedure alone (items 59, 62, 65, 71 and 76 all 1 and option
// mode 1 in item 130 of the current block); otherwise 1.
int opt_active();

// Reads item 130 of the current procedure block into the current block (1 when the item is
// missing, status 1). tilt_flag_remove then clears a set tilted flag in the list as well;
// tilt_flag_test only reports it on the NC debug output. Status of the search or read.
void tilt_flag_remove(int where, int& status);
void tilt_flag_test(int where, int& status);
