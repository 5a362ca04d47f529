// The growth of the trimming code's host dynamic arrays (the picked-block records, the chain
// pairs, the vector work array of a polyline), and the trim action's three arrays of points.
#pragma once

#include <initializer_list>

// Adds `entries` zero-filled elements to the open array `handle` and answers its new base
// address (the array may move). Status 0; on a refused growth the host's negative status and
// null, the array as it was. Silent: the caller names itself in its message.
void* resize_array(int entries, int handle, int& status);

// Grows the open array `handle`, which holds `room` elements, so that it holds at least `needed`;
// room follows. Status as resize_array (unchanged when no growth is needed).
void array_room(int handle, int& room, int needed, int& status);

// The elements the trim action's arrays are opened with.
inline constexpr int kTrimArrayStart = 50;

// Opens the trim action's three arrays of trim_words() (the collected points, their vectors and
// the work array of a polyline; 12-byte elements, 50 to start). False, after "delete_trimed_blocks,
// DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE", when one is refused (those opened before stay open
// for trim_arrays_close).
bool trim_arrays_open(int& status);
// Closes those of the three that are open and marks them closed (-1).
void trim_arrays_close();
// Closes those of the arrays that are open and marks them closed (-1).
void close_arrays(std::initializer_list<int*> handles);
