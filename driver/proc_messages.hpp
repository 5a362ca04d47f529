// The procedure driver's lines to the user: the status line of a procedure (stage, NC function
// and block number), the procedures created by a run, and the execution start, end, interrupt
// and resume lines.
#pragma once

// Stage codes of the status line besides the NC function number of a new procedure.
inline constexpr int kStageVerifying = 8, kStageExecuting = 10, kStageModifying = 11, kStageNew = 13,
                     kStageLoading = 18, kStageSaving = 19, kStageOptimizing = 31, kStageCriteria = 33;

// position: the procedure's position in the procedure table, negative for a new procedure, for
// which stage is its NC function number. Shows the stage text, the NC function's name and
// "=" with the block number, and the notes on manual changes and an updated work area (the
// manual-changes note not while the host's modify mode, gs_modify, is 1).
void proc_status_line(int position, int stage, int work_area_updated);

// "PROCEDURE NUMBER" n "IS CREATED", or the range of block numbers the run created; nothing when
// no procedure was created.
void proc_created_msg(int first_block, int last_block, int created);

// Index 1 to 8: its line with the date and time (index 2 adds a blank line). The suspended flag
// shows "PROCEDURE EXECUTION IS SUSPENDED" instead; the silent flag only a blank line.
void msg_line_show(int index, int suspended, int silent);
