// The copy of a procedure inside the current tool path: its procedure block and its movement
// sub-list inserted right after it as the next procedure. The split by tool makes its pieces so.
#pragma once

// Copies procedure `procedure` (its place among the procedure blocks of the top list) after
// itself, the list left on the copy. The copy takes the top list's next block number and the
// original's associativity links; the procedure count ("NPRC") rises by one and the entries of
// proc_table after the original move up by one, the copy's repeating the original's. Status 0;
// -1 when no such procedure exists, the tool path holds 200 procedures already ("NUMBER OF
// PROCEDURES IN TOOL PATH EXCEEDED") or the list fails, the tool path then left as it was.
void COPY_CURRENT_PROC(int procedure, int& status);

// The number of procedure blocks in the top list; the list is left on the top list's last line.
int tp_procedure_count();
