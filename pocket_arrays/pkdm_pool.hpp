// The buffer pool behind the dynamic pocket arrays. The engine creates and drops thousands of
// short-lived arrays per computation; the pool keeps a released block for reuse and serves the
// next request from the best-fitting free block. The lane engine empties it at the start of each
// pocket computation and the procedure's clean-up releases it.
#pragma once

// States of a pool entry.
inline constexpr int kPkdmFree = 0;       // memory (if any) kept for reuse
inline constexpr int kPkdmReserved = -1;  // handed out by pkdm_alloc, not yet claimed
inline constexpr int kPkdmOwned = 8;      // claimed by a dynamic pocket array

// One entry of the pool table.
struct pkdm_entry {
    void* block;    // null: the entry holds no memory
    int state;      // kPkdmFree, kPkdmReserved or kPkdmOwned
    int size;       // bytes of the block
    int dimension;  // dimension of the owning pocket array (written on claim)
    int capacity;   // entries of the owning pocket array (written on claim)
};

// The free entries of a large table ordered by size, so that a request need not scan the table
// (pkdm_pool.cpp).
struct pkdm_free_index;

// The pool: a table of entries in host memory, grown 20 entries at a time (by half once it has
// kPkdmIndexedTable entries). count 0 means not initialised. The print switches are for a
// developer at the debugger; nothing turns them on.
struct pkdm_table {
    pkdm_entry* entries = nullptr;
    int count = 0;
    int print_release_all = 0;         // pkdm_rel_all
    int print_reuse = 0;               // pkdm_alloc reusing a block
    int print_allocate = 0;            // pkdm_alloc allocating a block
    int print_release = 0;             // pkdm_free releasing an owned block, freeing all unowned ones
    int print_free_one = 0;            // pkdm_free freeing one block
    pkdm_free_index* index = nullptr;  // kept from kPkdmIndexedTable entries until pkdm_rel_all
};

extern pkdm_table pkdm_table_block;

// A table of this many entries gets its index. Below it the scan, which mostly stops early at a
// block of the request's size, costs less than keeping the index (a whole pocket holds a few
// hundred arrays at once; the loop removal of a noisy loop thousands).
inline constexpr int kPkdmIndexedTable = 1000;

// What the pool holds, for a developer or a benchmark judging the engine's memory: the bytes of
// every block with memory, the bytes of the blocks owned by pocket arrays (in total and by the
// owning array's dimension, index 1 to 4), and the high-water marks of each since the last
// pkdm_usage_reset. Kept up to date by the pool with a few adds per claim and release.
struct pkdm_usage {
    long long held = 0;                 // bytes of every block the pool holds
    long long owned = 0;                // bytes of the blocks owned by pocket arrays
    long long held_peak = 0;            // high-water mark of held
    long long owned_peak = 0;           // high-water mark of owned
    long long owned_by_dimension[5]{};  // owned by arrays of dimension 1 to 4 (index 0 unused)
    long long owned_peak_by_dimension[5]{};
};

extern pkdm_usage pkdm_usage_block;

// Starts new high-water marks from what the pool holds now.
void pkdm_usage_reset();

// The usage count of a block changing hands: claimed by (+1) or given back from (-1) an array of
// the dimension.
inline void pkdm_count_owned(int size, int dimension, int sign)
{
    pkdm_usage& u = pkdm_usage_block;
    const long long bytes = sign * static_cast<long long>(size);
    const int kind = dimension >= 1 && dimension <= 4 ? dimension : 0;
    u.owned += bytes;
    u.owned_by_dimension[kind] += bytes;
    if (sign > 0) {
        u.owned_peak = u.owned > u.owned_peak ? u.owned : u.owned_peak;
        long long& peak = u.owned_peak_by_dimension[kind];
        peak = u.owned_by_dimension[kind] > peak ? u.owned_by_dimension[kind] : peak;
    }
}

// What a request could take among the free entries: the first free entry without memory, the
// smallest free block of at least the request and the largest free block below it, each the
// lowest entry among blocks of its size (-1: none). The plain scan of the table answers it where
// the table has no index; a request takes the best fit, else the empty entry, else the block
// too small (its memory freed), else a new row.
struct pkdm_picks {
    int empty_slot = -1;
    int best_fit = -1;
    int too_small = -1;
};
// The plain scan; it stops at a best fit of the smallest block size that holds the request, when
// the other two picks no longer matter.
pkdm_picks pkdm_scan(int requested);

// Finds or allocates a block of at least `requested` bytes and gives its entry index (state
// reserved); -1 when the table cannot be created or grown, -2 when no memory could be had (and
// for a negative request).
void pkdm_alloc(int requested, int& index);

// Release flag 0: gives an owned block back to the pool, memory kept. Non-zero: also frees the
// memory; index -1 with the flag frees the memory of every entry that is not owned.
void pkdm_free(int index, int release);

// Enters a free entry with memory in the table's index (pkdm_give_back's share of its upkeep).
void pkdm_index_block(int index);

// pkdm_free(index, 0) for an index whose entry holds memory (pkdm_entry_at answers it): an owned
// block goes back to the pool inline, anything else (and the debug print) takes the full routine.
inline void pkdm_give_back(int index)
{
    pkdm_entry& entry = pkdm_table_block.entries[index];
    if (entry.state >= 1 && pkdm_table_block.print_release == 0) {
        pkdm_count_owned(entry.size, entry.dimension, -1);
        entry.state = kPkdmFree;
        if (pkdm_table_block.index != nullptr) pkdm_index_block(index);
        return;
    }
    pkdm_free(index, 0);
}

// Frees every block and the table itself; the pool is not initialised afterwards. Every dynamic
// pocket array is invalid after it.
void pkdm_rel_all();

// Claim of a reserved entry by a dynamic pocket array: owned, with the array's dimension and
// capacity in entries. Answers false for an index that names no reserved entry.
inline bool pkdm_claim(int index, int dimension, int capacity)
{
    if (index < 0 || index >= pkdm_table_block.count) return false;
    pkdm_entry& entry = pkdm_table_block.entries[index];
    if (entry.block == nullptr || entry.state != kPkdmReserved) return false;
    entry.state = kPkdmOwned;
    pkdm_count_owned(entry.size, dimension, +1);
    entry.dimension = dimension;
    entry.capacity = capacity;
    return true;
}

// The block and the entry of an index, null when the index names no entry with memory. Every
// use of a dynamic pocket array looks its entry up, so the lookup is inline.
void* pkdm_block(int index);
inline const pkdm_entry* pkdm_entry_at(int index)
{
    if (index < 0 || index >= pkdm_table_block.count) return nullptr;
    const pkdm_entry& entry = pkdm_table_block.entries[index];
    return entry.block != nullptr ? &entry : nullptr;
}
