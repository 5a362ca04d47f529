// Two scans the collapse records repeat for every piece and every branch offset: the box of a
// loop and the island lanes of the lane table. collapse_lanes.cpp calls them; they read their
// arguments only.
#pragma once

#include "pocket/lane_table.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <vector>

// The box of the loop's elements' ends with its arcs' circles (x min, y min, x max, y max), up to
// the first element that cannot be read (an arc record cut short); inverted when it has none.
void collapse_loop_box(const pokarr& loop, double* box);

// The lane the island tests read for each contour island (place k - 1 for island k): the newest
// lane of the island's level, 0 when that is a closing lane (status below 0) or there is none.
void collapse_island_lanes(const lane_table& lt, std::vector<int>& islands);
