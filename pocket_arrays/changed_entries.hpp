// Entries of a loop's coordinate columns compared with a kept copy, bit for bit: a nudge or a
// patch changes a few entries of many, so blocks holding the same bytes are passed over whole.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>

// Whether entries first .. end - 1 of (x, y) hold the bits of (old_x, old_y).
inline bool pk_entries_same(const double* x, const double* y, const double* old_x, const double* old_y, int first,
                            int end)
{
    const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(end - first);
    return std::memcmp(x + first, old_x + first, bytes) == 0 && std::memcmp(y + first, old_y + first, bytes) == 0;
}

// Calls changed(i) for each of the first `count` entries, in order, whose x or y bits differ
// from the kept copy; stops with false as soon as changed answers false.
template <class Changed>
bool pk_each_changed_entry(int count, const double* x, const double* y, const double* old_x, const double* old_y,
                           Changed&& changed)
{
    constexpr int kBlock = 64;
    for (int block = 0; block < count; block += kBlock) {
        const int end = std::min(count, block + kBlock);
        if (pk_entries_same(x, y, old_x, old_y, block, end)) continue;
        for (int i = block; i < end; ++i)
            if (!pk_entries_same(x, y, old_x, old_y, i, i + 1) && !changed(i)) return false;
    }
    return true;
}
