// The clean-up grid (see the header): laying it, finding the cell of a point, filing records and
// flagging the cells the tool reaches, closing it.
#include "clearing/surface_services/pass_store_grid.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "host/vantu.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <climits>
#include <cmath>

cleanup_grid_state cleanup_grid;

namespace {

constexpr int kRefused = -1;
constexpr int kClosed = -1;
// Cells the grid may hold: the cell array stays well inside the host's array sizes.
constexpr double kMostCells = 1.0e7;

cleanup_cell* cells() { return static_cast<cleanup_cell*>(mmcptr(cleanup_grid.cells_handle)); }

// Cells along one side: at least one, so that a point at the origin has a cell.
double cells_along(float extent, float cell) { return std::max(1.0, std::ceil(static_cast<double>(extent) / cell)); }

// The index of the cell holding offset d from the origin along a side of count cells; -1 for a
// point before the origin (or not a number), the last cell for one beyond the end.
int index_along(float d, float cell, int count)
{
    if (!(d >= 0.0f)) return -1;
    const double index = static_cast<double>(d) / cell;
    return index >= count ? count - 1 : static_cast<int>(index);
}

// Room for one more record in the cell: its array opened or grown by a step when full.
void make_room(cleanup_cell& cell, int& status)
{
    if (cell.count % kCleanupRecordStep != 0) return;
    void* base = nullptr;
    if (cell.handle == kClosed) {
        MM_OPEN_ARRAY(static_cast<int>(sizeof(cleanup_record)), kCleanupRecordStep, cell.handle, base, status);
        if (status < 0) cell.handle = kClosed;
    } else {
        MM_RESIZE_ARRAY(cell.handle, kCleanupRecordStep, base, status);
    }
}

// Flags the cells next to (row, column) on every side whose edge lies within reach of p, and the
// diagonal cell where two neighbouring sides are reached.
void flag_neighbours(const float* p, int row, int column, float reach)
{
    const float left = cleanup_grid.origin[0] + column * cleanup_grid.cell_width;
    const float bottom = cleanup_grid.origin[1] + row * cleanup_grid.cell_height;
    const bool below = leval(p[1] - bottom, reach) != 0;
    const bool before = leval(p[0] - left, reach) != 0;
    const bool above = leval(bottom + cleanup_grid.cell_height - p[1], reach) != 0;
    const bool beyond = leval(left + cleanup_grid.cell_width - p[0], reach) != 0;
    for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) {
            const bool reached = (dr == 0 || (dr < 0 ? below : above)) && (dc == 0 || (dc < 0 ? before : beyond));
            const int r = row + dr, c = column + dc;
            if ((dr != 0 || dc != 0) && reached && r >= 0 && r < cleanup_grid.rows && c >= 0 &&
                c < cleanup_grid.columns)
                cells()[r * cleanup_grid.columns + c].flag = 1;
        }
}

}  // namespace

void cleanup_grid_open(const float* origin, const float* extent, int& status)
{
    cleanup_grid_close(status);
    if (status < 0) return;
    const float width = clear_block.cell_size[0], height = clear_block.cell_size[1];
    const bool sizes = width > 0.0f && height > 0.0f && extent[0] >= 0.0f && extent[1] >= 0.0f &&
                       std::isfinite(origin[0]) && std::isfinite(origin[1]);
    const double columns = sizes ? cells_along(extent[0], width) : 0.0,
                 rows = sizes ? cells_along(extent[1], height) : 0.0;
    if (!sizes || !(columns * rows <= kMostCells)) {
        eroutc("cleanup_grid_open,BAD GRID SIZE", 0);
        status = kRefused;
        return;
    }
    void* base = nullptr;
    int handle = kClosed;
    MM_OPEN_ARRAY(static_cast<int>(sizeof(cleanup_cell)), static_cast<int>(columns * rows), handle, base, status);
    if (status < 0) {
        eroutc("cleanup_grid_open,dynamic memory error", 0);
        return;
    }
    cleanup_grid = {{origin[0], origin[1]}, static_cast<int>(columns), static_cast<int>(rows), width, height, handle};
    std::fill_n(static_cast<cleanup_cell*>(base), cleanup_grid.columns * cleanup_grid.rows,
                cleanup_cell{0, 0, 0, kClosed});
}

void cleanup_grid_close(int& status)
{
    status = 0;
    if (cleanup_grid.cells_handle != kClosed) {
        for (int k = 0; k < cleanup_grid.columns * cleanup_grid.rows; ++k) {
            int closed = 0;
            if (cells()[k].handle != kClosed) MM_CLOSE(cells()[k].handle, closed);
            if (closed != 0 && status == 0) status = closed < 0 ? closed : kRefused;
        }
        int closed = 0;
        MM_CLOSE(cleanup_grid.cells_handle, closed);
        if (closed != 0 && status == 0) status = closed < 0 ? closed : kRefused;
    }
    cleanup_grid = cleanup_grid_state{};
}

const cleanup_cell* cleanup_grid_cell(int row, int column)
{
    if (cleanup_grid.cells_handle == kClosed || row < 0 || row >= cleanup_grid.rows || column < 0 ||
        column >= cleanup_grid.columns)
        return nullptr;
    return cells() + row * cleanup_grid.columns + column;
}

const cleanup_record* cleanup_cell_records(const cleanup_cell& cell)
{
    return cell.handle == kClosed ? nullptr : static_cast<const cleanup_record*>(mmcptr(cell.handle));
}

void clnins(double height, int count, const float* segments, const float* points, int& status)
{
    status = 0;
    if (count <= 0 || cleanup_grid.cells_handle == kClosed) return;
    float diameter = -1.0f;  // no mill: no reach, no neighbour flagged
    tool_get_mill_diameter(PRM9().words[machine_params::kToolId], diameter);
    for (int k = 0; k < count / 2; ++k) {
        const float* p = points + 3 * k;
        const int row = index_along(p[1] - cleanup_grid.origin[1], cleanup_grid.cell_height, cleanup_grid.rows);
        const int column = index_along(p[0] - cleanup_grid.origin[0], cleanup_grid.cell_width, cleanup_grid.columns);
        if (row < 0 || column < 0) continue;
        cleanup_cell& cell = cells()[row * cleanup_grid.columns + column];
        make_room(cell, status);
        if (status < 0) {
            eroutc("clnins,dynamic memory error", 0);
            return;
        }
        const float* segment = segments + 6 * k;
        cleanup_record& record = static_cast<cleanup_record*>(mmcptr(cell.handle))[cell.count];
        record = {{0.0f, 0.0f, 0.0f},
                  {p[0], p[1]},
                  static_cast<float>(height),
                  {segment[0], segment[1], segment[2]},
                  {segment[3], segment[4], segment[5]}};
        cell.count += 1;
        cell.flag = 1;
        flag_neighbours(p, row, column, diameter / 2);
    }
}
