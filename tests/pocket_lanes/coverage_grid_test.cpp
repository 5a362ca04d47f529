// The coverage grid of the W1 benchmark's length check (tests/support/coverage_grid.hpp): what a
// set of cuts leaves of a region, and the length of the lanes estimated to clear it.
#include "tests/support/coverage_grid.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct coverage_row {
    std::string name;
    double step;
    std::vector<test_support::grid_segment> cuts;
    bool island;  // a disc of radius 2 about (5, 5) taken out of the region
    double area, clearing_length;
    int patches;
};

// Horizontal cuts across the 10 x 10 square every `apart` from y = 0.
std::vector<test_support::grid_segment> rows_of_cuts(double apart)
{
    std::vector<test_support::grid_segment> out;
    for (double y = 0.0; y <= 10.0 + 1e-9; y += apart) out.push_back({{0.0, y}, {10.0, y}});
    return out;
}

TEST(CoverageGrid, LeavesWhatNoCutReachesAndEstimatesItsClearing)
{
    // Grid points 0.1 apart: 101 x 101 over the square. Cuts 2 apart with a reach of 0.55 leave
    // five bands of 9 x 101 points (y 0.6 to 1.4 and so on), each as long as its extent.
    const double band = 9 * 101 * 0.01, band_extent = 0.1 * std::hypot(101.0, 9.0);
    const std::vector<coverage_row> rows = {
        {"nothing cut", 1.0, {}, false, 101 * 101 * 0.01, 101 * 101 * 0.01, 1},
        {"cuts a step apart", 1.0, rows_of_cuts(1.0), false, 0.0, 0.0, 0},
        {"cuts two steps apart", 1.0, rows_of_cuts(2.0), false, 5 * band, 5 * band_extent, 5},
        {"cuts two steps apart, fine step", 0.1, rows_of_cuts(2.0), false, 5 * band, 5 * band / 0.1, 5},
        {"island in the middle, cuts a step apart", 1.0, rows_of_cuts(1.0), true, 0.0, 0.0, 0},
    };
    for (const coverage_row& r : rows) {
        test_support::coverage_grid grid(10.0, 10.0, 0.1);
        grid.add_region([](test_support::grid_point) { return true; });
        if (r.island) grid.remove_near({{5.0, 5.0}, {5.0, 5.0}}, 2.0);
        const double region = grid.region_area();
        for (const test_support::grid_segment& s : r.cuts) grid.cover(s, 0.55);
        const test_support::coverage_left left = grid.left(r.step);
        EXPECT_NEAR(left.area, r.area, 1e-9) << r.name;
        EXPECT_NEAR(left.clearing_length, r.clearing_length, 1e-6) << r.name;
        EXPECT_EQ(left.patches, r.patches) << r.name;
        // Covering is undone whole; the region stays as it was.
        grid.uncover_all();
        EXPECT_NEAR(grid.left(r.step).area, region, 1e-9) << r.name;
        if (r.island) {
            EXPECT_LT(region, 101 * 101 * 0.01 - 12.0) << r.name;
        }
    }
}

}  // namespace
