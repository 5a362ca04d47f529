// PRTBLK, the printer of one tool-path block of any type into a listing file: the block head is
// read, the block by its type with its reader, moved relative to the listing origin in the
// listing form, and printed with the printer of its type. The tool-path listing, the procedure
// listings and the procedure header lines call it.
#pragma once

// where: 2 the list, 1 the open entity. procedure_id: -1 the current tool-path list. block_type
// answers the type read. Status 0 after a printed block, also after a type that has no printer
// ("PRTBLK - UNEXPECTED BLOCK TYPE", its words skipped) and the old drill block (a warning);
// negative after "PRTBLK - ERROR IN BLOCK. BTYPE =" when the block cannot be read or printed.
// Reads and writes lst_state (origin, last type, current procedure).
void PRTBLK(int form, int unit, int where, int procedure_id, float scale, int& block_type, int& status);
