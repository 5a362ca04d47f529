// The trimming driver: the tool of the manual editor's ALTERATIONS that deletes, lifts or moves
// to a plane or the reference surfaces the motions of a procedure chosen by a contour, by picking
// or as a whole.
#pragma once

// Trims the procedure's motions. surface_option 1 offers the reference surfaces among the
// operations. Status: the number of trim operations done (0 when nothing was changed), or the
// first negative status of a call that ended the run.
void trim_tp(int procedure, int surface_option, int& status);

// 1 while the driver's restart point is armed: a STOP in the execution menu then comes back to
// the driver (execution_stop kTrimRestart) instead of ending the editor.
int trim_restart_active();
