// The growth of the trimming code's host dynamic arrays (the picked-block records, the chain
// pairs, the vector work array of a polyline).
#pragma once

// Adds `entries` zero-filled elements to the open array `handle` and answers its new base
// address (the array may move). Status 0; on a refused growth the host's negative status and
// null, the array as it was. Silent: the caller names itself in its message.
void* resize_array(int entries, int handle, int& status);

// Grows the open array `handle`, which holds `room` elements, so that it holds at least `needed`;
// room follows. Status as resize_array (unchanged when no growth is needed).
void array_room(int handle, int& room, int needed, int& status);
