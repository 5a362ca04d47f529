// Go-motion insertion at the manual editor's cursor (ADD:GO of the SERVICE submenu): EDTGO finds
// the machine group of the tool path, EDTGOI prepares the insertion place after the cursor block,
// the go-motion dialog of the procedure driver writes the motions there, and EDTGOF joins them to
// the tool path again at a re-entry block the user picks.
#pragma once

#include "driver/mch_plane_dialog.hpp"
#include "edit/editor/list_cursor_state.hpp"
#include "toolpath/tp_blocks.hpp"

// The machine group of the go-motion dialog by NPT1's machine type, with whether the insertion
// place gets the feed mode or the punch and nibble modes: 22-24 group 1, 25-26 group 2 (both with
// feed), 12-13 group 3 (punch), 31 group 4 (feed), 61-80 group 5 (wire: neither). group is 0 for
// any other machine type.
struct go_machine_group {
    int group = 0;
    int feed_flag = 0;
    int punch_flag = 0;
};
go_machine_group go_group_of_machine(int machine_type);

// The fields the dialog offers for a group (positions from 1): always MACHINE PARAMS position 11,
// SERVICE position 4 and display position 3; groups 1 and 2 also machine 4, 5, 6, 8, 9 and
// service 1; group 4 machine 4, 5, 6, 8, 9; group 3 machine 1 and 8.
go_page_masks go_masks_of_group(int group);

// The masks EDTGO handed to the dialog last: cleared at every start of EDTGO.
go_page_masks& edit_go_masks();

// Inserts go-motions after the cursor block. cursor: the cursor's path (its attention mark is
// cleared; the re-entry steps it on); block_type: the editor's block-type word. changed is 1 when
// go-motions were written (always after the last motion of the procedure, where there is nothing
// to re-enter); layer_changed is 1 when something changed and the insertion place lies inside a
// LAYER or the re-entry deleted blocks of one. The procedure context EDTGOI saved is put back on
// every way out. Status 0; -1 with "WRONG TYPE OF MACHINING TYPE" for a machine type outside the
// groups, or when EDTGOI failed; -3 when the dialog or the re-entry failed. Reads NPT1, DSM4,
// PRM9 and list_cursor().
void EDTGO(blk_path& cursor, int& block_type, int& changed, int& layer_changed, int& status);

// The insertion place after the list position: the move writer continues from the last motion
// point before it (point, direction and its block number out), the procedure context is saved,
// the working machine parameters taken from the modal values, and the feed mode (feed_flag) or
// punch and nibble modes (punch_flag) written as parameter blocks there; the list goes back to
// the place (list marker 5). layer 1 when the place lies inside a LAYER. A failure after the
// context was saved puts it back. Status 0; -1 with "EDTGOI, ERRORS IN LIST" or "EDTOGI, ERRORS
// IN THE DISPLAY FILE".
void EDTGOI(const int (&flags)[2], const int (&modes)[2], point3& point, point3& direction, int& number, int& layer,
            int& status);

// The re-entry after the go-motions, the list on the last of them: the user picks the block at
// which the tool path goes on. The insertion block (or no pick, or a deletion the user declined)
// is joined by one straight move to the insertion point; a later block of the procedure by
// deleting the motions from the first block after the insertion through it (DLTBLK, which closes
// the gap); a block at or before the inserted motions is refused and picked again. cursor and
// block_type are stepped on. Status 0; -3 with "EDTGOF, ERRORS IN LIST" or "EDTGFN, ERRORS IN
// LIST".
void EDTGOF(const point3& point, const point3& direction, int number, blk_path& cursor, int& block_type,
            int& layer_changed, int& status);
