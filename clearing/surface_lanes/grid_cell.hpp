// Cells of the surface grid (surfaces/surface_grid.hpp): the mapping of a point to its cell and
// the evaluation of one cell, split by one diagonal into two triangles: the triangle under a
// point, the nearest point of the cell's triangles and the cells that share a point. The walkers
// over the grid (grid_search, grid_walk, grid_projection) and the 3-D lane offset build on it.
#pragma once

// Triangles of a cell: 0 and 3, so that the other triangle of t is 3 - t.
inline constexpr int kTriangleFirst = 0;
inline constexpr int kTriangleSecond = 3;
inline constexpr int kNoTriangle = -1;

// Diagonal kinds: from corner 0 to corner 2, or from corner 1 to corner 3.
inline constexpr int kDiagonalRising = 3;
inline constexpr int kDiagonalFalling = 0;

// Triangle bits of a neighbour list entry: triangle 0, triangle 3, both (a point on the diagonal).
inline constexpr int kBitsFirst = 1;
inline constexpr int kBitsSecond = 8;
inline constexpr int kBitsBoth = 9;

// Entry codes: the cell edge through which a walker entered the cell.
inline constexpr int kEntryNone = 0;
inline constexpr int kEntryBottom = 1;
inline constexpr int kEntryRight = 2;
inline constexpr int kEntryTop = 3;
inline constexpr int kEntryLeft = 4;

// Modes of grid_cell_eval (see there).
inline constexpr int kEvalLocate = 0;
inline constexpr int kEvalNearest = 1;
inline constexpr int kEvalList = 2;
inline constexpr int kEvalBits = 3;
inline constexpr int kEvalListKeepBits = 4;
inline constexpr int kEvalNearestEdges = 5;

// A neighbour list: word 0 = 1 + 4 x entries, then per entry col, row, kind, triangle bits; the
// cells around one node make at most four entries.
inline constexpr int kCellListWords = 17;

// Distance from a cell's edge or diagonal within which a point lies on it (grid units, mm: far
// below any cell size, far above the rounding of coordinates of a few metres).
inline constexpr double kGridOnLine = 1.0e-6;
// A "nothing found yet" distance of the cell evaluation and the grid search.
inline constexpr double kGridFar = 1.0e10;

// One evaluated cell. The corners' local x, y are (0, 0), (h, 0), (h, h), (0, h): set at every
// reload together with the heights.
struct grid_cell {
    double corner[4][3] = {};       // corners 0..3: local x, y and height
    double origin[2] = {0.0, 0.0};  // world x, y of corner 0
    double normals[6] = {};         // unit normal of triangle 0 at [0], of triangle 3 at [3]
    int kind = kDiagonalRising;     // kDiagonalRising or kDiagonalFalling
    int cache_key = -1;             // node index nx * row + col of the cell loaded; -1 none
    int border = 0;                 // bit k set: corner k has no surface
    unsigned generation = 0;        // the grid's generation when the cell was loaded
    // Triangles with all three corners on the surface: kBitsFirst | kBitsSecond, or fewer.
    int whole_bits = kBitsBoth;
};

// The three cell records: the first and second working cells of the walkers and the scratch
// record of the neighbour tests. They persist between calls; a record reloads when the cell
// asked for or the grid's generation differs from what it holds.
struct grid_cells {
    grid_cell work[2];
    grid_cell scratch;
};
extern grid_cells grid_cells_block;

// The grid's debug displays: off, and nothing in the module turns them on.
struct grid_debug_switches {
    int show_cells = 0;
    int show_segments = 0;
};
extern grid_debug_switches grid_debug_block;

// The cell (col, row) under the point (x, y of three doubles) by the floor of its offset from
// the origin, so a point on a border belongs to the cell on its right (upper) side. Status 0 for
// a cell of the grid (0 <= col <= nx - 2, 0 <= row <= ny - 2); any other point, and every point
// of an empty grid, gives "[get_grid_index] UNABLE TO MAP POINT" and -1 (col, row -1 when the
// point is not a number). Reads surface_grid_block.
void get_grid_index(const double* point, int& col, int& row, int& status);

// Evaluates cell (col, row) for the point (three doubles, world) into the record:
//   mode 0 the triangle under the point (the diagonal rule only with an entry code);
//   mode 1 the nearest point of the cell's triangles, the foot on a triangle's plane when it
//          falls inside the triangle, else the nearest point of its edges;
//   mode 5 the nearest point of the cell's triangles over their edges;
//   mode 2 the triangle with the diagonal rule, and the list of cells sharing the point;
//   mode 4 as 2, the diagonal rule only with an entry code, list word 4 kept as preset;
//   mode 3 the triangle with the diagonal rule; its bits alone into list word 0.
// entry: the edge through which a walker entered (kEntry*); direction: the walk (x, y read) or
// null. triangle: 0, 3, or -1 when the point lies over a triangle without surface (a triangle
// with a corner without surface; a cell with more than one such corner has none, a cell with one
// takes the diagonal that leaves that corner alone in its triangle). distance, nearest (world):
// modes 1 and 5. list: modes 2, 3, 4. A cell outside the grid is not evaluated (triangle -1).
// Reads surface_grid_block.
void grid_cell_eval(int mode, const double* point, int col, int row, int entry, const double* direction,
                    grid_cell& cell, int& triangle, double& distance, double* nearest, int* list);

// The foot of the perpendicular from the point onto the plane through the corner with the unit
// normal, and its distance.
void grid_foot_on_plane(const double* point, const double* corner, const double* normal, double& distance,
                        double* foot);
// The nearest point of the edges a-b, b-c, c-a (three doubles each) to the point.
void grid_nearest_on_edges(const double* point, const double* a, const double* b, const double* c, double& distance,
                           double* nearest);
// Clamps local x, y into 0..h. Reads surface_grid_block.h.
void grid_clamp_local(double* point);
// Moves the point by a small step (1e-4) towards the target.
void grid_nudge_point(double* point, const double* target);

// Debug displays (only with grid_debug_block's switches on): the cell's outline and diagonal, a
// segment between two points (three doubles each).
void grid_show_cell(const grid_cell& cell, int colour);
void grid_show_segment(const double* a, const double* b, int colour);

// The height of the cell's triangle (0 or 3) at the local point (u, v).
double grid_triangle_height(const grid_cell& cell, int triangle, double u, double v);
// The height of the grid surface under the world point (x, y): on the triangle of its cell that
// grid_cell_eval locates (mode 0), a point on the grid's far edge in the last cell. Status 0; -1
// off the grid, over a triangle without surface or under a vertical one, without a message (a
// caller sampling a region asks about points beside the grid too). Evaluates into the scratch
// record. Reads surface_grid_block.
void grid_height_at(double x, double y, double& height, int& status);
// The normal of triangle t of the cell (three doubles).
inline const double* grid_cell_normal(const grid_cell& cell, int triangle) { return cell.normals + triangle; }
// Triangle bits of one triangle.
inline int grid_triangle_bits(int triangle) { return triangle == kTriangleFirst ? kBitsFirst : kBitsSecond; }
