// Surface entities of the part: the height grid and the mesh, as the part file gives them and as
// the module reads them (host/vantu_part_surfaces.hpp). In the "entities" section:
//   {"id": 20, "kind": "height_grid", "origin": [x0, y0], "cell_size": h, "nodes": [nx, ny],
//    "heights": [z, z, null, ...]}            heights row by row, null for a node without surface
//   {"id": 20, "kind": "height_grid", ..., "heights_file": "ridge.txt"}   the same heights as text
//   {"id": 21, "kind": "mesh", "file": "dome.off"}
// The files are found by the data-file search when the part is loaded; a part whose grid does not
// hold one height per node, whose cell size is not a finite number above 0, or whose file is
// missing or unreadable is refused naming the entity and the field.
#include "host/vantu_part_surfaces.hpp"

#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/files.hpp"
#include "host/core/part_surfaces.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_entity.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace vantu {

namespace {

using json = nlohmann::json;

// The most nodes of one grid: far above any part's grid, low enough that a wrong count fails
// cleanly instead of exhausting memory.
constexpr long long kMostGridNodes = 10000000;

struct surface_place {
    const std::string& place;

    [[noreturn]] void raise(std::string_view field, std::string_view what) const
    {
        throw std::invalid_argument(place + " \"" + std::string(field) + "\": " + std::string(what));
    }
};

std::string extent_text()
{
    char text[64];
    std::snprintf(text, sizeof text, "beyond the model extent of %g", kModelExtent);
    return text;
}

// A finite number within the model extent.
double coordinate(const json& value, const char* field, const surface_place& where)
{
    if (!value.is_number()) where.raise(field, "must be a number");
    const double v = value.get<double>();
    if (!std::isfinite(v)) where.raise(field, "must be finite");
    if (std::fabs(v) > kModelExtent) where.raise(field, extent_text());
    return v;
}

const json& required(const json& object, const char* field, const surface_place& where)
{
    auto it = object.find(field);
    if (it == object.end()) where.raise(field, "missing");
    return *it;
}

// One node height of the part file: a number within the model extent, or null.
bool node_height(const json& value, float& height)
{
    if (value.is_null()) {
        height = kNodeWithoutSurface;
        return true;
    }
    if (!value.is_number()) return false;
    const double v = value.get<double>();
    if (!(std::fabs(v) <= kModelExtent)) return false;
    height = static_cast<float>(v);
    return true;
}

void expect_count(std::size_t count, const part_surface& s, const char* field, const std::string& prefix,
                  const surface_place& where)
{
    const std::size_t expected = static_cast<std::size_t>(s.nx) * static_cast<std::size_t>(s.ny);
    if (count != expected)
        where.raise(field, prefix + "holds " + std::to_string(count) + " heights, " + std::to_string(expected) +
                               " expected (" + std::to_string(s.nx) + " x " + std::to_string(s.ny) + " nodes)");
}

void inline_heights(const json& heights, part_surface& s, const surface_place& where)
{
    if (!heights.is_array()) where.raise("heights", "must be an array of numbers and nulls");
    expect_count(heights.size(), s, "heights", "", where);
    s.heights.resize(heights.size());
    for (std::size_t i = 0; i < heights.size(); ++i)
        if (!node_height(heights[i], s.heights[i]))
            where.raise("heights", "height " + std::to_string(i) + " is not null or a number within the model extent");
}

// The text file of a grid: the heights row by row as numbers or null, separated by white space.
void file_heights(part_surface& s, const surface_place& where)
{
    std::ifstream in(s.file_path);
    if (!in) where.raise("heights_file", s.file_name + " cannot be read");
    const std::size_t expected = static_cast<std::size_t>(s.nx) * static_cast<std::size_t>(s.ny);
    s.heights.reserve(expected);
    std::string token;
    while (in >> token) {
        if (s.heights.size() == expected) expect_count(expected + 1, s, "heights_file", s.file_name + " ", where);
        float height = kNodeWithoutSurface;
        if (token != "null") {
            char* end = nullptr;
            const double v = std::strtod(token.c_str(), &end);
            if (end != token.c_str() + token.size() || !(std::fabs(v) <= kModelExtent))
                where.raise("heights_file", s.file_name + ": height " + std::to_string(s.heights.size()) + " \"" +
                                                token + "\" is not null or a number within the model extent");
            height = static_cast<float>(v);
        }
        s.heights.push_back(height);
    }
    expect_count(s.heights.size(), s, "heights_file", s.file_name + " ", where);
}

// A file named by the part, found by the data-file search.
void find_file(const json& name, const char* field, part_surface& s, const surface_place& where)
{
    if (!name.is_string() || name.get<std::string>().empty()) where.raise(field, "must be a file name");
    s.file_name = name.get<std::string>();
    const auto path = find_data_file(s.file_name);
    if (!path) where.raise(field, "\"" + s.file_name + "\" is not found by the data-file search");
    s.file_path = *path;
}

void grid_fields(const json& object, part_surface& s, const surface_place& where)
{
    const json& origin = required(object, "origin", where);
    if (!origin.is_array() || origin.size() != 2) where.raise("origin", "must be an array of 2 numbers");
    s.x0 = coordinate(origin[0], "origin", where);
    s.y0 = coordinate(origin[1], "origin", where);
    const json& cell = required(object, "cell_size", where);
    if (!cell.is_number() || !(cell.get<double>() > 0.0) || !std::isfinite(cell.get<double>()))
        where.raise("cell_size", "must be a finite number above 0");
    s.cell_size = cell.get<double>();
    const json& nodes = required(object, "nodes", where);
    if (!nodes.is_array() || nodes.size() != 2 || !nodes[0].is_number_integer() || !nodes[1].is_number_integer())
        where.raise("nodes", "must be an array of 2 integers");
    const long long nx = nodes[0].get<long long>(), ny = nodes[1].get<long long>();
    if (nx < 1 || ny < 1) where.raise("nodes", "must be at least 1 each");
    if (nx > kMostGridNodes || ny > kMostGridNodes || nx * ny > kMostGridNodes)
        where.raise("nodes", "more than " + std::to_string(kMostGridNodes) + " nodes");
    s.nx = static_cast<int>(nx);
    s.ny = static_cast<int>(ny);
    const double far_x = s.x0 + s.cell_size * static_cast<double>(nx - 1);
    const double far_y = s.y0 + s.cell_size * static_cast<double>(ny - 1);
    if (!(std::fabs(far_x) <= kModelExtent && std::fabs(far_y) <= kModelExtent))
        where.raise("cell_size", "the grid reaches " + extent_text());
    const bool inline_given = object.contains("heights"), file_given = object.contains("heights_file");
    if (inline_given == file_given) where.raise("heights", "give either \"heights\" or \"heights_file\"");
    if (inline_given) {
        inline_heights(object["heights"], s, where);
    } else {
        find_file(object["heights_file"], "heights_file", s, where);
        file_heights(s, where);
    }
}

void mesh_fields(const json& object, part_surface& s, const surface_place& where)
{
    find_file(required(object, "file", where), "file", s, where);
    std::ifstream in(s.file_path);
    std::string magic;
    if (!(in >> magic) || magic != "OFF") where.raise("file", s.file_name + " is not an OFF file");
}

// The shortest decimal form of a height, so that the saved file reads as it was written and loads
// back to the same single-precision value.
json height_json(float height)
{
    if (std::fabs(height) >= kNodeWithoutSurface) return nullptr;
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, height);
    static_cast<void>(error);
    return std::strtod(std::string(text, end).c_str(), nullptr);
}

}  // namespace

bool is_surface_kind(const std::string& kind)
{
    return kind == "height_grid" || kind == "mesh" || is_parametric_kind(kind);
}

void surface_from_json(const json& object, const std::string& kind, const std::string& place, entity& e)
{
    const surface_place where{place};
    auto s = std::make_shared<part_surface>();
    s->type = kind == "mesh" ? kMeshType : kHeightGridType;
    if (is_parametric_kind(kind))
        parametric_from_json(object, kind, place, *s);
    else if (s->type == kMeshType)
        mesh_fields(object, *s, where);
    else
        grid_fields(object, *s, where);
    e.entity_class = kPartSurfaceClass;
    e.type = s->type;
    e.surface = std::move(s);
}

void surface_to_json(const part_surface& s, json& object)
{
    if (!s.coefficients.empty()) {
        parametric_to_json(s, object);
        return;
    }
    if (s.type == kMeshType) {
        object["kind"] = "mesh";
        object["file"] = s.file_name;
        return;
    }
    object["kind"] = "height_grid";
    object["origin"] = json::array({s.x0, s.y0});
    object["cell_size"] = s.cell_size;
    object["nodes"] = json::array({s.nx, s.ny});
    if (!s.file_name.empty()) {
        object["heights_file"] = s.file_name;
        return;
    }
    json heights = json::array();
    for (float h : s.heights) heights.push_back(height_json(h));
    object["heights"] = std::move(heights);
}

std::string describe_surface(const part_surface& s)
{
    if (!s.coefficients.empty()) return describe_parametric(s);
    if (s.type == kMeshType) return "mesh " + s.file_name;
    char text[96];
    std::snprintf(text, sizeof text, "height grid %d x %d nodes, cell %.4f, origin (%.4f, %.4f)", s.nx, s.ny,
                  s.cell_size, s.x0, s.y0);
    return text + (s.file_name.empty() ? std::string() : ", heights from " + s.file_name);
}

}  // namespace vantu

namespace {

// The surface of entity id when it is of the type asked for; status as the header says.
const vantu::part_surface* surface_of(const char* call, int id, int type, int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit(call)) {
        status = *fault;
        return nullptr;
    }
    const vantu::entity* e = vantu::find_entity(id);
    if (e == nullptr) {
        status = kEntityMissing;
        return nullptr;
    }
    if (!e->surface || e->surface->type != type) {
        status = kNotThatSurface;
        return nullptr;
    }
    return e->surface.get();
}

}  // namespace

void height_grid_get(int id, double& x0, double& y0, double& cell_size, int& nx, int& ny, std::vector<float>& heights,
                     int& status)
{
    if (const vantu::part_surface* s = surface_of("height_grid_get", id, kHeightGridType, status)) {
        x0 = s->x0;
        y0 = s->y0;
        cell_size = s->cell_size;
        nx = s->nx;
        ny = s->ny;
        heights = s->heights;
    }
    vantu::trace_call("height_grid_get", std::to_string(id), status);
}

void mesh_file_get(int id, std::string& path, int& status)
{
    if (const vantu::part_surface* s = surface_of("mesh_file_get", id, kMeshType, status)) path = s->file_path;
    vantu::trace_call("mesh_file_get", std::to_string(id), status);
}
