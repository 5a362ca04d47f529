// The records of picked blocks that pick_blocks hands to the trimming driver, and the small
// routines the picking and the chain search share.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <string>

// One picked block: its number in the procedure's sub-list, the numbers of the blocks before and
// after it (0 where that block is not in the current procedure), and 1 for a block that a CHAIN
// added although it had been chosen before (searches pass over such records).
struct pick_entry {
    int block = 0;
    int before = 0;
    int after = 0;
    int duplicate = 0;
};
static_assert(sizeof(pick_entry) == 16);

// Index of the first record from `from` (below count) with that block number and duplicate flag
// 0; -1 when none.
int chain_rec_find(const pick_entry* records, int from, int count, int block);
void chain_rec_swap(pick_entry& a, pick_entry& b);

// 1 when a and b coincide or the unit vector from b to a leans from the Z axis by less than
// `degrees` (its |z| above |cos(degrees)|, in single precision), else 0.
int seg_is_vertical(const point3& a, const point3& b, float degrees);

// The count line of the picking: "NUMBER OF BLOCKS =" and the count, blank-padded to 31
// characters; show_block_count puts it on the menu as its first line.
std::string block_count_text(int count);
void show_block_count(int count);
