// Set-up of the surface grid tests: grids sampled from height functions that the grid's triangles
// represent exactly (planes, and ridges whose crest runs along a grid row), loaded as a source
// loads them (generation raised), with the cell records and the walk's switch back at load state.
#pragma once

#include "pocket_arrays/pocket_test_support.hpp"

#include "clearing/surface_lanes/grid_cell.hpp"
#include "clearing/surface_lanes/grid_walk.hpp"
#include "surfaces/surface_grid.hpp"

#include <cmath>
#include <functional>

namespace grid_test {

using height_fn = std::function<double(double, double)>;

// z = a x + b y + c.
inline height_fn plane(double a, double b, double c)
{
    return [=](double x, double y) { return a * x + b * y + c; };
}
// A roof: top at y = crest, falling by slope on both sides.
inline height_fn ridge(double crest, double top, double slope)
{
    return [=](double, double y) { return top - slope * std::fabs(y - crest); };
}

inline void load_grid(double x0, double y0, double h, int nx, int ny, const height_fn& z)
{
    surface_grid& g = surface_grid_block;
    const unsigned generation = g.generation;
    g = surface_grid{};
    g.generation = generation + 1;
    g.x0 = x0;
    g.y0 = y0;
    g.h = h;
    g.nx = nx;
    g.ny = ny;
    g.heights.resize(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny));
    for (int r = 0; r < ny; ++r)
        for (int c = 0; c < nx; ++c)
            g.heights[static_cast<std::size_t>(r) * nx + c] = static_cast<float>(z(x0 + c * h, y0 + r * h));
}

inline void set_node(int col, int row, float z)
{
    surface_grid& g = surface_grid_block;
    g.heights[static_cast<std::size_t>(row) * g.nx + col] = z;
    ++g.generation;
}

class GridTest : public PocketTest {
protected:
    void SetUp() override
    {
        PocketTest::SetUp();
        reset_grid();
    }
    void TearDown() override
    {
        reset_grid();
        PocketTest::TearDown();
    }
    static void reset_grid()
    {
        surface_grid_block = surface_grid{};
        grid_cells_block = grid_cells{};
        grid_walk_block = grid_walk_state{};
    }
};

inline double length3(const double* a, const double* b)
{
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

}  // namespace grid_test
