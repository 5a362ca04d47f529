// The in-place update of a procedure block after its execution (PTUB12), the header update of a
// procedure whose motions are kept or whose execution was suspended (WUPDSL), and the return of
// motions kept in a stored motion entity (open_proc_movmnt). The driver's finish step calls them
// with the list standing on the procedure block.
#pragma once

// First and last points and axes of the block's motions into items 5, 27, 6 and 28 of segment 24
// (nothing when its sub-list holds no movement block).
void ptub12_points(int& status);
// Updates the procedure block at the current position: the points when the geometry changed;
// the last NC state items 8, 10, 13, 14, the clearance and the block count of the sub-list
// (item 20); the current tool for procedure type 100; the suspended marks (items 44 := 3,
// 22 := 2); the display mode (item 31) when it changed. Reads NPT1, HEI8 and PRM9. A block that
// is no procedure reports "PTUB12, THE CURRENT BLOCK IS NOT A PROCEDURE" (-1); a failed list
// operation "PTUB12, ERRORS IN LIST".
void PTUB12(int geometry_changed, int suspended, int display_changed, int display_mode, int& status);
// The header update (the suspend flag is EDA2 word 13): restores the sub-list header words saved
// under "SONH" when the procedure was opened (flag 0), or resets them and marks the motions as
// copied (flag set). List failures are reported with "WUPDSL, ERRORS IN LIST" only.
void WUPDSL(int suspend);
// Mode 1, 2 or 3: brings the stored motions of the procedure back into its sub-list when they
// are kept in a motion entity (modes 2 and 3 mark the block so); mode 2, or mode 1 once they
// are back, then opens the sub-list (status 2). Mode 1 with stored motions gives status 1 when
// the host reports the procedure open.
void open_proc_movmnt(int mode, int& status);
