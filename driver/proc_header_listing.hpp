// The blocks of a procedure in the procedure header listing: each block printed through PRTBLK
// with a separator line after every block not followed by a text block (type 10). The procedure
// header listing calls them.
#pragma once

#include <string>

// The separator: "|", 24 "-", "|", 24 "-", "|", 24 "-", "|" (76 characters).
std::string proch_separator();

// Prints the blocks of the procedure being listed (id -1, or the current procedure) from the
// list position on the unit, then four blank lines; any other procedure goes to proch1_ent.
// Status 0, or the printer's negative status.
void proch_blocks_write(int procedure_id, int unit, int word, int& status);
// Prints a procedure entity (class 9, type 4) or the header of a tool-path entity (class 9,
// type 3) with its separator. Status 0; -1 after "proch1_ent, PROBLEMS IN OPENNING ENTITY" or
// "proch1_ent, NOT A TOOL PATH ENTITY. id = " with the id.
void proch1_ent(int entity, int unit, int word, int& status);
