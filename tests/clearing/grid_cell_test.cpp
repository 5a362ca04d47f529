// Cells of the surface grid: the mapping floors and refuses every point off the cells alike, the
// diagonal and the triangle of a point (diagonal rule, entry codes, bits), the cells around a
// node, corners without surface, the height under a point, the cell cache against a reloaded grid,
// the nearest point, and the grid search and the exit of a triangle.
#include "surface_grid_support.hpp"

#include "clearing/surface_lanes/grid_search.hpp"

#include <vector>

using namespace grid_test;

namespace {

class GridCells : public GridTest {};

constexpr char kUnableToMap[] = "[get_grid_index] UNABLE TO MAP POINT";

}  // namespace

TEST_F(GridCells, MappingFloorsAndRefusesOffTheCells)
{
    load_grid(10.0, 20.0, 2.0, 5, 4, plane(0, 0, 1));  // cells 0..3 x 0..2
    struct row {
        double x, y;
        int col, row, status;
    };
    const std::vector<row> rows = {
        {10.0, 20.0, 0, 0, 0},   {11.9, 21.0, 0, 0, 0},  {12.0, 21.0, 1, 0, 0},   // a border: the right cell
        {13.0, 24.0, 1, 2, 0},   {17.99, 25.9, 3, 2, 0}, {9.0, 21.0, -1, 0, -1},  // half a cell left: refused
        {11.0, 19.5, 0, -1, -1}, {18.0, 21.0, 4, 0, -1}, {11.0, 26.0, 0, 3, -1},  // the last node: refused
    };
    for (const row& r : rows) {
        vantu::control::reset();
        const double p[3] = {r.x, r.y, 0.0};
        int col = 99, rw = 99, status = 99;
        get_grid_index(p, col, rw, status);
        EXPECT_EQ(status, r.status) << r.x << ", " << r.y;
        EXPECT_EQ(col, r.col) << r.x << ", " << r.y;
        EXPECT_EQ(rw, r.row) << r.x << ", " << r.y;
        EXPECT_EQ(errors(), r.status == 0 ? std::vector<std::string>{} : std::vector<std::string>{kUnableToMap});
    }
    // An empty grid and a grid of one node in a row refuse everything.
    for (int nodes : {0, 1}) {
        reset_grid();
        if (nodes == 1) load_grid(0, 0, 1, 1, 5, plane(0, 0, 0));
        vantu::control::reset();
        const double p[3] = {0.0, 0.0, 0.0};
        int col = 0, rw = 0, status = 0;
        get_grid_index(p, col, rw, status);
        EXPECT_EQ(status, -1);
        EXPECT_EQ(errors(), std::vector<std::string>{kUnableToMap});
    }
}

TEST_F(GridCells, DiagonalAndTriangleOfAPoint)
{
    // Cell (0, 0) of a 2 x 2 grid of unit cells; heights of corners 0..3.
    struct row {
        float z[4];
        double x, y;
        int mode, entry;
        double dx, dy;  // direction, or none when both are 0
        int kind, triangle, bits;
    };
    const std::vector<row> rows = {
        {{0, 1, 2, 3}, 0.7, 0.2, kEvalLocate, 0, 0, 0, kDiagonalRising, 0, -1},  // equal differences: rising
        {{0, 1, 2, 3}, 0.2, 0.7, kEvalLocate, 0, 0, 0, kDiagonalRising, 3, -1},
        {{0, 0, 5, 0}, 0.2, 0.2, kEvalLocate, 0, 0, 0, kDiagonalFalling, 0, -1},
        {{0, 0, 5, 0}, 0.9, 0.9, kEvalLocate, 0, 0, 0, kDiagonalFalling, 3, -1},
        {{0, 1, 2, 3}, 0.5, 0.5, kEvalLocate, 0, 0, 0, kDiagonalRising, 0, -1},  // on the diagonal
        {{0, 1, 2, 3}, 0.5, 0.5, kEvalList, 0, 0, 0, kDiagonalRising, 3, kBitsBoth},
        {{0, 1, 2, 3}, 0.5, 0.5, kEvalList, kEntryRight, 0, 0, kDiagonalRising, 0, kBitsBoth},
        {{0, 1, 2, 3}, 0.5, 0.5, kEvalLocate, kEntryTop, 0, 0, kDiagonalRising, 3, -1},
        {{0, 1, 2, 3}, 0.5, 0.5, kEvalBits, 0, 1, -1, kDiagonalRising, 0, kBitsBoth},  // towards triangle 0
        {{0, 1, 2, 3}, 0.5, 0.5, kEvalBits, 0, -1, 1, kDiagonalRising, 3, kBitsBoth},
        {{0, 1, 2, 3}, 0.3, 0.2, kEvalBits, 0, 0, 0, kDiagonalRising, 0, kBitsFirst},
        {{0, 0, 5, 0}, 0.5, 0.5, kEvalList, kEntryLeft, 0, 0, kDiagonalFalling, 0, kBitsBoth},
        {{0, 0, 5, 0}, 0.5, 0.5, kEvalList, 0, 1, 1, kDiagonalFalling, 3, kBitsBoth},
    };
    for (const row& r : rows) {
        reset_grid();
        load_grid(0, 0, 1, 2, 2, plane(0, 0, 0));
        for (int k = 0; k < 4; ++k) set_node(k == 1 || k == 2 ? 1 : 0, k >= 2 ? 1 : 0, r.z[k]);
        const double p[3] = {r.x, r.y, 0}, d[2] = {r.dx, r.dy};
        int triangle = 99, list[kCellListWords] = {};
        double distance = 0, nearest[3];
        grid_cell& cell = grid_cells_block.work[0];
        grid_cell_eval(r.mode, p, 0, 0, r.entry, r.dx == 0 && r.dy == 0 ? nullptr : d, cell, triangle, distance,
                       nearest, list);
        const int bits = r.mode == kEvalBits ? list[0] : (r.mode == kEvalList ? list[4] : -1);
        EXPECT_EQ(cell.kind, r.kind) << "row at " << r.x << ", " << r.y << " mode " << r.mode;
        EXPECT_EQ(triangle, r.triangle) << "row at " << r.x << ", " << r.y << " mode " << r.mode;
        EXPECT_EQ(bits, r.bits) << "row at " << r.x << ", " << r.y << " mode " << r.mode;
        // Both normals point up and stand at right angles to their triangle's edges.
        for (int t : {0, 3}) EXPECT_GT(grid_cell_normal(cell, t)[2], 0.0);
    }
}

TEST_F(GridCells, NeighbourListsTheCellsAroundAPoint)
{
    load_grid(0, 0, 1, 4, 4, plane(0.5, 0.25, 0));  // cells 0..2 x 0..2
    struct row {
        double x, y;
        int col, row, words;
    };
    const std::vector<row> rows = {
        {1.0, 1.0, 1, 1, 17},  // an inner node: four cells
        {1.0, 0.0, 1, 0, 9},   // a node on the border: two
        {0.0, 0.0, 0, 0, 5},   // the grid's corner: one
        {1.5, 1.0, 1, 1, 9},   // an inner edge: two
        {1.5, 1.5, 1, 1, 5},   // inside
    };
    for (const row& r : rows) {
        const double p[3] = {r.x, r.y, 0};
        int triangle = 0, list[kCellListWords] = {};
        double distance = 0, nearest[3];
        grid_cell_eval(kEvalList, p, r.col, r.row, 0, nullptr, grid_cells_block.work[0], triangle, distance, nearest,
                       list);
        EXPECT_EQ(list[0], r.words) << r.x << ", " << r.y;
        // Every cell listed holds the point, each once.
        for (int e = 0; e < (list[0] - 1) / 4; ++e) {
            const int c = list[1 + 4 * e], w = list[2 + 4 * e];
            EXPECT_TRUE(r.x >= c && r.x <= c + 1 && r.y >= w && r.y <= w + 1) << c << ", " << w;
            EXPECT_NE(list[4 + 4 * e], 0);
            for (int f = 0; f < e; ++f) EXPECT_FALSE(list[1 + 4 * f] == c && list[2 + 4 * f] == w);
        }
    }
}

TEST_F(GridCells, CornersWithoutSurface)
{
    // One corner without surface: the diagonal leaves it alone in its triangle, which has no
    // surface; the other triangle keeps the plane of the three others. Two: no surface at all.
    struct row {
        std::vector<int> holes;  // corners of cell (0, 0) without surface
        double x, y;
        int triangle;
    };
    const std::vector<row> rows = {
        {{1}, 0.8, 0.2, -1},    {{1}, 0.2, 0.8, 3},     {{3}, 0.2, 0.8, -1}, {{3}, 0.8, 0.2, 0},
        {{0}, 0.2, 0.2, -1},    {{0}, 0.8, 0.8, 3},     {{2}, 0.8, 0.8, -1}, {{2}, 0.2, 0.2, 0},
        {{0, 2}, 0.2, 0.8, -1}, {{1, 2}, 0.2, 0.2, -1}, {{}, 0.7, 0.2, 0},
    };
    const int node_col[4] = {0, 1, 1, 0}, node_row[4] = {0, 0, 1, 1};
    for (const row& r : rows) {
        reset_grid();
        load_grid(0, 0, 1, 2, 2, plane(0.5, 0.25, 1));
        for (int k : r.holes) set_node(node_col[k], node_row[k], k % 2 == 0 ? 1.0e7f : -2.0e7f);
        const double p[3] = {r.x, r.y, 5.0};
        int triangle = 99;
        double distance = 0, nearest[3] = {0, 0, 0};
        grid_cell_eval(kEvalLocate, p, 0, 0, 0, nullptr, grid_cells_block.work[0], triangle, distance, nearest,
                       nullptr);
        EXPECT_EQ(triangle, r.triangle) << "holes " << r.holes.size() << " at " << r.x << ", " << r.y;
        // The nearest point never lies on a triangle without surface, and holes read as no height.
        grid_cell_eval(kEvalNearest, p, 0, 0, 0, nullptr, grid_cells_block.work[0], triangle, distance, nearest,
                       nullptr);
        if (r.holes.size() > 1) {
            EXPECT_EQ(triangle, -1);
            continue;
        }
        EXPECT_NEAR(nearest[2], 0.5 * nearest[0] + 0.25 * nearest[1] + 1.0, 1e-12);
    }
}

TEST_F(GridCells, HeightAtAPointOnTheTriangleItsCellChooses)
{
    // One cell whose corner 2 alone stands up: the falling diagonal (1 to 3) has the smaller
    // height difference, so that triangle 0 is flat and triangle 3 rises to corner 2 (the rising
    // diagonal would give 0.6 at (0.9, 0.6)). Off the cells and over no surface: no height and no
    // message.
    struct row {
        bool corner_two_missing;
        double x, y;
        int status;
        double height;
    };
    const std::vector<row> rows = {
        {false, 0.2, 0.2, 0, 0.0}, {false, 0.9, 0.6, 0, 0.5}, {false, 1.0, 1.0, 0, 1.0},  // the far corner
        {false, 1.2, 0.5, -1, 0},  {false, -0.1, 0.5, -1, 0}, {true, 0.9, 0.6, -1, 0},    // over the hole
        {true, 0.2, 0.2, 0, 0.0},
    };
    for (const row& r : rows) {
        reset_grid();
        vantu::control::reset();
        load_grid(0, 0, 1, 2, 2, [](double x, double y) { return x * y; });
        if (r.corner_two_missing) set_node(1, 1, 1.0e7f);
        double height = -99.0;
        int status = 99;
        grid_height_at(r.x, r.y, height, status);
        EXPECT_EQ(status, r.status) << r.x << ", " << r.y;
        if (r.status == 0) {
            EXPECT_NEAR(height, r.height, 1e-12) << r.x << ", " << r.y;
        }
        EXPECT_EQ(errors(), std::vector<std::string>{}) << r.x << ", " << r.y;
    }
}

TEST_F(GridCells, CellRecordReloadsWithTheGrid)
{
    load_grid(0, 0, 1, 3, 3, plane(0, 0, 1));
    const double p[3] = {0.5, 0.5, 0};
    for (double height : {1.0, 4.0}) {
        if (height != 1.0) load_grid(0, 0, 1, 3, 3, plane(0, 0, height));
        int col = 0, row = 0, status = 0;
        double q[3] = {p[0], p[1], p[2]}, distance = 0;
        grid_find_cell(kFindVertical, q, col, row, distance, status);
        EXPECT_EQ(status, 0);
        EXPECT_DOUBLE_EQ(q[2], height);
    }
}

TEST_F(GridCells, NearestPointFootOrEdge)
{
    load_grid(0, 0, 2, 2, 2, plane(0, 0, 0));
    set_node(1, 0, 2.0f);  // triangle 0 of the rising diagonal tilts
    grid_cell& cell = grid_cells_block.work[0];
    struct row {
        double p[3];
        int mode;
        double nearest[3];
    };
    const double f = 0.2 / 3.0;
    const std::vector<row> rows = {
        // Triangle 0 is z = x - y: the foot from above its inside, an edge point from beyond it.
        {{1.2, 0.4, 1.0}, kEvalNearest, {1.2 + f, 0.4 - f, 1.0 - f}},
        {{3.0, 1.0, 0.0}, kEvalNearest, {2.0, 1.5, 0.5}},
        {{0.4, 1.5, 1.0}, kEvalNearestEdges, {0.0, 1.5, 0.0}},
    };
    for (const row& r : rows) {
        int triangle = 0;
        double distance = 0, nearest[3];
        grid_cell_eval(r.mode, r.p, 0, 0, 0, nullptr, cell, triangle, distance, nearest, nullptr);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(nearest[k], r.nearest[k], 1e-12) << k;
        EXPECT_NEAR(distance, length3(r.p, r.nearest), 1e-12);
    }
}

TEST_F(GridCells, FindCellSearchesRingsOnlyWhenNeeded)
{
    load_grid(0, 0, 1, 30, 30, plane(0.25, 0.5, 2));
    // On the surface of its own cell: no ring evaluated (the second working cell stays unloaded).
    double p[3] = {10.5, 10.25, 0.25 * 10.5 + 0.5 * 10.25 + 2};
    int col = 0, row = 0, status = 0;
    double distance = 0;
    grid_find_cell(kFindNearest, p, col, row, distance, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(grid_cells_block.work[1].cache_key, -1);
    // Squares of nodes without surface around cell (11, 11): nodes 6..16 leave ring 1 without
    // surface; nodes 2..21 leave the first surface in ring 10 (its corner cells, one corner
    // without surface each); nodes 1..22 leave none within ten rings.
    struct search {
        int first, last, mode, status;
    };
    const std::vector<search> searches = {{6, 16, kFindNearest, -1},
                                          {6, 16, kFindVertical, -1},
                                          {6, 16, kFindNearestFar, 0},
                                          {2, 21, kFindNearestFar, 0},
                                          {1, 22, kFindNearestFar, -1}};
    for (const search& r : searches) {
        load_grid(0, 0, 1, 30, 30, plane(0.25, 0.5, 2));
        for (int c = r.first; c <= r.last; ++c)
            for (int w = r.first; w <= r.last; ++w) set_node(c, w, 1.0e8f);
        const std::size_t before = errors().size();
        double q[3] = {11.5, 11.5, 0.0};
        grid_find_cell(r.mode, q, col, row, distance, status);
        EXPECT_EQ(status, r.status) << r.mode << " " << r.first;
        EXPECT_EQ(errors().size(), before);
        if (r.status != 0) {
            EXPECT_EQ(q[0], 11.5);
            EXPECT_EQ(q[2], 0.0);
            continue;
        }
        EXPECT_NEAR(q[2], 0.25 * q[0] + 0.5 * q[1] + 2, 1e-9);
        EXPECT_TRUE(col < r.first || col >= r.last || row < r.first || row >= r.last) << col << ", " << row;
    }
}

TEST_F(GridCells, ExitOfATriangle)
{
    load_grid(0, 0, 1, 4, 4, plane(0.5, -0.5, 0));  // rising diagonals
    grid_cell& cell = grid_cells_block.work[0];
    struct row {
        double p[2], d[2];
        int triangle;
        double exit[2];
        int dcol, drow, status;
    };
    const std::vector<row> rows = {
        {{1.3, 1.0}, {1, 0}, 0, {2.0, 1.0}, 1, 0, 1},    // along the bottom edge: corner 1, right
        {{1.2, 1.1}, {1, 1}, 0, {2.0, 1.9}, 1, 0, 1},    // across the right edge
        {{1.5, 1.5}, {1, 1}, 0, {2.0, 2.0}, 1, 1, 1},    // through corner 2: diagonal step
        {{1.6, 1.2}, {-1, 1}, 0, {1.4, 1.4}, 0, 0, 1},   // across the diagonal: same cell
        {{1.5, 1.5}, {-1, 1}, 0, {1.5, 1.5}, 0, 0, 0},   // on the diagonal, leaving it: no progress
        {{1.5, 1.0}, {0, -1}, 0, {1.5, 1.0}, 0, -1, 0},  // on the bottom edge, leaving it
    };
    for (const row& r : rows) {
        const double p[3] = {r.p[0], r.p[1], 0.5 * r.p[0] - 0.5 * r.p[1]}, d[3] = {r.d[0], r.d[1], 0};
        int triangle = 0, list[kCellListWords];
        double distance = 0, nearest[3];
        grid_cell_eval(kEvalLocate, p, 1, 1, 0, nullptr, cell, triangle, distance, nearest, list);
        double exit[3] = {0, 0, 0};
        int dcol = 9, drow = 9, status = 9;
        grid_cell_exit(kExitPlain, cell, p, d, r.triangle, exit, dcol, drow, status);
        EXPECT_EQ(status, r.status) << r.p[0] << ", " << r.p[1];
        EXPECT_NEAR(exit[0], r.exit[0], 1e-12) << r.p[0] << ", " << r.p[1];
        EXPECT_NEAR(exit[1], r.exit[1], 1e-12) << r.p[0] << ", " << r.p[1];
        EXPECT_NEAR(exit[2], 0.5 * exit[0] - 0.5 * exit[1], 1e-12);
        EXPECT_EQ(dcol, r.dcol) << r.p[0] << ", " << r.p[1];
        EXPECT_EQ(drow, r.drow) << r.p[0] << ", " << r.p[1];
    }
    // The entry code of the next cell, and a diagonal step enters through no edge.
    const int expected[3][3] = {{0, kEntryRight, 0}, {kEntryTop, 0, kEntryBottom}, {0, kEntryLeft, 0}};
    for (int dc = -1; dc <= 1; ++dc)
        for (int dr = -1; dr <= 1; ++dr) EXPECT_EQ(grid_entry_after_step(dc, dr), expected[dc + 1][dr + 1]);
    // A direction without XY length leaves the outputs alone.
    const double p[3] = {1.5, 1.2, 0}, up[3] = {0, 0, 1};
    double exit[3] = {7, 7, 7};
    int dcol = 7, drow = 7, status = 0;
    grid_cell_exit(kExitPlain, cell, p, up, 0, exit, dcol, drow, status);
    EXPECT_NE(status, 0);
    EXPECT_EQ(exit[0], 7);
    EXPECT_EQ(dcol, 7);
}
