// The pocket buffer pool: allocation with best-fit reuse and kilobyte rounding, release with or
// without freeing, and the release of everything. Dynamic pocket arrays (pokarr_core.cpp) are its
// only clients.
#include "pocket_arrays/pkdm_pool.hpp"

#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"

#include <algorithm>
#include <climits>
#include <iterator>
#include <new>
#include <set>
#include <utility>

// The free entries of the table: those with memory by (size, entry), those without by entry. The
// first element of each order is the pick the plain scan would make.
struct pkdm_free_index {
    std::set<std::pair<int, int>> blocks;
    std::set<int> empty;
};

pkdm_table pkdm_table_block;
pkdm_usage pkdm_usage_block;

void pkdm_usage_reset()
{
    pkdm_usage& u = pkdm_usage_block;
    u.held_peak = u.held;
    u.owned_peak = u.owned;
    for (int kind = 0; kind < 5; ++kind) u.owned_peak_by_dimension[kind] = u.owned_by_dimension[kind];
}

namespace {

// The usage count of a block gaining (+) or losing (-) its memory.
void count_held(long long bytes)
{
    pkdm_usage& u = pkdm_usage_block;
    u.held += bytes;
    if (u.held > u.held_peak) u.held_peak = u.held;
}

constexpr int kTableStep = 20;  // entries added at each growth of a table below its index
constexpr int kKilobyte = 1024;
// The largest request whose rounded block size (allocation_size) still fits a 32-bit entry size:
// one whole kilobyte below the largest whole-kilobyte size, plus its last byte.
constexpr int kLargestRequest = (INT_MAX / kKilobyte - 1) * kKilobyte + (kKilobyte - 1);

// The index's record of entry i becoming (or ceasing to be) a free entry with or without memory;
// nothing while the table has no index (the test is inline, the upkeep not).
[[gnu::noinline]] void keep_empty(pkdm_free_index& index, int i, bool add)
{
    if (add)
        index.empty.insert(i);
    else
        index.empty.erase(i);
}

[[gnu::noinline]] void keep_block(pkdm_free_index& index, int i, bool add)
{
    const std::pair<int, int> key{pkdm_table_block.entries[i].size, i};
    if (add)
        index.blocks.insert(key);
    else
        index.blocks.erase(key);
}

inline void index_empty(int i, bool add)
{
    if (pkdm_table_block.index != nullptr) keep_empty(*pkdm_table_block.index, i, add);
}

inline void index_block(int i, bool add)
{
    if (pkdm_table_block.index != nullptr) keep_block(*pkdm_table_block.index, i, add);
}

// The index of a table that has reached kPkdmIndexedTable entries, from its free entries.
void build_index()
{
    pkdm_table& table = pkdm_table_block;
    table.index = new pkdm_free_index;
    for (int i = 0; i < table.count; ++i) {
        if (table.entries[i].state != kPkdmFree) continue;
        if (table.entries[i].block == nullptr)
            index_empty(i, true);
        else
            index_block(i, true);
    }
}

// Zeroed entries constructed in host memory.
void clear_entries(pkdm_entry* first, int n)
{
    for (int i = 0; i < n; ++i) new (first + i) pkdm_entry{nullptr, kPkdmFree, 0, 0, 0};
}

bool create_table()
{
    void* memory = DM_ALLOC(sizeof(pkdm_entry) * kTableStep);
    if (memory == nullptr) {
        eroutc("[pkdm_alloc] UNABLE TO INITIALIZE DYNAMIC ARRAY PACKAGE", 0);
        return false;
    }
    pkdm_table_block.entries = static_cast<pkdm_entry*>(memory);
    pkdm_table_block.count = kTableStep;
    clear_entries(pkdm_table_block.entries, kTableStep);
    return true;
}

// Entries a table of `count` entries grows by: one step while the scan serves it, half as many
// again once it has its index, so that the loop removal of a loop with thousands of pieces, each
// held at once, moves the table a few times rather than once for every twenty pieces. The entry
// a request is given does not depend on the step: it is the lowest free one either way.
int table_growth(int count) { return count < kPkdmIndexedTable ? kTableStep : std::min(count / 2, INT_MAX - count); }

// Grows the table by table_growth entries; the first new entry is returned, -1 on failure (table
// kept).
int grow_table()
{
    const int old_count = pkdm_table_block.count;
    const int step = table_growth(old_count);
    if (step <= 0) return -1;
    void* memory =
        DM_REALLOC(pkdm_table_block.entries, sizeof(pkdm_entry) * (static_cast<std::size_t>(old_count) + step));
    if (memory == nullptr) {
        eroutc("[pkdm_alloc] UNABLE TO RESIZE POCKET DYNAMIC ARRAY PACKAGE", 0);
        return -1;
    }
    pkdm_table_block.entries = static_cast<pkdm_entry*>(memory);
    pkdm_table_block.count = old_count + step;
    clear_entries(pkdm_table_block.entries + old_count, step);
    if (pkdm_table_block.index != nullptr) {
        for (int i = old_count; i < pkdm_table_block.count; ++i) index_empty(i, true);
    } else if (pkdm_table_block.count >= kPkdmIndexedTable) {
        build_index();
    }
    return old_count;
}

// The plain scan (pkdm_scan), inline in the request.
inline pkdm_picks scan_free_entries(int requested)
{
    pkdm_picks found;
    // Blocks are whole kilobytes: the first free block of the smallest whole-kilobyte size that
    // holds the request is the best fit, and the scan ends there.
    const long smallest =
        std::max<long>(kKilobyte, (static_cast<long>(requested) + kKilobyte - 1) / kKilobyte * kKilobyte);
    for (int i = 0; i < pkdm_table_block.count; ++i) {
        const pkdm_entry& e = pkdm_table_block.entries[i];
        if (e.state != kPkdmFree) continue;
        if (e.block == nullptr) {
            if (found.empty_slot < 0) found.empty_slot = i;
        } else if (e.size >= requested) {
            if (found.best_fit < 0 || e.size < pkdm_table_block.entries[found.best_fit].size) found.best_fit = i;
            if (e.size == smallest) return found;
        } else if (found.too_small < 0 || e.size > pkdm_table_block.entries[found.too_small].size) {
            found.too_small = i;
        }
    }
    return found;
}

// The picks from the index: the best fit, and the other two only where there is none.
pkdm_picks indexed_picks(const pkdm_free_index& index, int requested)
{
    pkdm_picks found;
    const auto fit = index.blocks.lower_bound({requested, INT_MIN});
    if (fit != index.blocks.end()) {
        found.best_fit = fit->second;
        return found;
    }
    if (!index.empty.empty()) found.empty_slot = *index.empty.begin();
    if (fit != index.blocks.begin())
        found.too_small = index.blocks.lower_bound({std::prev(fit)->first, INT_MIN})->second;
    return found;
}

// A request rounded up to whole kilobytes, always one kilobyte more than the request's whole
// kilobytes, so a slightly larger later request fits the same block.
long allocation_size(int requested) { return (static_cast<long>(requested) / kKilobyte + 1) * kKilobyte; }
static_assert((kLargestRequest / kKilobyte + 1L) * kKilobyte <= INT_MAX &&
              ((kLargestRequest + 1L) / kKilobyte + 1L) * kKilobyte > INT_MAX);

// The request no free block fits: a new block in a free entry without memory, in the entry of
// the largest free block below the request (its memory freed), or in a new row of the table.
// Kept out of line: the engine's requests are nearly all served by a kept block.
[[gnu::noinline]] void allocate_block(int requested, const pkdm_picks& found, int& index)
{
    int slot = found.empty_slot;
    if (slot < 0 && found.too_small < 0) {
        slot = grow_table();
        if (slot < 0) {
            index = -1;
            return;
        }
    }
    if (slot < 0) {
        slot = found.too_small;
        pkdm_free(slot, 1);
    }
    const long size = allocation_size(requested);
    void* memory = DM_ALLOC(static_cast<std::size_t>(size));
    if (memory == nullptr) {
        pkdm_free(-1, 1);
        memory = DM_ALLOC(static_cast<std::size_t>(size));
    }
    if (memory == nullptr) {
        eroutc("[pkdm_alloc] UNABLE TO ALLOCATE MEMORY\n", 0);
        return;
    }
    index_empty(slot, false);
    pkdm_entry& entry = pkdm_table_block.entries[slot];
    entry.block = memory;
    entry.size = static_cast<int>(size);
    entry.state = kPkdmReserved;
    count_held(size);
    if (pkdm_table_block.print_allocate)
        dbg_printf("pkdm_alloc: %d requested, Buffer %d allocated: %d\n", requested, slot, entry.size);
    index = slot;
}

// Hands out the free block the picks name, or a new one where they name none.
inline void take_picked(int requested, const pkdm_picks& found, int& index)
{
    if (found.best_fit < 0) {
        allocate_block(requested, found, index);
        return;
    }
    pkdm_table_block.entries[found.best_fit].state = kPkdmReserved;
    if (pkdm_table_block.print_reuse)
        dbg_printf("pkdm_alloc: %d requested, Buffer %d now in use\n", requested, found.best_fit);
    index = found.best_fit;
}

// A request of a table with an index: the best fit leaves the index as it is reserved.
[[gnu::noinline]] void take_indexed(int requested, int& index)
{
    const pkdm_picks found = indexed_picks(*pkdm_table_block.index, requested);
    if (found.best_fit >= 0) index_block(found.best_fit, false);
    take_picked(requested, found, index);
}

}  // namespace

void pkdm_alloc(int requested, int& index)
{
    index = -2;
    // Entry sizes are 32-bit; a request that cannot be rounded within them gets no memory.
    if (requested < 0 || requested > kLargestRequest) return;
    if (pkdm_table_block.count == 0 && !create_table()) {
        index = -1;
        return;
    }
    if (pkdm_table_block.index != nullptr) {
        take_indexed(requested, index);
        return;
    }
    take_picked(requested, scan_free_entries(requested), index);
}

// Frees the memory of every entry that is not owned (memory pressure before a retry).
static void free_all_unowned()
{
    for (int i = 0; i < pkdm_table_block.count; ++i) {
        pkdm_entry& e = pkdm_table_block.entries[i];
        if (e.block == nullptr || e.state >= 1) continue;
        if (e.state == kPkdmFree) index_block(i, false);
        DM_FREE(e.block, 0);
        count_held(-e.size);
        e.block = nullptr;
        e.state = kPkdmFree;
        index_empty(i, true);
        if (pkdm_table_block.print_release) dbg_printf("pkdm_free: Buffer %d           freed\n", i);
    }
}

void pkdm_free(int index, int release)
{
    if (pkdm_table_block.count == 0) {
        eroutc("[pkdm_free] POCKET DYNAMIC ARRAYS NOT INITIALIZED YET", 0);
        return;
    }
    if (index < 0 && release != 0) {
        free_all_unowned();
        return;
    }
    if (index < 0 || index >= pkdm_table_block.count) {
        // A negative index without the release flag names no entry either.
        eroutc("[pkdm_free] INDEX TOO LARGE", 0);
        return;
    }
    pkdm_entry& entry = pkdm_table_block.entries[index];
    if (entry.block == nullptr) {
        eroutc("[pkdm_free] REQUESTED BUFFER NOT ALLOCATED YET", 0);
        return;
    }
    if (entry.state >= 1) {
        pkdm_count_owned(entry.size, entry.dimension, -1);
        entry.state = kPkdmFree;
        if (pkdm_table_block.print_release) dbg_printf("pkdm_free: Buffer %d released\n", index);
        if (release == 0) {
            index_block(index, true);
            return;
        }
    } else if (release == 0) {
        eroutc("[pkdm_free] REQUESTED BUFFER NOT IN USE", 0);
        return;
    } else if (entry.state == kPkdmFree) {
        index_block(index, false);
    }
    DM_FREE(entry.block, 0);
    count_held(-entry.size);
    entry.block = nullptr;
    if (entry.state == kPkdmFree) index_empty(index, true);
    if (pkdm_table_block.print_free_one) dbg_printf("pkdm_free: Buffer %d           freed\n", index);
}

void pkdm_rel_all()
{
    if (pkdm_table_block.count == 0) return;
    for (int i = 0; i < pkdm_table_block.count; ++i) {
        pkdm_entry& e = pkdm_table_block.entries[i];
        if (e.block == nullptr) continue;
        DM_FREE(e.block, 0);
        if (pkdm_table_block.print_release_all) dbg_printf("pkdm_rel_all: Buffer %d of size %d freed\n", i, e.size);
    }
    DM_FREE(pkdm_table_block.entries, 0);
    pkdm_table_block.entries = nullptr;
    pkdm_table_block.count = 0;
    delete pkdm_table_block.index;
    pkdm_table_block.index = nullptr;
    // Nothing is held any more; the high-water marks stay until the next reset.
    pkdm_usage& u = pkdm_usage_block;
    u.held = u.owned = 0;
    for (long long& bytes : u.owned_by_dimension) bytes = 0;
}

pkdm_picks pkdm_scan(int requested) { return scan_free_entries(requested); }

void pkdm_index_block(int index) { index_block(index, true); }

void* pkdm_block(int index)
{
    const pkdm_entry* entry = pkdm_entry_at(index);
    return entry != nullptr ? entry->block : nullptr;
}
