// The manual editor's cursor moves: one move by the cursor words of list_cursor() (direction, jump
// kind, step unit, count, show mode), with the display kept in step: the block under the cursor
// carries the attention mark, blocks are blanked or shown by the show mode, the tool follows and
// the status line is current. The moves themselves are the cursor routines'. Also the start values
// of the cursor words and the procedure's first and last motion.
//
// Read and write list_cursor() and TLER (restored); read NPT1's origin Z, DSP8 and DSM4's tool.
#pragma once

#include "edit/editor/list_cursor_state.hpp"

// edit_mode values.
inline constexpr int kEditMoveTool = 1, kEditDelete = 2;
// A delay of this value means none.
inline constexpr float kNoDelay = -1.0f;

// One move. jump_to: the block of a JUMP BLOCK (-1: the block indicated last); anchor: the other
// end of a pending deletion; current: the path under the cursor (in/out); type out: the block
// type reached; delay: seconds between the points of an animated step (kNoDelay none); height:
// the shown height of a JUMP LAYER/Z. Status 0; 1 an end of the procedure was reached; -1 a list
// failure; -3 the block display failed.
void edit_move_cursor(int jump_to, int anchor, int edit_mode, blk_path& current, int& type, float delay, float height,
                      int& status);
// Clears the attention mark of the current block (unless it is the anchor or a deletion is
// pending) and copies the path into previous.
void edit_unmark_current(const blk_path& current, int anchor, int edit_mode, blk_path& previous);
// Marks the block reached and blanks (1) or shows (0) by the show mode: the block alone after a
// step, the range from previous after a jump (in the order of forward: 1 from previous on).
void edit_mark_step(const blk_path& current, int forward, const blk_path& previous, int blank);
// Shows only the current layer or pass of the procedure.
void show_layer_window();
// cursor_first_path, cursor_last_path and the shown range from the procedure's motions.
void find_first_last_motion(int& status);
// Start values of the cursor words; with start_at_end (cleared) the cursor goes to the last motion
// point. cursor_mrkr_code tells the markers the procedure has.
void edit_cursor_init(int proc_number_mode, int& start_at_end, int& status);
