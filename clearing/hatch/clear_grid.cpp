// The clearing height grid's stamp and bound.
#include "clearing/hatch/clear_grid.hpp"

#include "clearing/hatch/clear_block.hpp"

#include <cmath>

namespace {

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kRaiseSecond = 1;

// The cell index along one axis, -1 outside 0 .. cells - 1.
long cell_along(float value, float origin, float size, int cells)
{
    if (!(size > 0.0f)) return -1;
    const double u = (static_cast<double>(value) - origin) / size + 0.5;
    return u >= 0.0 && u < cells ? static_cast<long>(u) : -1;
}

}  // namespace

void grid_stamp_z(int mode, const float* point, int& status)
{
    status = kFailed;
    const clear_state& b = clear_block;
    if (b.cells == nullptr || point == nullptr) return;
    const long row = cell_along(point[1], b.grid_origin[1], b.cell_size[1], b.rows);
    const long column = cell_along(point[0], b.grid_origin[0], b.cell_size[0], b.columns);
    if (row < 0 || column < 0) return;
    const long cell = row * b.columns + column;
    const long floats = 2L * b.rows * b.columns;
    const float z = point[2];
    if (mode == kRaiseSecond) {
        const float first = b.cells[2 * cell];
        b.cells[2 * cell + 1] = std::fmax(first, z);
    } else {
        const long at = 2 * cell + mode;
        if (at < 0 || at >= floats) return;
        b.cells[at] = z;
    }
    status = kGoOn;
}

void clr_reduce_tol_get(float& value) { value = static_cast<float>(clear_block.bound); }
