// The context of the procedure being written, saved before another procedure's blocks are
// written in between (the editing and the go-point procedures) and put back after them.
#pragma once

// Only when level is below 1. Modes 1 and 3 put the saved context back (all but the PRM9 word of
// machine slot 55, which keeps its present value), show the current tool again at the position
// and axis of DSP8 and, for mode 1, refresh the machine status line; any other mode saves it.
// Status 0.
void proc_ctx_save(int level, int mode, int& status);
