// Suspends the host's open entity block while the word layer reads elsewhere: the guard takes
// the open entity and its cursor, clears it, and puts it back when it goes out of scope, so every
// way out of a reader restores what the caller had open.
#pragma once

#include "host/vantu_entity.hpp"

class entity_block_guard {
public:
    entity_block_guard()
    {
        eopen_block_get(id_, position_);
        if (id_ != 0) eopen_block_clear();
    }
    ~entity_block_guard()
    {
        int status = 0;
        if (id_ != 0) eopen_block_set(id_, position_, status);
    }
    entity_block_guard(const entity_block_guard&) = delete;
    entity_block_guard& operator=(const entity_block_guard&) = delete;

private:
    int id_ = 0;
    int position_ = 0;
};
