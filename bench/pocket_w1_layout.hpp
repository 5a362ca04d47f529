// Workload W1's layout: a 200 x 100 rectangle with N round islands of radius 2 on a jittered grid.
// The W1 benchmark (pocket_w1.cpp) times it; the whole-pocket tests judge it with many islands.
#pragma once

#include <random>
#include <vector>

namespace w1_layout {

inline constexpr double kWidth = 200.0, kHeight = 100.0, kMargin = 5.0, kRadius = 2.0;
inline constexpr unsigned kSeed = 20261207u;

struct centre {
    double x, y;
};

// N centres on a grid of about twice as many columns as rows over the margin box, each moved by
// at most 15 % of its cell so that neighbours never touch.
inline std::vector<centre> island_centres(int n)
{
    std::vector<centre> out;
    if (n <= 0) return out;
    int rows = 1;
    while (2 * rows * rows < n) ++rows;
    const int columns = (n + rows - 1) / rows;
    const double cell_x = (kWidth - 2.0 * kMargin) / columns, cell_y = (kHeight - 2.0 * kMargin) / rows;
    std::mt19937 rng(kSeed);
    std::uniform_real_distribution<double> jitter(-0.15, 0.15);
    for (int k = 0; k < n; ++k) {
        const int i = k % columns, j = k / columns;
        out.push_back({kMargin + (i + 0.5 + jitter(rng)) * cell_x, kMargin + (j + 0.5 + jitter(rng)) * cell_y});
    }
    return out;
}

}  // namespace w1_layout
