// Set-up of the surface-lane tests: a fresh pool, host and grid per test, height grids built from
// a height function, and 3-D pocket arrays to and from point lists.
#pragma once

#include "pocket_arrays/pocket_test_support.hpp"
#include "surfaces/surface_grid.hpp"

#include <array>
#include <functional>
#include <vector>

using p3 = std::array<double, 3>;

class SurfaceLaneTest : public PocketTest {
protected:
    void SetUp() override
    {
        PocketTest::SetUp();
        surface_grid_block = surface_grid{};
        pocket_state_block.pocket_dimension = 3;
    }
    void TearDown() override
    {
        surface_grid_block = surface_grid{};
        PocketTest::TearDown();
    }

    // The grid of nx x ny nodes from (x0, y0) with cell size h, heights from the function.
    static void load_grid(double x0, double y0, double h, int nx, int ny, const std::function<double(double, double)>& z)
    {
        surface_grid& g = surface_grid_block;
        g.x0 = x0, g.y0 = y0, g.h = h, g.nx = nx, g.ny = ny;
        g.heights.assign(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny), 0.0f);
        for (int r = 0; r < ny; ++r)
            for (int c = 0; c < nx; ++c)
                g.heights[static_cast<std::size_t>(nx) * r + c] = static_cast<float>(z(x0 + c * h, y0 + r * h));
        ++g.generation;
    }
};

inline pokarr make_3d(const std::vector<p3>& points)
{
    pokarr a;
    pokarr_init(3, a);
    int status = 0;
    for (const p3& p : points) pokarr_add_pnt(p.data(), a, status);
    return a;
}

inline std::vector<p3> points_of(const pokarr& a)
{
    std::vector<p3> v;
    for (int i = 0; i < a.count; ++i) v.push_back({a.x[i], a.y[i], a.z != nullptr ? a.z[i] : 0.0});
    return v;
}

inline double length_3d(const p3& a, const p3& b) { return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]); }
