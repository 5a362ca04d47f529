// The growable pair array of the triangulation, which the pocket execution resets at its start
// and closes at its end.
#pragma once

struct nuv_pairs {
    int handle = -1;  // host array, -1 when none is open
    int capacity = 0;
};
nuv_pairs& nuv_pairs_block();

// Forgets the array: handle -1, capacity 0.
void nuv_reset();
// Closes the array when one is open. Status 0, or -1 with "elnuv,Close dynamic memory error".
void elnuv(int& status);
