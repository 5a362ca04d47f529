// Control calls of the host memory (dynamic arrays MM_* and plain blocks DM_*): what is open,
// and whether a released block still carries its poison. Released blocks (an array's old
// storage after a growth, a closed array, a freed or reallocated DM block) are filled with
// kPoisonByte and held in a bounded quarantine before they are given back to the system, so a
// caller that kept a stale pointer reads the pattern instead of its data.
#pragma once

#include <cstddef>

namespace vantu::control {

// Fill byte of every released block while it waits in quarantine.
inline constexpr unsigned char kPoisonByte = 0xDD;
// Fill byte of a fresh DM_ALLOC block (and of the bytes a DM_REALLOC adds): callers must write
// what they read, so the content is deliberately not zero.
inline constexpr unsigned char kFreshBlockByte = 0xCD;

// Quarantine bounds: the oldest released block is given back to the system first.
inline constexpr std::size_t kQuarantineMaxBlocks = 64;
inline constexpr std::size_t kQuarantineMaxBytes = std::size_t{64} << 20;

int open_array_count();
int open_block_count();

// Element size of an open array, -1 for a handle that is not open.
int array_element_size(int handle);
// Bytes of an open DM block, -1 for an address that is not an open block.
long block_size(const void* block);

// True when address is the start of a released block still held in quarantine with every byte
// equal to kPoisonByte. Reads the block through the host, so it is safe under AddressSanitizer.
bool released_and_poisoned(const void* address);
std::size_t quarantined_block_count();
// Bytes of the released blocks held in quarantine: memory the process holds for the stand-in's
// checks, not for its caller (a benchmark counting a caller's heap leaves them out).
std::size_t quarantined_bytes();

}  // namespace vantu::control
