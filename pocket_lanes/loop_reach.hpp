// Whether a point comes nearer a loop than a distance, through a grid of the loop's elements so
// that a point meets only the elements near it. The one offset asks it for every vertex of the
// pieces it tests against their source loop.
#pragma once

#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pokarr.hpp"

// A planar loop made ready for the question; it reads the loop's points where they stand, so the
// loop must not change while it is asked. Holds heap memory, which a rebuild reuses.
struct loop_reach {
    pk_elem_index grid;
    const double* x = nullptr;
    const double* y = nullptr;
    int count = 0;
};

// Builds the grid of the loop's elements (lines and arc records).
void loop_reach_build(const pokarr& loop, loop_reach& reach);

// Whether some element of the loop lies nearer (px, py) than the distance.
bool loop_reach_nearer(loop_reach& reach, double px, double py, double distance);
