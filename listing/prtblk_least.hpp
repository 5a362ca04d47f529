// PRTBLK, the printer of one tool-path block into a listing file, as the procedure header
// listing calls it. Least version until the tool-path listing is built: one line with the block
// type and number.
#pragma once

// Reads the head of the block at `where` (2 the list, 1 the open entity) and writes
// "BLOCK TYPE = t  BLOCK NUMBER = n" on the unit; block_type answers t. Status 0; negative with
// "PRTBLK - ERROR IN BLOCK. BTYPE =" when the head cannot be read.
void PRTBLK(int form, int unit, int where, int procedure_id, float scale, int& block_type, int& status);
