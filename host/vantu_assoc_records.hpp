// The association records of procedures: the host's record of which entities each procedure's
// geometry depends on, walked step by step (asseqa) with what happened to each entity since the
// procedure was computed (edited, changed), and the association tree of the procedures of a tool
// path that the walk follows when it searches the whole tool path.
#pragma once

#include <vector>

// One step of the association walk.
struct assoc_step {
    int entity = 0;
    int entity_class = 0;
    int type = 0;
    int flags = 0;      // bit 1: keep (a UCS); bit 32: changed
    int status = 0;     // 0 a plain step; non-zero the link is broken
    int procedure = 0;  // the procedure the step belongs to (its block number or its id)
};

// Walks the association record: first 1 starts again. procedure -1 walks the steps of the
// procedures in the tree (none without a tree); otherwise those of that procedure. Status 0 with
// the next step; 1 at the end.
void asseqa(int first, int procedure, assoc_step& step, int& status);
// 1 when the entity was edited since its procedure was computed, else 0.
int asedit(int entity);
// 1 when the entity was changed (moved, replaced) since, else 0.
int aschge(int entity);
// 1 when the UCS entity is acceptable as it stands, else 0.
int eucs(int entity);
// The procedure blocks associated with a procedure of the walk: its block number when the tree
// holds it (or no tree was built). Status 0; -1 when none is.
void ncn_assoc_find_geom_proc(int procedure, std::vector<int>& blocks, int& status);
// The association tree: a root for the view, nodes under a parent (kind 1 procedure with its
// block number, kind 2 geometry with its entity id), and deletion of a node with everything
// under it. Status 0; -1 for an unknown parent or node.
void ncn_assoc_create_tree(int view, int& root, int& status);
void ncn_assoc_add_node(int parent, int kind, int id, int& node, int& status);
void ncn_assoc_delete_node(int node, int& status);
// The block number of a procedure id (mode 1); -1 when unknown.
void get_set_blknum(int mode, int procedure_id, int& block_number);
// The entity id behind a temporary geometry id (itself when it is not a temporary one).
int last_geom_temp_id(int id);
// mode 1: whether the procedure summary looks for motion blocks (1) or not (0).
void gs_check_movmnt(int mode, int& value);
