// Bringing back the stored motions of a procedure: a MOVMNT entity (class 9, type 8) copied into
// a new sub-list of the current procedure block.
#pragma once

// entity_id 0 or less: nothing. Mode 1 hands the entity to the host's list reader (lclrnw) and
// leaves it open; any other mode reads the block count, marks the procedure open, opens the
// sub-list of the procedure block at the current position and copies that many blocks into it,
// stopping at the first failure; the entity is closed and the sub-list closed again. Reports
// "open_sub_list, PROBLEMS IN OPENNING ENTITY" and "open_sub_list, NOT A MOVMNT ENTITY. id = "
// with the id (-1).
void open_sub_list(int mode, int entity_id, int& status);
