// The part's surface entities as the module's surfaces: the surface grid loaded from a height grid
// and the triangle model from a height grid with holes or from a mesh.
#include "host/control.hpp"
#include "host/control/files.hpp"
#include "host/control/memory.hpp"
#include "surfaces/part_surface_sources_least.hpp"
#include "surfaces/surface_grid.hpp"
#include "surfaces/tri_store_least.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Entity 3: a grid of 4 x 3 nodes with one node without surface (col 3, row 1); 4: a mesh of two
// triangles; 5: a line.
const char* const kPart = R"({"entities": [
  {"id": 3, "kind": "height_grid", "origin": [10, -5], "cell_size": 2, "nodes": [4, 3],
   "heights": [1, 2, 3, 4,  1.5, 2.5, 3.5, null,  -2, 0, 0, 0]},
  {"id": 4, "kind": "mesh", "file": "two.off"},
  {"id": 5, "kind": "line", "start": [0, 0, 0], "end": [1, 0, 0]}]})";

class PartSurfaceSources : public ::testing::Test {
protected:
    fs::path folder = fs::temp_directory_path() / ("part_surface_sources_" + std::to_string(getpid()));

    void SetUp() override
    {
        tri_model_module_reset();
        surface_grid_block = surface_grid{};
        vantu::control::reset();
        fs::create_directories(folder);
        std::ofstream(folder / "two.off") << "OFF\n4 1 0\n0 0 0\n1 0 0\n1 1 3\n0 1 0\n4 0 1 2 3\n";
        vantu::control::set_data_directories({folder.string()});
        vantu::control::load_part_text(kPart, "part");
    }
    void TearDown() override
    {
        int status = 0;
        tri_model_release(status);
        EXPECT_EQ(vantu::control::open_array_count(), 0);
        surface_grid_block = surface_grid{};
        vantu::control::reset();
        fs::remove_all(folder);
    }
    static std::vector<std::string> errors() { return vantu::control::lines_of("erou1c"); }
};

}  // namespace

TEST_F(PartSurfaceSources, GridLoadsWithItsHoleMarkedAndRaisesTheGeneration)
{
    surface_grid_block.shift[2] = 4.0;
    surface_grid_block.projection.tool_diameter = 6.0f;
    int status = 9;
    surface_grid_from_part(3, status);
    ASSERT_EQ(status, 0);
    const surface_grid& g = surface_grid_block;
    EXPECT_EQ(std::vector<double>({g.x0, g.y0, g.h}), std::vector<double>({10, -5, 2}));
    EXPECT_EQ(g.nx, 4);
    EXPECT_EQ(g.ny, 3);
    ASSERT_EQ(g.heights.size(), 12u);
    EXPECT_EQ(g.heights[5], 2.5f);
    EXPECT_GE(std::fabs(g.heights[7]), kGridNoSurfaceHeight) << "the hole keeps its mark";
    EXPECT_EQ(g.base_height, -2.0f);
    EXPECT_EQ(g.generation, 1u);
    EXPECT_EQ(g.projection.cell_size, 2.0f);
    EXPECT_EQ(g.projection.x0, 10.0f);
    EXPECT_EQ(g.projection.y0, -5.0f);
    EXPECT_EQ(g.projection.tool_diameter, 6.0f) << "tool values are not the loader's";
    EXPECT_EQ(g.shift[2], 4.0) << "the shift is not the loader's";
    surface_grid_from_part(3, status);
    EXPECT_EQ(g.generation, 2u) << "every load raises it";

    for (const int entity : {4, 5, 99}) {
        surface_grid_from_part(entity, status);
        EXPECT_EQ(status, -1) << entity;
        EXPECT_EQ(g.generation, 2u) << "a refused load leaves the grid";
        EXPECT_EQ(g.nx, 4);
    }
    EXPECT_EQ(errors(), std::vector<std::string>({"surface_grid_from_part, NO HEIGHT GRID 4",
                                                  "surface_grid_from_part, NO HEIGHT GRID 5",
                                                  "surface_grid_from_part, NO HEIGHT GRID 99"}));
}

TEST_F(PartSurfaceSources, TriangleModelFromEitherSurfaceLeavesHolesOut)
{
    const struct {
        int entity;
        int status;
        int triangles;  // held afterwards
        float top;      // highest node of the model's box
    } rows[] = {
        // 6 cells, 12 triangles; the hole at node (3, 1) touches the two triangles of cell (2, 0)
        // and one of cell (2, 1) (the diagonal runs from (2, 1) to (3, 2)).
        {3, 0, 9, 4.0f},
        {4, 0, 2, 3.0f},
        {5, -1, 2, 3.0f},  // a line: refused, the model held stays
        {99, -1, 2, 3.0f},
    };
    for (const auto& r : rows) {
        int status = 9;
        tri_model_from_part(r.entity, status);
        EXPECT_EQ(status, r.status) << r.entity;
        EXPECT_EQ(tri_store_block.entry_count, r.triangles) << r.entity;
        EXPECT_EQ(tri_store_block.box[5], r.top) << r.entity;
    }
    EXPECT_EQ(errors(), std::vector<std::string>(
                            {"tri_model_from_part, NO PART SURFACE 5", "tri_model_from_part, NO PART SURFACE 99"}));
}
