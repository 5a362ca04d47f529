// The association check: from the host's association records it decides, per procedure, whether
// its geometry was edited (state 2, suspended, with the U column) or changed (the G column) since
// the procedure was computed; and the association tree of the procedures of the tool path that
// the check walks when it looks at the whole tool path.
#pragma once

// mode 1, 2 or 3 (3: edits count as changes); procedure_id -1 (or the open tool path) checks the
// first `count` procedures of the list through a tree built here, another id that procedure. The
// arrays hold count entries each: procedure numbers, item-47 values, and the G, state and U
// columns, which the check updates. Nothing is done unless count is at least 1 and count is 1 or
// mode is 1. Reads "CLP1" from model data; writes the M column of proc_table for an edit.
void proc_assoc_update(int mode, int procedure_id, int count, const int* numbers, const int* code47, int* g, int* state,
                       int* u);
// Builds the host's association tree of the first count procedures of the list: a node per
// procedure with a node per geometry entity of its flag segment. The list position is kept.
// Status 0, or the failing call's status.
void proc_assoc_tree_build(int count, int& root, int& status);
