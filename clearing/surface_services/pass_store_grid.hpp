// The clean-up grid: the places that the clean-up detection of the pass store finds, sorted into
// cells of the clearing height grid's size (clear_block.cell_size). cleanup_grid_open lays it over
// the area the surface passes cover; clnins files each place in its cell and flags the cells that
// the tool reaches from there; cleanup_grid_close gives the arrays back.
#pragma once

// One place: three zeros, the clean-up point, a height, and the segment of two points.
struct cleanup_record {
    float zeros[3];
    float point[2];
    float height;
    float start[3];
    float end[3];
};
static_assert(sizeof(cleanup_record) == 48);

// A cell's records are opened 10 at a time and grow by 10.
inline constexpr int kCleanupRecordStep = 10;

struct cleanup_cell {
    int count;   // records in the cell
    int spare;   // a word this code does not touch
    int flag;    // 1 once a record was filed in the cell or the tool reaches it from one
    int handle;  // the records' array, -1 while none was filed
};

struct cleanup_grid_state {
    float origin[2] = {0.0f, 0.0f};  // lower left corner of cell (0, 0)
    int columns = 0;
    int rows = 0;
    float cell_width = 0.0f;
    float cell_height = 0.0f;
    int cells_handle = -1;  // cells row after row: index row x columns + column
};

extern cleanup_grid_state cleanup_grid;

// Lays the grid from origin (x, y) over extent (width, height, 0 or more) with the clearing
// height grid's cell sizes; a grid still open is closed first. Status 0; -1 with
// "cleanup_grid_open,BAD GRID SIZE" when a cell size is not positive, the extent is negative or
// the cells are too many; the host's status with "cleanup_grid_open,dynamic memory error". Reads
// clear_block.cell_size.
void cleanup_grid_open(const float* origin, const float* extent, int& status);

// Closes the records of every cell and the cells. Status 0, or the first failing close's.
void cleanup_grid_close(int& status);

// The cell at (row, column), null outside the grid or while it is closed; its records (count of
// them), null while it has none.
const cleanup_cell* cleanup_grid_cell(int row, int column);
const cleanup_record* cleanup_cell_records(const cleanup_cell& cell);

// Files the segments (count points, pairs of three floats; clean-up point k of segment k in points)
// in the cells of their clean-up points at the given height: a point beyond the last row or column
// goes to it, a point left of or below the grid (or any point while no grid is open) is dropped.
// Cells within D / 2 of a filed point are flagged. Status 0, or the host's with
// "clnins,dynamic memory error". Reads the current mill's diameter.
void clnins(double height, int count, const float* segments, const float* points, int& status);
