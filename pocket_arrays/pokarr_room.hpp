// Whether a pocket array already holds a number of entries: the test that lets the growth
// routine and the appenders (pokarr_core.cpp, pokarr_append.cpp) return without a call into the
// growth path on nearly every append.
#pragma once

#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pokarr.hpp"

// Most entries an array of the dimension may hold.
inline int pokarr_entry_limit(int dimension) { return dimension == 1 ? kPokarrMaxFlat : kPokarrMaxEntries; }

// True exactly where pokarr_resize(array, n, ...) succeeds without changing anything: n within
// the dimension's limit, and below a dynamic array's capacity or within a static array's room.
inline bool pokarr_has_room(const pokarr& array, int n)
{
    if (n > pokarr_entry_limit(array.dimension)) return false;
    if (array.kind >= 0) {
        const pkdm_entry* entry = pkdm_entry_at(array.kind);
        return entry != nullptr && n < entry->capacity;
    }
    return array.kind == kPokarrStatic && n <= array.room;
}
