// Access to the entries of the UP/DOWN arrays for the files of the buffers: the arrays are
// fetched again (mmcptr) at every access, since a growth may move them. Used only by the UP/DOWN
// buffer files.
#pragma once

#include "toolpath/tp_blocks.hpp"

struct updown_entry {
    point3 point{};
    point3 direction{};
    int value = 0;
};

updown_entry entry_at(int k);
void set_entry(int k, const updown_entry& e);
// Opens a gap of `n` entries at k (entries from k on move up); the count grows by n. The room
// must be there (updown_grow).
void insert_entries(int k, int n);
int run_length(int r);
void set_run_length(int r, int length);
