// The walk over the current tool-path list that the tool-path listing and the tool list share:
// every block in list order, the moves of each procedure from its sub-list or its movement
// entity right after its procedure block, and the end of each procedure.
#pragma once

struct tp_walk_visitor {
    virtual ~tp_walk_visitor() = default;
    // Handles the block at the position of `where` (2 the list, 1 the open movement entity):
    // type answers its type and, for a procedure block, nc_function its NC function. A negative
    // status ends the walk.
    virtual void block(int where, int& type, int& nc_function, int& status) = 0;
    // The end of the current procedure with the number of its blocks (0 for a procedure of NC
    // function 52 or 53, which has no moves).
    virtual void procedure_end(int blocks) = 0;
};

// Walks from the first block of the current level. False when the walk ended on a failure: a
// negative status of the visitor, moves that cannot be opened, a sub-list that cannot be closed,
// or more procedures than proc_table holds (200). The list is left where the walk ended.
bool tp_walk(tp_walk_visitor& visitor);
