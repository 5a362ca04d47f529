// A pocket array owned by one frame: it gives its block back to the buffer pool on every way out,
// the stop of an execution included. The lane engine and the cutting stages hold their work
// loops in it.
#pragma once

#include "pocket_arrays/pokarr.hpp"

struct pokarr_work {
    pokarr a;
    explicit pokarr_work(int dimension = 2) { pokarr_init(dimension, a); }
    ~pokarr_work() { pokarr_free(a); }
    pokarr_work(const pokarr_work&) = delete;
    pokarr_work& operator=(const pokarr_work&) = delete;
};
