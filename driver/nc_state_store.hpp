// The NC state kept in the part's module data: SEGSTR restores every block at the start of a
// procedure run (and rewrites the work coordinate record "COOR"), save_nc_state writes them back
// at the end of a run, at module-data updates and at every backup during execution.
#pragma once

inline constexpr int kRestoreWithView = 1;  // the view checks and the "COOR" update
inline constexpr int kRestoreOnly = 3;

// Mode 1 fails with status -1 and restores nothing when no view is selected ("SEGSTR, NO MACSYS
// IS CURRENTLY SELECTED") or the view number is out of range ("SEGSTR - VIEW NUMBER OUT OF
// RANGE !"). A missing record leaves its block as it was; a stored record longer than its block
// gives only the block's words.
void SEGSTR(int mode, int& status);

// Writes every saved block in order and always releases the tool instance, the parameter
// translations and the bad-surface list; status 0, or the status of the first write that failed.
void save_nc_state(int& status);

// Clears EDA2 (words 2, 3 and 6 to -1, the others to 0, counted from 1) and, with a non-zero save
// flag, writes it under "EDA2".
void save_state_eda2(int save_flag);
