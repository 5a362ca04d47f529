// Deletion of a range of motion blocks under the manual editor's cursor, with the gap closed by
// one straight move, through the clearance plane, or by cutting the range's loops out instead
// (EDTLOP). The editor's delete, delete-to-end and go-motion insertion call DLTBLK;
// prm_from_modal loads the working machine parameters from the modal values at the cursor.
#pragma once

#include "edit/editor/list_cursor_state.hpp"

// Modes of DLTBLK: no connection (drill procedures), the editor's delete (options offered on
// mills), deletion to the end of the procedure (THROUGH CLEAR with the defaults).
inline constexpr int kDeleteNoConnect = 0, kDeleteRange = 1, kDeleteToEnd = 2;
// Status of DLTBLK when no motion precedes the deleted range.
inline constexpr int kDeletedAtStart = 17;

// Deletes the motion blocks from the block of `first` to the block of `last` (either order; the
// blocks of other kinds in the range stay) after the user confirmed, and closes the gap. The
// connection is written before the range is deleted; when writing it fails, what was written is
// removed and the motions stay as they were (status -3). stay 1: a cancel returns on the marked
// block instead of stepping the cursor on. result names the block after which the connection
// stands (the procedure block when no motion precedes the range); type the block type reached.
// deleted is 1 once a block was deleted; in_layer 1 when the range lies in a LAYER and something
// was deleted. With DELETE LOOP, EDTLOP's results (last then names the cursor's final block).
// Status 0; 17 done with no motion before the range; -2 cancelled (-1 when the confirmation
// answered -1); -3 an error, reported. Uses list markers 5 and 6.
void DLTBLK(int mode, int stay, blk_path& result, int& type, const blk_path& first, blk_path& last, int& deleted,
            int& in_layer, int& status);

// The working machine parameters (PRM9) from the modal values in force (DSM4) by NPT1's machine
// type: mills (22-26, 31) feed, cutting and spindle speed, spindle direction, coolant and tool;
// types 61-80 the tool; other types tool, pitch, nibbling, punch and index; every type the value
// of parameter type 55. Status 0.
void prm_from_modal(int& status);
