// A pocket array with its arcs stepped into points (pokarr_resample), and its front end for raw
// x and y arrays (pokarr_resample_xy). The ramp-fit test of the entry code and the open-string
// walk use them.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Runs of plain points are copied; an arc record is stepped by equal angles no larger than
// 2 acos(1 - tolerance / R) (at least 0.0001 radian), its end point coming with the next run.
// Outputs on request (each may be null): count, the number of points; buffer, (x, y) or
// (x, y, z) doubles by out_dimension (2 or 3; z 0 from a 2-D source) for at most `room` points;
// result, a pocket array (initialised by the caller, dimension 2 or 3) that receives the
// points. Status 0; -1 for
// an out_dimension other than 2 or 3, or more points than the buffer's room (count still
// answers them); a failed pocket-array growth gives its status.
void pokarr_resample(const pokarr& source, double tolerance, int out_dimension, double* buffer, int room, int* count,
                     pokarr* result, int& status);

// The same over count raw (x, y) entries, through a static 2-D pocket array, output dimension 2.
void pokarr_resample_xy(const double* x, const double* y, int count, double tolerance, double* buffer, int room,
                        int* out_count, pokarr* result, int& status);
