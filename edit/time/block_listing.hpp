// BLKLST, the BLOCK LIST choice of the editor's SERVICE submenu: every block of the current list
// level (the procedure's movement sub-list) printed by PRTBLK into the text file
// "<part>_BLOCK_<n>" on unit 19, between a heading and the procedure's end lines.
#pragma once

// Lists the procedure list_cursor names. Status 0 after a complete listing ("OUTPUT TO FILE"
// with the file's name); -1 when the name cannot be made, the file cannot be opened ("BLKLST,
// CANNOT OPEN FILE"), the level is empty or a block cannot be printed. The list position is kept
// and an opened file is closed either way. Writes lst_state's current procedure.
void BLKLST(int& status);
