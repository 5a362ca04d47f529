// The host's registry of tool-path entities as the procedure manager sees it: the procedure
// being edited, the tool paths that hold a procedure, the tool path being worked on and the
// header words of each tool-path entity. The machining type reads them for a procedure opened
// view-only through the procedure manager, whose machine may be that of another tool path.
#pragma once

#include "host/words.hpp"

#include <vector>

// Most words of a tool-path header: the full form of the header block.
inline constexpr int kTpHeaderMaxWords = 49;

// The host procedure id of the procedure being edited: mode 1 reads it (-1: none), mode 2 sets
// it (-1 clears it). Another mode changes nothing.
void gs_proc_id(int mode, int& id);

// The tool paths (entity ids, ascending) that hold the host procedure proc_id; empty when none
// does. Status 0; -1 for a proc_id below 1 (the list is then empty).
void ncn_assoc_find_proc_tp(int proc_id, std::vector<int>& tp_ids, int& status);

// The entity id of the tool path being worked on (the one the tool-path list holds); -1 when
// none has an entity yet.
void get_curr_tp_id(int& tp_id);

// The entries of a stored tool path: get_tp_info answers their count, dbd_tp the entries as
// pairs of words (kind, entity id; kind 1 a procedure, 2 a nested tool path, 4 and 10 movement
// entities). Status 0; -5 when no tool path has that id.
void get_tp_info(int tp_id, int& count, int& status);
void dbd_tp(int tp_id, std::vector<int>& entries, int& status);

// The header words of a tool-path entity, kept whole as the module wrote them: mode 1 reads
// them into header, mode 2 replaces them with header. Status 0; -5 when no tool path has that
// id; -1 for another mode or a header of more than kTpHeaderMaxWords words (nothing changed).
void get_set_tp_header(int mode, int tp_id, std::vector<word>& header, int& status);
