// The run of a loop between two crossings: the entries from a crossing on one element to a
// crossing on a later element (or round past the loop's end), with an arc at the far crossing
// cut there. The loop removal and the common-loop walk build their loops from such runs.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Appends to `loop` the run of `a` from a crossing on element e to the point on element n:
// entries e .. n - 1 (with `wrap`, entries e to the end and then 1 .. n - 1, the loop's closing
// entry 0 passed over), the first three entries of n's arc record when n is an arc, then the
// point (x, y, and z in dimension 3; z may be null). Status 0 or the failure of an append.
void pokarr_append_run(const pokarr& a, int e, int n, bool wrap, const double* point, pokarr& loop, int& status);
