// Surface entities of the part file (height grids and meshes): refused at load naming the entity
// and the field, saved so that they load back the same, and read by the module as given.
#include "host/control.hpp"
#include "host/control/files.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_part_surfaces.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kGrid = R"("kind": "height_grid", "origin": [-1, 2], "cell_size": 0.5, "nodes": [3, 2])";

class PartSurfaces : public ::testing::Test {
protected:
    fs::path folder = fs::temp_directory_path() / ("part_surfaces_" + std::to_string(getpid()));

    void SetUp() override
    {
        vantu::control::reset();
        fs::create_directories(folder);
        std::ofstream(folder / "ridge.txt") << "0 0.5 1\n null 0.25 -3e-2\n";
        std::ofstream(folder / "short.txt") << "0 1 2 3 4\n";
        std::ofstream(folder / "long.txt") << "0 1 2 3 4 5 6\n";
        std::ofstream(folder / "word.txt") << "0 abc 2 3 4 5\n";
        std::ofstream(folder / "dome.off") << "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 1\n3 0 1 2\n";
        vantu::control::set_data_directories({folder.string()});
    }
    void TearDown() override
    {
        vantu::control::reset();
        fs::remove_all(folder);
    }
};

std::string part_of(const std::string& entities) { return "{\"entities\": [" + entities + "]}"; }

}  // namespace

TEST_F(PartSurfaces, MalformedSurfacesAreRefusedNamingTheEntityAndField)
{
    struct row {
        std::string entity;
        const char* expected;
    };
    const std::string grid = std::string(R"({"id": 3, )") + kGrid;
    const row rows[] = {
        {grid + R"(, "heights": [0, 0, 0, 0, 0]})",
         R"(entities[0] "heights": holds 5 heights, 6 expected (3 x 2 nodes))"},
        {R"({"id": 3, "kind": "height_grid", "origin": [0, 0], "cell_size": 0, "nodes": [2, 1], "heights": [0, 0]})",
         R"(entities[0] "cell_size": must be a finite number above 0)"},
        {R"({"id": 3, "kind": "height_grid", "origin": [0, 0], "cell_size": -1, "nodes": [2, 1], "heights": [0, 0]})",
         R"("cell_size": must be a finite number above 0)"},
        {R"({"id": 3, "kind": "height_grid", "origin": [0, 0], "cell_size": "1", "nodes": [2, 1], "heights": [0, 0]})",
         R"("cell_size": must be a finite number above 0)"},
        {R"({"id": 3, "kind": "height_grid", "origin": [0, 0], "cell_size": 1, "nodes": [0, 2], "heights": []})",
         R"("nodes": must be at least 1 each)"},
        {R"({"id": 3, "kind": "height_grid", "origin": [0, 0], "cell_size": 1, "nodes": [1.5, 2], "heights": []})",
         R"("nodes": must be an array of 2 integers)"},
        {R"({"id": 3, "kind": "height_grid", "origin": [9e5, 0], "cell_size": 1e5, "nodes": [3, 1], "heights": [0, 0, 0]})",
         R"("cell_size": the grid reaches beyond the model extent)"},
        {R"({"id": 3, "kind": "height_grid", "origin": [0], "cell_size": 1, "nodes": [1, 1], "heights": [0]})",
         R"("origin": must be an array of 2 numbers)"},
        {grid + R"(, "heights": [0, 0, "x", 0, 0, 0]})", R"("heights": height 2 is not null or a number)"},
        {grid + R"(, "heights": [0, 0, 0, 0, 2e6, 0]})", R"("heights": height 4 is not null or a number)"},
        {grid + R"(, "heights": [0, 0, 0, 0, 0, 0], "heights_file": "ridge.txt"})",
         R"(give either "heights" or "heights_file")"},
        {grid + "}", R"(give either "heights" or "heights_file")"},
        {grid + R"(, "heights_file": "missing.txt"})",
         R"("heights_file": "missing.txt" is not found by the data-file search)"},
        {grid + R"(, "heights_file": "short.txt"})", R"("heights_file": short.txt holds 5 heights, 6 expected)"},
        {grid + R"(, "heights_file": "long.txt"})", R"("heights_file": long.txt holds 7 heights, 6 expected)"},
        {grid + R"(, "heights_file": "word.txt"})", R"("heights_file": word.txt: height 1 "abc" is not null)"},
        {R"({"id": 3, "kind": "mesh", "file": "missing.off"})", R"(entities[0] "file": "missing.off" is not found)"},
        {R"({"id": 3, "kind": "mesh", "file": "ridge.txt"})", R"("file": ridge.txt is not an OFF file)"},
        {R"({"id": 3, "kind": "mesh"})", R"("file": missing)"},
        {R"({"id": 3, "kind": "mesh", "file": "dome.off", "colour": 2})", R"("colour": unknown for kind "mesh")"},
        {R"({"id": 3, "kind": "mesh", "file": "dome.off", "class": 5})", R"("class": must be 3 for a mesh)"},
    };
    for (const row& r : rows) {
        try {
            vantu::control::load_part_text(part_of(r.entity), "part.json");
            ADD_FAILURE() << "accepted: " << r.entity;
        } catch (const vantu::control::part_error& e) {
            EXPECT_NE(std::string(e.what()).find(r.expected), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("part.json: in \"entities\": ", 0), 0u) << e.what();
        }
    }
}

TEST_F(PartSurfaces, SavedSurfacesLoadBackTheSameAndReadAsGiven)
{
    // The part stands in the data folder itself: its folder is searched with no data directory.
    const std::string entities = std::string(R"({"id": 3, )") + kGrid +
                                 R"(, "heights": [0.1, 2, null, -1e6, 0, 7.5]},)" + R"({"id": 4, )" + kGrid +
                                 R"(, "heights_file": "ridge.txt"},)" +
                                 R"({"id": 5, "kind": "mesh", "file": "dome.off", "attributes": {"CO": 4}})";
    std::ofstream(folder / "part.json") << part_of(entities);
    vantu::control::reset();
    vantu::control::load_part((folder / "part.json").string());

    const float none = kNodeWithoutSurface;
    const struct {
        int id;
        std::vector<float> heights;
    } grids[] = {{3, {0.1f, 2, none, -1e6f, 0, 7.5f}}, {4, {0, 0.5f, 1, none, 0.25f, -3e-2f}}};
    for (const auto& g : grids) {
        double x0 = 0, y0 = 0, cell = 0;
        int nx = 0, ny = 0, status = 9;
        std::vector<float> heights;
        height_grid_get(g.id, x0, y0, cell, nx, ny, heights, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(std::vector<double>({x0, y0, cell}), std::vector<double>({-1, 2, 0.5})) << g.id;
        EXPECT_EQ(nx, 3);
        EXPECT_EQ(ny, 2);
        EXPECT_EQ(heights, g.heights) << g.id;
    }
    std::string path;
    int status = 9;
    mesh_file_get(5, path, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::equivalent(path, folder / "dome.off")) << path;

    const std::string saved = vantu::control::save_part_text();
    EXPECT_NE(saved.find("\"heights_file\": \"ridge.txt\""), std::string::npos) << "a file stays a file";
    EXPECT_NE(saved.find("0.1,"), std::string::npos) << "heights are saved in their shortest form";
    vantu::control::load_part_text(saved, "saved");
    EXPECT_EQ(vantu::control::save_part_text(), saved);

    // Wrong kinds and missing entities are refused with nothing written.
    const struct {
        int id;
        bool grid;
        int status;
    } refusals[] = {{5, true, kNotThatSurface}, {3, false, kNotThatSurface}, {99, true, -5}, {99, false, -5}};
    for (const auto& r : refusals) {
        double x0 = 42, y0 = 0, cell = 0;
        int nx = 0, ny = 0;
        std::vector<float> heights;
        std::string file = "kept";
        if (r.grid)
            height_grid_get(r.id, x0, y0, cell, nx, ny, heights, status);
        else
            mesh_file_get(r.id, file, status);
        EXPECT_EQ(status, r.status) << r.id;
        EXPECT_EQ(x0, 42);
        EXPECT_EQ(file, "kept");
    }
}

// The nearest surface is measured to the grid's triangles (a cell with a node without surface
// left out) and to the mesh's faces; every part surface's normal flag is 1.
TEST_F(PartSurfaces, NearestSurfaceAndNormalFlags)
{
    const std::string grid =
        R"({"id": 6, "kind": "height_grid", "origin": [0, 0], "cell_size": 1, "nodes": [3, 3],
            "heights": [0, 0, 0, 0, 0, 0, 0, 0, null]},)";
    vantu::control::load_part_text(part_of(grid + R"({"id": 5, "kind": "mesh", "file": "dome.off"})"), "part.json");
    struct row {
        const char* what;
        std::vector<int> ids;
        float point[3];
        int status, index;
        float distance;
    };
    const row rows[] = {
        {"above the grid", {6, 5}, {1, 1, 0.5f}, 0, 0, 0.5f},
        {"over the mesh's face", {6, 5}, {0.25f, 0, 0.5f}, 0, 1, 0.25f * std::sqrt(2.0f)},
        {"a cell left out", {6}, {1.9f, 1.9f, 0}, 0, 0, 0.9f},
        {"no part surface", {99}, {0, 0, 0}, -1, -7, -7},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        float distance = -7;
        int index = -7, status = 9;
        clpsrf1(r.ids.data(), static_cast<int>(r.ids.size()), r.point, distance, index, status);
        EXPECT_EQ(status, r.status);
        EXPECT_EQ(index, r.index);
        EXPECT_NEAR(distance, r.distance, 1e-5f);
    }
    const int ids[3] = {6, 99, 5};
    int flags[3] = {9, 9, 9}, status = 9;
    nc_surf_nrms(ids, 3, flags, status);
    EXPECT_EQ(status, kEntityMissing);
    EXPECT_EQ(std::vector<int>(flags, flags + 3), (std::vector<int>{1, 0, 1}));
}
