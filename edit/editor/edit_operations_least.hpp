// The manual editor's operations that later work builds whole, in their least form: deletion from
// the anchor to the cursor (EDTDLT), deletion to the end (EDTTRM), the machine-parameter page
// (EDTPRM) and the update after an edit (mnedup). The least forms change no block: deletions do
// nothing and report no change; mnedup closes the sub-list the editor opened, clears DSM4's
// cutter-compensation word and refreshes the tool field of the status line, without rewriting
// the procedure block.
#pragma once

// Deletes from the anchor block to the cursor block. changed and layer_changed out. Status 0.
void EDTDLT(int anchor, int cursor, int& changed, int& layer_changed, int& status);
// Deletes from the cursor to the end of the procedure. Status 0.
void EDTTRM(int cursor, int& changed, int& layer_changed, int& status);
// The machine-parameter page at the cursor. Status 0.
void EDTPRM(int& changed, int& status);
// The update after an edit: sublist_opened (in/out) is the editor's flag, cleared when the sub-list
// is closed. Status 0; -1 with "[mnedup, ]ERRORS IN UPDATE AFTER MANUAL EDIT".
void mnedup(int window_update, int& sublist_opened, int& status);
