// The cursor routines of the manual editor: jumps to the first or last motion of the procedure or
// to a block named by its number, steps of a number of motion points forward or backward, the
// search of the block a number of LAYER or PASS markers away or at a height, and the update of
// the modal display state at the cursor. The cursor is the current position of the host
// tool-path list inside the procedure's movement sub-list; after a move it stands on a motion
// block. A string block (types 7, 27, 227) holds one point per vertex; a move that stops inside
// one breaks it into single blocks first (BRKSTR), which changes the list, not the tool path.
//
// All read and write the cursor words of list_cursor() (cursor_fn_code, cursor_proc_blkno,
// cursor_layer_z, cursor_mrkr_code, prm_unchanged_flags) and NPT1's origin Z. Status: 0 done; 1 an
// end of the list came first; 2 (MVBCWD) a layer boundary was crossed; -2 (JPINDP) not found;
// -1 list error.
#pragma once

#include "edit/editor/list_cursor_state.hpp"

#include <span>

inline constexpr int kCursorEnd = 1;
inline constexpr int kCursorLayerCrossed = 2;
inline constexpr int kCursorNotFound = -2;

// The cursor on the first motion block of the procedure (block number -1 when there is none; the
// cursor then stays at the end). Blocks passed are shown; no marker is set.
void JPSTRP(int& number, int& type, int& status);
// The cursor on the last motion block; in a drill procedure every block is shown first so that the
// cycle state of the display is current. Block number -1 and the cursor unmoved without motions.
void JPENDP(int& number, int& type, int& status);
// The cursor from block `start` to block `target` (written back: the motion block reached);
// passed_start 1 when the scan met the start block. Not found: "INDICATED BLOCK WAS NOT FOUND
// WITHIN CURRENT PROCEDURE", target back to start, the cursor back, status -2.
void JPINDP(int start, int& target, int& type, int& passed_start, int& status);
// The cursor count points forward (count out: the points counted). display 1 shows every block
// passed; 0 passes them silently but for parameter blocks.
void MVFRWD(int display, int& count, int& number, int& type, int& status);
// The cursor count points backward (count out: the points counted with the starting block). Sets
// prm_unchanged_flags for the parameter types it passed.
void MVBCWD(int& count, int& number, int& type, int& status);
// One point in the direction (1 forward, 2 backward), the block reached marked and shown; path
// out names it. Status -3 when the display failed.
void step_cursor_mark(int direction, blk_path& path, int& type, int& status);
// The cursor on a motion block again after the list was walked by another dialog (the message
// editor): the current block when it is a motion (path names it, marked), else one point
// backward (step_cursor_mark). Sets TLER's mode to TOOL: DISPLAY. Status 0, or the failing
// call's status.
void edit_msg_remark(blk_path& path, int& type, int& status);
// The block number where a layer or pass step of count markers (landing on the side of second)
// or a jump to the shown height would land; the cursor does not move.
void find_mrkr_target(int count, int second, float height, int& number, int& status);
// The modal display state at the cursor: the last parameter block of each type of
// updbot_prm_types is applied again. Entered with a negative status it only reports.
void UPDBOT(int& status);
// The block number (second level) of the block the user picked; false with "PLEASE INDICATE ON
// ONE OF THE PROCEDURE BLOCKS" when the pick is not one of the cursor procedure's blocks.
bool picked_procedure_block(int& number);
// The parameter types UPDBOT hands on for a machine type (empty: none).
std::span<const int> updbot_prm_types(int machine_type);
