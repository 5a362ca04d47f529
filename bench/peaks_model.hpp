// The fine field of three Gaussian peaks that the surface benchmarks lay their cutters on: a
// height function and its triangle model over cells x cells squares of the given size, two
// triangles a square (for 224 cells of 0.5 mm: 100,352 triangles).
#pragma once

#include "surfaces/tri_store_least.hpp"

#include <cmath>
#include <vector>

inline float peaks(float x, float y)
{
    auto peak = [](float dx, float dy, float h, float s) { return h * std::exp(-(dx * dx + dy * dy) / (s * s)); };
    return peak(x - 35, y - 40, 20, 14) + peak(x - 80, y - 75, 15, 10) + peak(x - 70, y - 25, 10, 7);
}

// Builds the triangle model of the field; the status is tri_model_build's.
inline void build_peaks_model(int cells, float cell_size, int& status)
{
    const int n = cells + 1;
    std::vector<float> nodes;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            nodes.insert(nodes.end(), {i * cell_size, j * cell_size, peaks(i * cell_size, j * cell_size)});
    std::vector<int> triangles;
    for (int j = 0; j + 1 < n; ++j)
        for (int i = 0; i + 1 < n; ++i) {
            const int a = j * n + i + 1, b = a + 1, c = a + n, d = c + 1;
            triangles.insert(triangles.end(), {a, b, d, a, d, c});
        }
    tri_model_build(nodes.data(), n * n, triangles.data(), static_cast<int>(triangles.size() / 3), status);
}
