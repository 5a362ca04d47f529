// The triangle model and the grid of points of the cutter-location benchmarks: the mesh of the
// OFF file named by DRELAN_BENCH_MESH, or a generated field of three peaks of 3,671 triangles,
// with 100,000 points over its box and a cutter diameter of the XY diagonal / 40. Built once per
// program. The real mesh the figures are taken on is three_peaks.off of Debian's libcgal-demo
// (3,671 triangles with steep and vertical walls, inside /usr/share/doc/libcgal-dev/data.tar.gz
// as data/meshes/three_peaks.off).
#pragma once

#include "host/control.hpp"
#include "surfaces/tri_model_sources_least.hpp"
#include "surfaces/tri_store_least.hpp"

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

inline constexpr int kGridX = 400, kGridY = 250;  // 100,000 points

// Three Gaussian peaks over 51 x 36 cells of 2 mm, one triangle left out: 3,671 triangles.
inline void three_peaks(int& status)
{
    constexpr int nx = 52, ny = 37;
    constexpr float step = 2.0f;
    auto height = [](float x, float y) {
        auto peak = [](float dx, float dy, float h, float s) { return h * std::exp(-(dx * dx + dy * dy) / (s * s)); };
        return peak(x - 30, y - 25, 20, 12) + peak(x - 70, y - 45, 15, 9) + peak(x - 55, y - 15, 10, 6);
    };
    std::vector<float> nodes;
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) nodes.insert(nodes.end(), {i * step, j * step, height(i * step, j * step)});
    std::vector<int> triangles;
    for (int j = 0; j + 1 < ny; ++j)
        for (int i = 0; i + 1 < nx; ++i) {
            const int a = j * nx + i + 1, b = a + 1, c = a + nx, d = c + 1;
            triangles.insert(triangles.end(), {a, b, d, a, d, c});
        }
    triangles.resize(triangles.size() - 3);
    tri_model_build(nodes.data(), nx * ny, triangles.data(), static_cast<int>(triangles.size() / 3), status);
}

// The model and the grid of points over it, made once.
struct mesh_grid {
    bool ready = false;
    std::string error;
    std::vector<float> points;  // x, y pairs
    float diameter = 0.0f;
    double size = 0.0;  // the diagonal of the model's box
};

inline mesh_grid& mesh()
{
    static mesh_grid m;
    if (m.ready || !m.error.empty()) return m;
    vantu::control::reset();
    int status = 0;
    const char* path = std::getenv("DRELAN_BENCH_MESH");
    if (path != nullptr && *path != '\0')
        tri_model_from_off(path, status);
    else
        three_peaks(status);
    if (status != 0) {
        m.error =
            std::string("the mesh cannot be built from ") + (path != nullptr && *path != '\0' ? path : "the field");
        return m;
    }
    const float* box = tri_store_block.box;
    m.diameter = std::hypot(box[3] - box[0], box[4] - box[1]) / 40.0f;
    m.size = std::hypot(static_cast<double>(box[3]) - box[0], static_cast<double>(box[4]) - box[1],
                        static_cast<double>(box[5]) - box[2]);
    for (int j = 0; j < kGridY; ++j)
        for (int i = 0; i < kGridX; ++i) {
            m.points.push_back(box[0] + (box[3] - box[0]) * (i + 0.5f) / kGridX);
            m.points.push_back(box[1] + (box[4] - box[1]) * (j + 0.5f) / kGridY);
        }
    m.ready = true;
    return m;
}

}  // namespace bench
