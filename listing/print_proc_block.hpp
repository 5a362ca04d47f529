// The printer of procedure blocks (type 12) for the listings: the block is printed from the
// procedure's summary in proc_table's scratch entry 201, after the association check, in the full
// form through FORMAT records (form 0), the listing and header forms (1 and 2), or as one
// row of the procedure table (form 3). PRTBLK calls it for type 12.
#pragma once

// where 1: the block comes from the open entity (a stored procedure, procedure_entity), else the
// list (the list position is kept). block_number returns the procedure number, which also becomes
// lst_state's current procedure. block_type returns 12. Status 0; negative when the summary
// cannot be read (nothing printed).
void print_proc_block(int where, int procedure_id, int procedure_entity, int form, int unit, int size, int& block_type,
                      int& block_number, int& status);
