// The procedure display: a whole procedure (its procedure block and every block of its movement
// sub-list, once for each copy of the procedure) replayed into the host's display file by a
// display mode (DSPROC), and the replay of a procedure whose movements lie in a movement entity
// (display_proc_movmnt). The driver's end step, the manual editor and the block listing call it.
#pragma once

// dmode 0 remove, 1 draw, 2 position only, 3 draw (going on without a place in the display file),
// 4 draw without deleting the old display; 8 to 11 as 1 to 4 into the simulation; 1000 + n draws
// procedure number n in mode 1 without the tool instance and leaves 1 in dmode. The list stands
// on the procedure block. status 0 done, -1 failure, or on the movement-entity road the copy
// iteration's last status. Reads CLP1, PRM9 and proc_table.
void DSPROC(int& dmode, int& status);
// Replays the movement entity of procedure entity `procedure` (mode 1). Status 0 (also when the
// procedure has no movement entity), the host's status when the entity cannot be opened (with
// " PROBLEMS IN OPENNING ENTITY"), or -1 when a block cannot be shown.
void display_proc_movmnt(int source, int& mode, int procedure, int& status);
