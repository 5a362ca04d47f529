// The blocks of a procedure in the procedure header listing: each block printed through PRTBLK
// with a separator line after every block not followed by a text block (type 10), and the walk
// of a stored tool path's entries. The procedure header listing (PROCHD) calls them.
#pragma once

#include <string>

// The separator: "|", 24 "-", "|", 24 "-", "|", 24 "-", "|" (76 characters).
std::string proch_separator();

// The listing scale a caller hands in the word argument: a positive real in the word; any other
// word (0 among them) lists at scale 1.
float proch_scale(int word);

// Prints the blocks of the procedure being listed (id -1, or the current procedure) from the
// list position on the unit, then four blank lines; any other id goes to proch1_ent. word: the
// scale (proch_scale). Status 0, or the printer's negative status.
void proch_blocks_write(int procedure_id, int unit, int word, int& status);
// Prints a procedure entity (class 9, type 4) with its separator, or a tool-path entity (class 9,
// type 3): its header block, then its entries in order: kind 1 a procedure entity, kind 2 through
// proch_blocks_write, kinds 4 and 10 one block of a movement entity; other kinds are skipped, and
// a tool path met again inside its own walk is not walked twice. Status 0; -1 after
// "proch1_ent, PROBLEMS IN OPENNING ENTITY", "proch1_ent, NOT A PROCEDURE ENTITY. id = " or
// "proch1_ent, NOT A TOOL PATH ENTITY. id = " with the id. Reads and writes
// lst_state().header_list_paths.
void proch1_ent(int entity, int unit, int word, int& status);
