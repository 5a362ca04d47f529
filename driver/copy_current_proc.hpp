// The copy of a procedure inside the current tool path: its procedure block and its movement
// sub-list inserted right after it as the next procedure. The split by tool makes its pieces so.
#pragma once

// Copies procedure `procedure` (its place among the procedure blocks of the top list) after
// itself. The copy takes the block number after the original's; the top-level blocks numbered
// above the original move up by one, as do the procedure count ("NPRC") and the entries of
// proc_table after the original. Status 0; -1 when no such procedure exists or the list fails,
// the tool path then left as it was.
void COPY_CURRENT_PROC(int procedure, int& status);

// The number of procedure blocks in the top list; the list is left on the top list's last line.
int tp_procedure_count();
