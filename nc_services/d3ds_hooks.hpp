// The hook table of the host's 3-D surface algorithm: five optional entries through which that
// algorithm lends the lane projection onto the part surfaces its grid (begin and end of a run, the
// node counts, a node's height, whether it has started). The procedure start clears the table
// (disp_state_reset); nothing in the module sets an entry, and an entry left unset is never
// called. It sits here, below the clearing that reads it and the listing that owns its reset.
#pragma once

struct d3ds_hooks {
    // Starts the algorithm over the grid of cell size s and origin (x0, y0); a non-zero answer is
    // a failure the projection hands on.
    int (*begin)(float cell_size, float x0, float y0) = nullptr;
    // Ends it; the answer becomes the status of the projection that began it.
    int (*end)(float cell_size, float x0, float y0) = nullptr;
    // The node counts of its grid.
    void (*node_counts)(int& nx, int& ny) = nullptr;
    // The height of node (column, row) of its grid.
    float (*node_height)(int column, int row) = nullptr;
    // Non-zero once it has started.
    int (*started)() = nullptr;
};

// The module's one table.
d3ds_hooks* disp_state_ptr();
// Clears every entry (the procedure start).
void disp_state_reset();
