// The segment test against the clearing grid (see the header).
#include "clearing/hatch/grid_segment_test.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/clear_grid.hpp"
#include "host/vantu.hpp"

#include <array>
#include <cmath>

namespace {
// The two cells beside the segment's crossing.
constexpr int kGridCellsRead = 2;
}  // namespace

void grid_segment_test(const double* first, const double* second, double height, int& result)
{
    result = 1;
    const clear_state& g = clear_block;
    if (g.cells == nullptr || !(g.cell_size[0] > 0.0f) || !(g.cell_size[1] > 0.0f) || g.columns < 1 || g.rows < 1)
        return;
    auto cell_units = [&](const double* p, double* u) {
        u[0] = (p[0] - g.grid_origin[0]) / g.cell_size[0] + 0.5;
        u[1] = (p[1] - g.grid_origin[1]) / g.cell_size[1] + 0.5;
    };
    double u0[2], u1[2];
    cell_units(first, u0);
    cell_units(second, u1);
    for (const double* u : {static_cast<const double*>(u0), static_cast<const double*>(u1)})
        if (!(u[0] >= 0.0 && u[1] >= 0.0 && u[0] < g.columns && u[1] < g.rows)) return;
    std::array<int, 2 * kGridCellsRead> cells{};
    int count = 0, status = 0;
    crgrid(u0[0], u0[1], u1[0], u1[1], kGridCellsRead, cells.data(), count, status);
    if (count < kGridCellsRead) return;
    float values[kGridCellsRead];
    for (int k = 0; k < kGridCellsRead; ++k) {
        const int i = cells[static_cast<std::size_t>(2 * k)], j = cells[static_cast<std::size_t>(2 * k + 1)];
        if (i < 0 || j < 0 || i >= g.columns || j >= g.rows) return;
        values[k] = g.cells[2 * (static_cast<long>(j) * g.columns + i)];
    }
    float reduce = 0.0f;
    clr_reduce_tol_get(reduce);
    const float larger = std::fmax(values[0], values[1]), smaller = std::fmin(values[0], values[1]);
    if (larger < reduce && smaller > height) result = 0;
}
