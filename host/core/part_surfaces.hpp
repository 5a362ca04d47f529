// The data behind the surface entities of a part (host/vantu_part_surfaces.hpp): a height grid or
// a mesh file, kept with the entity in the entity store, read from and written to the part file's
// "entities" section by host/part_surfaces.cpp. Internal to the host: module code never includes
// this.
#pragma once

#include <array>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

namespace vantu {

struct entity;

struct part_surface {
    int type = 0;  // kHeightGridType, kMeshType or a parametric type (host/vantu_surface_eval.hpp)
    // Height grid: node (0, 0) at (x0, y0), square cells, nx x ny nodes row by row; a node without
    // surface holds kNodeWithoutSurface.
    double x0 = 0.0, y0 = 0.0, cell_size = 0.0;
    int nx = 0, ny = 0;
    std::vector<float> heights;
    // The name of the file that holds the heights or the mesh, as the part file gives it (empty:
    // heights inline), and the path the data-file search found for it at load.
    std::string file_name;
    std::string file_path;
    // Parametric surfaces (host/parametric_surfaces.cpp): the defining numbers of the kind, the
    // parameter ranges as the part gives them (start, end) and the two flag words.
    std::vector<double> coefficients;
    double u_range[2] = {0.0, 1.0};
    double v_range[2] = {0.0, 1.0};
    int flag_words[2] = {0, 0};
};

// The parametric kinds "plane", "sphere" and "bicubic" (host/parametric_surfaces.cpp).
bool is_parametric_kind(const std::string& kind);
void parametric_from_json(const nlohmann::json& object, const std::string& kind, const std::string& place,
                          part_surface& surface);
void parametric_to_json(const part_surface& surface, nlohmann::json& object);
std::string describe_parametric(const part_surface& surface);
// The point of a parametric surface at (u, v), in model coordinates.
std::array<double, 3> parametric_point(const part_surface& surface, double u, double v);

// Whether the part-file kind is one of the surface kinds.
bool is_surface_kind(const std::string& kind);
// Fills the entity (class, type and surface data) from its part-file object; throws
// std::invalid_argument with the place ("entities[3] \"cell_size\": must be above 0") when a field
// is wrong or a file is not found by the data-file search or cannot be read.
void surface_from_json(const nlohmann::json& object, const std::string& kind, const std::string& place, entity& e);
// The surface fields of the entity's part-file object, so that loading them gives the same entity.
void surface_to_json(const part_surface& surface, nlohmann::json& object);
// One line of the entity listing: "height grid 41 x 31 nodes, cell 1", "mesh dome.off".
std::string describe_surface(const part_surface& surface);

}  // namespace vantu
