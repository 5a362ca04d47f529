// Chains of picked blocks (see the header).
#include "edit/trim/trim_chains.hpp"

#include "edit/trim/trim_arrays.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"

namespace {

constexpr int kNoBlock = 0;

// The unused record of the block, looked for first after `near` (picks are mostly in list
// order, so a long chain is walked without searching it all), then from the start.
int find_unused(const pick_entry* records, int count, int near, int block)
{
    if (block == kNoBlock) return -1;
    const int after = chain_rec_find(records, near + 1, count, block);
    return after >= 0 ? after : chain_rec_find(records, 0, count, block);
}

void close_array(int& handle)
{
    int status = 0;
    MM_CLOSE(handle, status);
    handle = -1;
}

}  // namespace

int chain_walk_start(pick_entry* records, int count, int index)
{
    // At most count steps: links that form a ring end the walk where it began.
    int first = index;
    for (int step = 0; step < count; ++step) {
        const int k = find_unused(records, count, first, records[first].before);
        if (k < 0 || k == index) break;
        first = k;
    }
    records[first].duplicate = 1;
    return first;
}

int chain_walk_end(pick_entry* records, int count, int first)
{
    int last = first;
    for (int k = find_unused(records, count, last, records[last].after); k >= 0;
         k = find_unused(records, count, last, records[last].after)) {
        records[k].duplicate = 1;
        last = k;
    }
    return last;
}

int get_chains(pick_entry* records, int count, int& pair_count, int& status)
{
    pair_count = 0;
    int handle = -1;
    void* base = nullptr;
    status = 0;
    MM_OPEN_ARRAY(sizeof(int), kChainRoom, handle, base, status);
    if (status < 0) {
        eroutc("get_chains(trimtp), DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE", 0);
        status = -1;
        return -1;
    }
    int room = kChainRoom;
    for (int i = 0; i < count; ++i) {
        if (records[i].duplicate != 0) continue;
        const int first = chain_walk_start(records, count, i);
        const int last = chain_walk_end(records, count, first);
        if (pair_count + 2 > room) {
            base = resize_array(pair_count + kChainRoom - room, handle, status);
            if (status < 0) {
                eroutc("resize_array(trimtp), DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE", 0);
                close_array(handle);
                status = -1;
                return -1;
            }
            room = pair_count + kChainRoom;
        }
        int* pairs = static_cast<int*>(base);
        pairs[pair_count] = records[first].block;
        pairs[pair_count + 1] = records[last].block;
        pair_count += 2;
    }
    status = 0;
    return handle;
}
