// The size of a tool path for the header listing (GTTPSZ): the words of every block of the top
// list, of the sub-lists of its procedures or of their stored motion entities, and of their
// geometry entities, in bytes.
#pragma once

#include "toolpath/proc_flags.hpp"

// Walks the top list from its first block and comes back to where it started. Status -1 and size
// 0 below the top level; "GTTPSZ - CANNOT SET A MARKER" and "GTTPSZ - inconsistency in list" on
// list failures.
void GTTPSZ(int& size, int& status);
// The bytes of a stored tool-path entity with what it refers to: a procedure record counts its
// parameter records, geometry entities and stored motion entity too.
void tp_entity_size(int entity, int& size, int& status);
// Bytes of the geometry entities of the pairs, and of the stored motion entity of procedure
// record record_id.
void geom_set_size(geom_pair_words pairs, int& size, int& status);
void movmnt_size(int record_id, int& size, int& status);
