// A uniform grid over a list of boxes: the boxes that may overlap a query box, in list order,
// without a look at every box of the list. The island tests of the cutting order keep one over
// the boxes of their lanes, which thousands of moves are tested against.
#pragma once

#include <array>
#include <vector>

struct box_grid {
    double x0 = 0.0, y0 = 0.0;  // lower corner of the grid
    double cell = 1.0;          // side of a cell
    int columns = 0, rows = 0;
    int count = 0;           // boxes of the list it was built for
    std::vector<int> first;  // per cell, where its boxes start in `items` (one more)
    std::vector<int> items;  // box numbers, cell after cell, increasing within a cell
    std::vector<int> aside;  // boxes spanning too many cells, or not finite: met by every query
    std::vector<int> seen;   // per box, the query that last listed it
    int query = 0;
};

// Builds the grid over the boxes (x min, y min, x max, y max each). An inverted box (min above
// max) overlaps nothing and is left out.
void box_grid_build(const std::vector<std::array<double, 4>>& boxes, box_grid& grid);

// The boxes that may overlap `box` (x min, y min, x max, y max), in increasing order: every box
// of the list that overlaps it is among them.
void box_grid_candidates(box_grid& grid, const double* box, std::vector<int>& out);

// Puts box k aside (unless it is already): every query meets it from now on, wherever its box
// now lies. For a list whose box k has changed since the grid was built.
void box_grid_set_aside(box_grid& grid, int k);
