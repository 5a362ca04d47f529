// Set-up of the surface-lane tests (the 3-D lane offset and its pieces, the surface-path
// distance): the grid tests' fixture with a 3-D pocket, and 3-D pocket arrays to and from point
// lists.
#pragma once

#include "surface_grid_support.hpp"

#include <array>
#include <cmath>
#include <vector>

using p3 = std::array<double, 3>;

class SurfaceLaneTest : public grid_test::GridTest {
protected:
    void SetUp() override
    {
        grid_test::GridTest::SetUp();
        pocket_state_block.pocket_dimension = 3;
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
