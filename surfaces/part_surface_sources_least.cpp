// The part's surface entities as the module's surfaces (see the header).
#include "surfaces/part_surface_sources_least.hpp"

#include "host/vantu_entity_ext.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_part_surfaces.hpp"
#include "surfaces/surface_grid.hpp"
#include "surfaces/tri_model_sources_least.hpp"
#include "surfaces/tri_store_least.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kFailed = -1;

struct part_grid {
    double x0 = 0.0, y0 = 0.0, cell_size = 0.0;
    int nx = 0, ny = 0;
    std::vector<float> heights;
};

// The height grid of the entity with the module's mark on its nodes without surface.
bool read_part_grid(int entity, part_grid& grid)
{
    int status = 0;
    height_grid_get(entity, grid.x0, grid.y0, grid.cell_size, grid.nx, grid.ny, grid.heights, status);
    if (status != 0) return false;
    for (float& z : grid.heights)
        if (std::fabs(z) >= kNodeWithoutSurface) z = kGridNoSurfaceHeight;
    return true;
}

}  // namespace

void surface_grid_from_part(int entity, int& status)
{
    status = 0;
    part_grid grid;
    if (!read_part_grid(entity, grid)) {
        erou1c("surface_grid_from_part, NO HEIGHT GRID", entity);
        status = kFailed;
        return;
    }
    surface_grid& g = surface_grid_block;
    g.x0 = grid.x0;
    g.y0 = grid.y0;
    g.h = grid.cell_size;
    g.nx = grid.nx;
    g.ny = grid.ny;
    g.heights = std::move(grid.heights);
    float lowest = 0.0f;
    bool any = false;
    for (float z : g.heights) {
        if (std::fabs(z) >= kGridNoSurfaceHeight) continue;
        lowest = any ? std::min(lowest, z) : z;
        any = true;
    }
    g.base_height = lowest;
    ++g.generation;
    g.projection.cell_size = static_cast<float>(g.h);
    g.projection.x0 = static_cast<float>(g.x0);
    g.projection.y0 = static_cast<float>(g.y0);
}

void part_surface_mesh_append(int entity, tri_mesh& mesh, int& status)
{
    int entity_class = 0, type = 0;
    egclty(entity, entity_class, type, status);
    bool appended = false;
    if (status == 0 && entity_class == kPartSurfaceClass && type == kHeightGridType) {
        part_grid grid;
        appended = read_part_grid(entity, grid) &&
                   grid_mesh_append(grid.nx, grid.ny, static_cast<float>(grid.x0), static_cast<float>(grid.y0),
                                    static_cast<float>(grid.cell_size), grid.heights.data(), mesh);
    } else if (status == 0 && entity_class == kPartSurfaceClass && type == kMeshType) {
        std::string path;
        mesh_file_get(entity, path, status);
        appended = status == 0 && off_mesh_append(path.c_str(), mesh);
    }
    status = appended ? 0 : kFailed;
}

void tri_model_from_part(int entity, int& status)
{
    tri_mesh mesh;
    part_surface_mesh_append(entity, mesh, status);
    if (status != 0) {
        erou1c("tri_model_from_part, NO PART SURFACE", entity);
        return;
    }
    tri_model_from_mesh(mesh, status);
    if (status == 0) tri_model_lane_tolerance_set(kDataSurfaceLaneTolerance);
}
