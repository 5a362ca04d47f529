// The chains of picked blocks: the picked-block records of pick_blocks joined, by their links to
// the blocks before and after them, into runs that the trimming works on one by one.
#pragma once

#include "edit/trim/pick_records.hpp"

// How many pair entries the chain array has room for at first, and is kept free when it grows.
inline constexpr int kChainRoom = 50;

// The first record of the chain holding records[index]: follows the links to the blocks before
// while an unused record of that block exists (at most count steps), and marks the record it
// ends on as used. Answers its index.
int chain_walk_start(pick_entry* records, int count, int index);
// From the chain's first record follows the links to the blocks after, marking every record it
// reaches as used; answers the index of the last.
int chain_walk_end(pick_entry* records, int count, int first);

// Joins the count records (the used word of each is the duplicate word: a record already used or
// added twice is passed over) into chains and answers the handle of a host array of 4-byte
// integers holding, per chain, the block numbers of its first and last block; pair_count is the
// number of integers written (2 per chain). Status 0; -1 with "get_chains(trimtp), DYNAMIC
// MEMORY PROBLEM, CHECK DISK SPACE" when the array cannot be opened (handle -1) or "resize_array
// (trimtp), DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE" when it cannot grow (the array is closed,
// handle -1).
int get_chains(pick_entry* records, int count, int& pair_count, int& status);
