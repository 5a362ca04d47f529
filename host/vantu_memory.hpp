// Host dynamic arrays and plain memory blocks.
// An array is opened with an element size and an initial count and grows by a number of
// elements; growth may move it, so callers fetch the base address again (mmcptr) after every
// growth. Plain blocks are handed out and taken back like malloc and free.
#pragma once

#include <cstddef>

// Opens an array of initial_count elements of element_size bytes, zero-filled. Status 0, or
// negative when the arguments are bad or memory cannot be had.
void MM_OPEN_ARRAY(int element_size, int initial_count, int& handle, void*& base, int& status);
// Adds add_count zero-filled elements, keeping the content; a negative add_count shrinks the
// array, keeping the elements below the new count (a count below 0 is refused). base receives
// the new address.
void MM_RESIZE_ARRAY(int handle, int add_count, void*& base, int& status);
// Closes an array; closing a handle that is not open is refused with a negative status.
void MM_CLOSE(int handle, int& status);
// Current base address of an open array, null for a handle that is not open.
void* mmcptr(int handle);
// Number of elements of an open array, -1 for a handle that is not open.
int MM_CUR_N_ENTRIES(int handle);

// Plain blocks: null on failure. DM_REALLOC keeps the content; DM_FREE(null, ...) does nothing.
void* DM_ALLOC(std::size_t bytes);
void* DM_REALLOC(void* block, std::size_t bytes);
void DM_FREE(void* block, int mode);
