// Sources of the least triangle model (see the header).
#include "surfaces/tri_model_sources_least.hpp"

#include "host/vantu_messages.hpp"
#include "surfaces/surface_grid.hpp"
#include "surfaces/tri_store_least.hpp"

#include <cmath>
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

bool grid_mesh_append(int nx, int ny, float x0, float y0, float step, const float* heights, tri_mesh& mesh)
{
    if (nx < 2 || ny < 2 || !(step > 0.0f) || heights == nullptr || static_cast<long>(nx) * ny > kMostOffVertices)
        return false;
    // Only the nodes with surface become nodes of the model, so that a hole neither stands in the
    // model's box nor gives a triangle; number[k] is node k's number from 1, 0 for a hole.
    std::vector<float>& nodes = mesh.nodes;
    std::vector<int> number(static_cast<std::size_t>(nx) * ny, 0);
    for (int j = 0; j < ny; ++j) {
        for (int i = 0; i < nx; ++i) {
            const std::size_t k = static_cast<std::size_t>(j) * nx + i;
            if (std::fabs(heights[k]) >= kGridNoSurfaceHeight) continue;
            nodes.insert(nodes.end(),
                         {x0 + step * static_cast<float>(i), y0 + step * static_cast<float>(j), heights[k]});
            number[k] = static_cast<int>(nodes.size() / 3);
        }
    }
    std::vector<int>& triangles = mesh.triangles;
    triangles.reserve(triangles.size() + 6 * static_cast<std::size_t>(nx - 1) * (ny - 1));
    const auto add = [&triangles](int a, int b, int c) {
        if (a != 0 && b != 0 && c != 0) triangles.insert(triangles.end(), {a, b, c});
    };
    for (int j = 0; j + 1 < ny; ++j) {
        for (int i = 0; i + 1 < nx; ++i) {
            const std::size_t k = static_cast<std::size_t>(j) * nx + i;
            const int a = number[k], b = number[k + 1], c = number[k + nx], d = number[k + nx + 1];
            add(a, b, d);
            add(a, d, c);
        }
    }
    return true;
}

bool off_mesh_append(const char* path, tri_mesh& mesh)
{
    std::ifstream in(path ? path : "");
    std::string magic;
    long vertices = 0, faces = 0, edges = 0;
    if (!(in >> magic >> vertices >> faces >> edges) || magic != "OFF" || vertices < 1 || faces < 1 ||
        vertices > kMostOffVertices || faces > kMostOffVertices)
        return false;
    std::vector<float> nodes(3 * static_cast<std::size_t>(vertices));
    for (float& c : nodes)
        if (!(in >> c)) return false;
    // The file's vertex numbers count from 0; in the mesh they follow the nodes already there.
    const int first = static_cast<int>(mesh.nodes.size() / 3) + 1;
    std::vector<int> triangles;
    for (long f = 0; f < faces; ++f) {
        int corners = 0;
        if (!(in >> corners) || corners < 3 || corners > kMostFaceCorners) return false;
        std::vector<int> face(static_cast<std::size_t>(corners));
        for (int& v : face)
            if (!(in >> v) || v < 0 || v >= vertices) return false;
        std::string rest;
        std::getline(in, rest);  // a face may carry a colour after its corners
        for (int k = 1; k + 1 < corners; ++k)
            triangles.insert(triangles.end(), {face[0] + first, face[k] + first, face[k + 1] + first});
        if (static_cast<long>(triangles.size() / 3) > kMostOffVertices) return false;
    }
    mesh.nodes.insert(mesh.nodes.end(), nodes.begin(), nodes.end());
    mesh.triangles.insert(mesh.triangles.end(), triangles.begin(), triangles.end());
    return true;
}

void tri_model_from_mesh(const tri_mesh& mesh, int& status)
{
    tri_model_build(mesh.nodes.data(), static_cast<int>(mesh.nodes.size() / 3), mesh.triangles.data(),
                    static_cast<int>(mesh.triangles.size() / 3), status);
}

void tri_model_from_grid(int nx, int ny, float x0, float y0, float step, const float* heights, int& status)
{
    tri_mesh mesh;
    if (!grid_mesh_append(nx, ny, x0, y0, step, heights, mesh)) {
        eroutc("tri_model_from_grid, WRONG GRID", 0);
        status = kFailed;
        return;
    }
    tri_model_from_mesh(mesh, status);
}

void tri_model_from_off(const char* path, int& status)
{
    tri_mesh mesh;
    if (!off_mesh_append(path, mesh)) {
        eroutc(std::string("tri_model_from_off, CANNOT READ ") + (path ? path : ""), 0);
        status = kFailed;
        return;
    }
    tri_model_from_mesh(mesh, status);
}
