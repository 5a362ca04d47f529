// The pocket buffer pool: allocation with best-fit reuse and kilobyte rounding, release with or
// without freeing, and the release of everything. Dynamic pocket arrays (pokarr_core.cpp) are its
// only clients.
#include "pocket_arrays/pkdm_pool.hpp"

#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"

#include <algorithm>
#include <climits>
#include <new>

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

constexpr int kTableStep = 20;  // entries added at each growth of the table
constexpr int kKilobyte = 1024;
// The largest request whose rounded block size (allocation_size) still fits a 32-bit entry size:
// one whole kilobyte below the largest whole-kilobyte size, plus its last byte.
constexpr int kLargestRequest = (INT_MAX / kKilobyte - 1) * kKilobyte + (kKilobyte - 1);

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

// Grows the table by one step; the first new entry is returned, -1 on failure (table kept).
int grow_table()
{
    const int old_count = pkdm_table_block.count;
    void* memory =
        DM_REALLOC(pkdm_table_block.entries, sizeof(pkdm_entry) * (old_count + kTableStep));
    if (memory == nullptr) {
        eroutc("[pkdm_alloc] UNABLE TO RESIZE POCKET DYNAMIC ARRAY PACKAGE", 0);
        return -1;
    }
    pkdm_table_block.entries = static_cast<pkdm_entry*>(memory);
    pkdm_table_block.count = old_count + kTableStep;
    clear_entries(pkdm_table_block.entries + old_count, kTableStep);
    return old_count;
}

// What a scan of the free entries found for a request.
struct scan_result {
    int empty_slot = -1;  // first free entry without memory
    int best_fit = -1;    // smallest free block of at least the request
    int too_small = -1;   // largest free block below the request
};

scan_result scan_free_entries(int requested)
{
    scan_result found;
    // Blocks are whole kilobytes: the first free block of the smallest whole-kilobyte size that
    // holds the request is the best fit, and the scan ends there.
    const long smallest = std::max<long>(kKilobyte, (static_cast<long>(requested) + kKilobyte - 1) / kKilobyte * kKilobyte);
    for (int i = 0; i < pkdm_table_block.count; ++i) {
        const pkdm_entry& e = pkdm_table_block.entries[i];
        if (e.state != kPkdmFree) continue;
        if (e.block == nullptr) {
            if (found.empty_slot < 0) found.empty_slot = i;
        } else if (e.size >= requested) {
            if (found.best_fit < 0 || e.size < pkdm_table_block.entries[found.best_fit].size)
                found.best_fit = i;
            if (e.size == smallest) return found;
        } else if (found.too_small < 0 || e.size > pkdm_table_block.entries[found.too_small].size) {
            found.too_small = i;
        }
    }
    return found;
}

// A request rounded up to whole kilobytes, always one kilobyte more than the request's whole
// kilobytes, so a slightly larger later request fits the same block.
long allocation_size(int requested)
{
    return (static_cast<long>(requested) / kKilobyte + 1) * kKilobyte;
}
static_assert((kLargestRequest / kKilobyte + 1L) * kKilobyte <= INT_MAX &&
              ((kLargestRequest + 1L) / kKilobyte + 1L) * kKilobyte > INT_MAX);

// The request no free block fits: a new block in a free entry without memory, in the entry of
// the largest free block below the request (its memory freed), or in a new row of the table.
// Kept out of line: the engine's requests are nearly all served by a kept block.
[[gnu::noinline]] void allocate_block(int requested, const scan_result& found, int& index)
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
    pkdm_entry& entry = pkdm_table_block.entries[slot];
    entry.block = memory;
    entry.size = static_cast<int>(size);
    entry.state = kPkdmReserved;
    count_held(size);
    if (pkdm_table_block.print_allocate)
        dbg_printf("pkdm_alloc: %d requested, Buffer %d allocated: %d\n", requested, slot,
                   entry.size);
    index = slot;
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
    const scan_result found = scan_free_entries(requested);
    if (found.best_fit < 0) {
        allocate_block(requested, found, index);
        return;
    }
    pkdm_table_block.entries[found.best_fit].state = kPkdmReserved;
    if (pkdm_table_block.print_reuse)
        dbg_printf("pkdm_alloc: %d requested, Buffer %d now in use\n", requested, found.best_fit);
    index = found.best_fit;
}

// Frees the memory of every entry that is not owned (memory pressure before a retry).
static void free_all_unowned()
{
    for (int i = 0; i < pkdm_table_block.count; ++i) {
        pkdm_entry& e = pkdm_table_block.entries[i];
        if (e.block == nullptr || e.state >= 1) continue;
        DM_FREE(e.block, 0);
        count_held(-e.size);
        e.block = nullptr;
        e.state = kPkdmFree;
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
        if (release == 0) return;
    } else if (release == 0) {
        eroutc("[pkdm_free] REQUESTED BUFFER NOT IN USE", 0);
        return;
    }
    DM_FREE(entry.block, 0);
    count_held(-entry.size);
    entry.block = nullptr;
    if (pkdm_table_block.print_free_one)
        dbg_printf("pkdm_free: Buffer %d           freed\n", index);
}

void pkdm_rel_all()
{
    if (pkdm_table_block.count == 0) return;
    for (int i = 0; i < pkdm_table_block.count; ++i) {
        pkdm_entry& e = pkdm_table_block.entries[i];
        if (e.block == nullptr) continue;
        DM_FREE(e.block, 0);
        if (pkdm_table_block.print_release_all)
            dbg_printf("pkdm_rel_all: Buffer %d of size %d freed\n", i, e.size);
    }
    DM_FREE(pkdm_table_block.entries, 0);
    pkdm_table_block.entries = nullptr;
    pkdm_table_block.count = 0;
    // Nothing is held any more; the high-water marks stay until the next reset.
    pkdm_usage& u = pkdm_usage_block;
    u.held = u.owned = 0;
    for (long long& bytes : u.owned_by_dimension) bytes = 0;
}

void* pkdm_block(int index)
{
    const pkdm_entry* entry = pkdm_entry_at(index);
    return entry != nullptr ? entry->block : nullptr;
}

