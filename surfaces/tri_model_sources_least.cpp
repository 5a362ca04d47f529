// Sources of the least triangle model (see the header).
#include "surfaces/tri_model_sources_least.hpp"

#include "host/vantu_messages.hpp"
#include "surfaces/tri_store_least.hpp"

#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kFailed = -1;
// Bounds of what an OFF file may ask for: far above any part's triangulation, low enough that a
// corrupt count fails cleanly.
constexpr long kMostOffVertices = 10000000;
constexpr int kMostFaceCorners = 1000;

}  // namespace

void tri_model_from_grid(int nx, int ny, float x0, float y0, float step, const float* heights, int& status)
{
    if (nx < 2 || ny < 2 || !(step > 0.0f) || heights == nullptr ||
        static_cast<long>(nx) * ny > kMostOffVertices) {
        eroutc("tri_model_from_grid, WRONG GRID", 0);
        status = kFailed;
        return;
    }
    std::vector<float> nodes;
    nodes.reserve(3 * static_cast<std::size_t>(nx) * ny);
    for (int j = 0; j < ny; ++j) {
        for (int i = 0; i < nx; ++i) {
            nodes.push_back(x0 + step * static_cast<float>(i));
            nodes.push_back(y0 + step * static_cast<float>(j));
            nodes.push_back(heights[static_cast<std::size_t>(j) * nx + i]);
        }
    }
    std::vector<int> triangles;
    triangles.reserve(6 * static_cast<std::size_t>(nx - 1) * (ny - 1));
    for (int j = 0; j + 1 < ny; ++j) {
        for (int i = 0; i + 1 < nx; ++i) {
            const int a = j * nx + i + 1, b = a + 1, c = a + nx, d = c + 1;  // node numbers from 1
            triangles.insert(triangles.end(), {a, b, d, a, d, c});
        }
    }
    tri_model_build(nodes.data(), nx * ny, triangles.data(), static_cast<int>(triangles.size() / 3), status);
}

void tri_model_from_off(const char* path, int& status)
{
    auto refuse = [&status, path]() {
        eroutc(std::string("tri_model_from_off, CANNOT READ ") + (path ? path : ""), 0);
        status = kFailed;
    };
    std::ifstream in(path ? path : "");
    std::string magic;
    long vertices = 0, faces = 0, edges = 0;
    if (!(in >> magic >> vertices >> faces >> edges) || magic != "OFF" || vertices < 1 || faces < 1 ||
        vertices > kMostOffVertices || faces > kMostOffVertices) {
        refuse();
        return;
    }
    std::vector<float> nodes(3 * static_cast<std::size_t>(vertices));
    for (float& c : nodes)
        if (!(in >> c)) return refuse();
    std::vector<int> triangles;
    for (long f = 0; f < faces; ++f) {
        int corners = 0;
        if (!(in >> corners) || corners < 3 || corners > kMostFaceCorners) return refuse();
        std::vector<int> face(static_cast<std::size_t>(corners));
        for (int& v : face)
            if (!(in >> v) || v < 0 || v >= vertices) return refuse();
        std::string rest;
        std::getline(in, rest);  // a face may carry a colour after its corners
        for (int k = 1; k + 1 < corners; ++k) triangles.insert(triangles.end(), {face[0] + 1, face[k] + 1, face[k + 1] + 1});
        if (static_cast<long>(triangles.size() / 3) > kMostOffVertices) return refuse();
    }
    tri_model_build(nodes.data(), static_cast<int>(vertices), triangles.data(), static_cast<int>(triangles.size() / 3),
                    status);
}
