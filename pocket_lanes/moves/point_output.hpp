// A caller-owned host dynamic array of doubles that collects (x, y) points: the region hatching
// and the walk round a polygon append their points to it. The caller closes it.
#pragma once

// Handle -1 while not open; capacity and used count in doubles (two per point).
struct xy_output {
    int handle = -1;
    int capacity = 0;
    int used = 0;
};

// Opens the array with `items` doubles when it is not open. Status 0 or the host's failure.
void xy_output_open(xy_output& output, int items, int& status);
// Makes room for `items` more doubles after `used`, growing by the missing amount raised to the
// next whole thousand. Status 0 or the host's failure.
void xy_output_reserve(xy_output& output, int items, int& status);
// Appends the point after the used doubles plus `offset` points (the count out of the caller's
// run so far), growing when needed.
void xy_output_add(xy_output& output, int offset, double x, double y, int& status);
// The doubles of the array (null when not open).
double* xy_output_data(const xy_output& output);
// Closes the array (nothing when not open).
void xy_output_close(xy_output& output, int& status);
