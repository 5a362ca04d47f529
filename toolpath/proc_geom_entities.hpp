// The geometry entities of a procedure: a new entity created for a geometry kind and completed
// with its length, the temporary chain the host keeps while a procedure is redefined, settled at
// the finish (update_proc_geoms) or when the procedure is copied into the host's records
// (save_geom_entities), and the ids in use (find_geom_buf). Reads and sets the flag globals.
#pragma once

#include "toolpath/proc_flags.hpp"

#include <array>
#include <string_view>

using geom_id_list = std::array<int, proc_geom_pairs::kPairs>;

// Creates and opens a geometry entity (class 9, type 7) for the kind: -1, the 8-character name,
// the program version number, the kind, 0. old_id is the pair's id before the call. The entity
// stays open for the caller's records. "create_geom_ent, PROBLEMS IN CREATING ENTITY" when it
// cannot be created.
void create_geom_ent(int kind, std::string_view name, int& new_id, int& old_id, int& status);
// Completes a new geometry entity: the recompute mark of its kind, its length, and either the
// pair's id (no old entity) or the temporary link from the old entity (or its temporary).
void geom_length_update(int kind, int new_id, int old_id, int length, int& status);
// The entity ids in use for the pairs: an entity's last temporary when it has one (unless that is
// of host geometry type 10012), else the entity. "find_geom_buf, ERRORS IN LIST" (-1) when a host
// call fails.
void find_geom_buf(geom_pair_words pairs, int& count, geom_id_list& ids, int& status);
// Mode 1: settles the temporary chain of every flagged pair with an entity and clears its flag.
void update_proc_geoms(int mode, int& status);
// Stores the geometry entities of the pairs in the host's NC entity table, replacing an entity by
// its temporary; ids answers the entities entered. "save_geom_entities, ERRORS IN LIST" (-1) when
// a host call fails.
void save_geom_entities(geom_pair_words pairs, int& count, geom_id_list& ids, int& status);
