// The least triangle model: records, the quadtree over them, its sources (height grids and OFF
// files) and their refusals, the geometry routines the cutter location reads, and the warning
// about a point.
#include "host/control.hpp"
#include "host/control/memory.hpp"
#include "host/vantu.hpp"
#include "nc_services/coord_in_display_units.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/warn_at_point.hpp"
#include "surfaces/qt_geometry.hpp"
#include "surfaces/tri_model_sources_least.hpp"
#include "surfaces/tri_store_least.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

class TriModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        tri_model_module_reset();
        vantu::control::reset();
    }
    void TearDown() override
    {
        int status = 0;
        tri_model_release(status);
        EXPECT_EQ(vantu::control::open_array_count(), 0);
    }
    static std::vector<std::string> errors() { return vantu::control::texts_of("eroutc"); }
};

TEST_F(TriModel, QuadtreeHoldsEveryTriangleOnceInsideItsBoxes)
{
    const unsigned seed = 29208;
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> at(-50, 50), size(0.01f, 8), up(-3, 3);
    std::vector<float> nodes;
    std::vector<int> triangles;
    for (int t = 0; t < 3000; ++t) {
        const float x = at(random), y = at(random), s = t % 50 == 0 ? 60 : size(random);
        const float corners[9] = {x, y, up(random), x + s, y, up(random), x, y + s * 0.5f, up(random)};
        nodes.insert(nodes.end(), corners, corners + 9);
        triangles.insert(triangles.end(), {3 * t + 1, 3 * t + 3, 3 * t + 2});  // clockwise: normals turned up
    }
    int status = 9;
    tri_model_build(nodes.data(), 9000, triangles.data(), 3000, status);
    ASSERT_EQ(status, 0);
    const qt_entry* entries = tri_model_entries();
    const int* list = tri_model_list();
    ASSERT_NE(entries, nullptr);
    std::vector<int> held(3000, 0);
    for (int i = 0; i < kQtNodes; ++i) {
        const qt_node& node = qt_nodes.nodes[i];
        int below = node.count;
        for (int c = 4 * i + 1; c <= 4 * i + 4 && c < kQtNodes; ++c) below += qt_nodes.nodes[c].subtree;
        EXPECT_EQ(node.subtree, below) << "node " << i;
        for (int k = 0; k < node.count; ++k) {
            const qt_entry& e = entries[list[node.first + k]];
            ++held[list[node.first + k]];
            EXPECT_TRUE(e.box[0] >= node.box[0] && e.box[1] >= node.box[1] && e.box[2] <= node.box[2] &&
                        e.box[3] <= node.box[3])
                << "seed " << seed << ", node " << i;
            for (int c = 0; c < 3; ++c) EXPECT_LE(nodes[3 * (e.nodes[c] - 1) + 2], node.top_z);
        }
        for (int c = 4 * i + 1; c <= 4 * i + 4 && c < kQtNodes; ++c) {
            const qt_node& child = qt_nodes.nodes[c];
            if (child.subtree == 0) continue;
            EXPECT_TRUE(child.box[0] >= node.box[0] && child.box[2] <= node.box[2] && child.top_z <= node.top_z);
            EXPECT_EQ(child.level, node.level + 1);
        }
    }
    EXPECT_EQ(std::vector<int>(3000, 1), held) << "every triangle in exactly one node";
    EXPECT_EQ(qt_nodes.nodes[0].subtree, 3000);
    EXPECT_LT(qt_nodes.nodes[0].count, 200) << "small triangles sink below the root";
    for (int t = 0; t < 3000; ++t) {
        const qt_entry& e = entries[t];
        ASSERT_GE(e.normal[2], 0.0f);
        EXPECT_NEAR(std::hypot(e.normal[0], e.normal[1], e.normal[2]), 1, 1e-6);
        const float* a = nodes.data() + 3 * (e.nodes[0] - 1);
        EXPECT_NEAR(e.normal[0] * a[0] + e.normal[1] * a[1] + e.normal[2] * a[2] + e.d, 0, 1e-4);
        EXPECT_EQ(e.normal_source, 0);
    }
}

TEST_F(TriModel, SourcesAndRefusals)
{
    struct row {
        const char* what;
        std::string off;  // empty: no file
        int status;
        int triangles;
        const char* error;
    };
    const row rows[] = {
        {"a quad and a triangle", "OFF\n5 2 0\n0 0 0\n1 0 0\n1 1 1\n0 1 1\n2 0 0\n4 0 1 2 3\n3 1 4 2 0.5 0.5 0.5\n", 0,
         3, ""},
        // A refused file leaves the model held as it was.
        {"a vertex number outside", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 3\n", -1, 3,
         "tri_model_from_off, CANNOT READ "},
        {"not an OFF file", "PLY\n3 1 0\n", -1, 3, "tri_model_from_off, CANNOT READ "},
        {"a face of two corners", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n2 0 1\n", -1, 3,
         "tri_model_from_off, CANNOT READ "},
        {"cut short", "OFF\n3 1 0\n0 0 0\n1 0\n", -1, 3, "tri_model_from_off, CANNOT READ "},
        {"no file", "", -1, 3, "tri_model_from_off, CANNOT READ "},
    };
    const std::string path = ::testing::TempDir() + "tri_model_test.off";
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        vantu::control::clear_messages();
        std::remove(path.c_str());
        if (!r.off.empty()) std::ofstream(path) << r.off;
        int status = 9;
        tri_model_from_off(path.c_str(), status);
        EXPECT_EQ(status, r.status);
        EXPECT_EQ(tri_store_block.entry_count, r.triangles);
        const std::vector<std::string> expected =
            r.status != 0 ? std::vector<std::string>{std::string(r.error) + path} : std::vector<std::string>{};
        EXPECT_EQ(errors(), expected);
    }
    std::remove(path.c_str());

    const float heights[6] = {0, 1, 2, 0, 1, 2};
    int status = 9;
    tri_model_from_grid(3, 2, 10, 20, 0.5f, heights, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(tri_store_block.entry_count, 4);
    EXPECT_EQ(tri_store_block.node_count, 6);
    EXPECT_FLOAT_EQ(tri_store_block.box[3], 11.0f);
    EXPECT_FLOAT_EQ(tri_store_block.box[5], 2.0f);

    struct refusal {
        const char* what;
        std::vector<float> nodes;
        std::vector<int> triangles;
        const char* error;
    };
    const refusal refusals[] = {
        {"a node number beyond the nodes",
         {0, 0, 0, 1, 0, 0, 0, 1, 0},
         {1, 2, 4},
         "tri_model_build, WRONG NODE NUMBER"},
        {"node number 0", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, "tri_model_build, WRONG NODE NUMBER"},
        {"no triangles", {0, 0, 0}, {}, "tri_model_build, NO TRIANGLES"},
    };
    for (const refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        vantu::control::clear_messages();
        tri_model_build(r.nodes.data(), static_cast<int>(r.nodes.size() / 3), r.triangles.data(),
                        static_cast<int>(r.triangles.size() / 3), status);
        EXPECT_EQ(status, -1);
        EXPECT_EQ(errors(), std::vector<std::string>{r.error});
        EXPECT_EQ(tri_store_block.entry_count, 4) << "the model held stays";
    }
    vantu::control::clear_messages();
    tri_model_from_grid(1, 5, 0, 0, 1, heights, status);
    EXPECT_EQ(errors(), std::vector<std::string>{"tri_model_from_grid, WRONG GRID"});

    // A refused array leaves nothing open.
    vantu::control::clear_messages();
    vantu::control::inject_fault("MM_OPEN_ARRAY", 2, 1, -2);
    tri_model_from_grid(3, 2, 10, 20, 0.5f, heights, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"tri_model_build, DYNAMIC MEMORY PROBLEM"});
    EXPECT_EQ(vantu::control::open_array_count(), 0);
    EXPECT_EQ(tri_model_nodes(), nullptr);
}

TEST(TriGeometry, VertexDropAndBoxDistances)
{
    const float axis[3] = {0, 0, 0};
    struct drop_row {
        const char* what;
        float x, z, radius, flat;
        float height;
    };
    const drop_row drops[] = {
        {"on the flat", 1.5f, 4, 3, 2, 4},
        {"on the corner", 2.6f, 4, 3, 2, 4 - (1 - 0.8f)},
        {"at the radius", 3, 4, 3, 2, -1e10f},
        {"ball", 0.6f, 4, 1, 0, 4 - (1 - 0.8f)},
    };
    for (const drop_row& r : drops) {
        SCOPED_TRACE(r.what);
        const float vertex[3] = {r.x, 0, r.z};
        EXPECT_NEAR(vertex_drop_height(axis, vertex, r.radius, r.flat), r.height, 1e-6f);
    }
    struct box_row {
        const char* what;
        int box[4];
        float cap;
        float near;
        int near_status;
        float far;
        int far_status;
    };
    const box_row boxes[] = {
        {"point inside", {-1000, -1000, 3000, 4000}, 10, 0, 0, 5, 0},
        {"beside", {3000, -500, 4000, 500}, 10, 3, 0, std::hypot(4.0f, 0.5f), 0},
        {"diagonal", {3000, 4000, 6000, 8000}, 5, 5, 0, 5, 1},
        {"beyond the cap", {3000, 4000, 6000, 8000}, 4, 4, 1, 4, 1},
    };
    for (const box_row& r : boxes) {
        SCOPED_TRACE(r.what);
        float d = -1;
        int status = 9;
        qt_box_near_dist(r.box[0], r.box[1], r.box[2], r.box[3], 0, 0, r.cap, d, status);
        EXPECT_NEAR(d, r.near, 1e-6f);
        EXPECT_EQ(status, r.near_status);
        qt_box_far_dist(r.box[0], r.box[1], r.box[2], r.box[3], 0, 0, r.cap, d, status);
        EXPECT_NEAR(d, r.far, 1e-5f);
        EXPECT_EQ(status, r.far_status);
    }
}

TEST(WarnAtPoint, PointInDisplayUnitsBetweenTexts)
{
    vantu::control::reset();
    NPT1().set_real(tp_header_state::kMacsysOrigin, 100);
    NPT1().set_real(tp_header_state::kMacsysOrigin + 2, -1);
    EXPECT_EQ(coord_in_display_units(0, 101.5f), 1.5);
    EXPECT_EQ(coord_in_display_units(2, 0.0f), 1.0);
    EXPECT_EQ(coord_in_display_units(3, 7.0f), 7.0) << "another index subtracts nothing";
    const float point[3] = {101.5f, -2, 3};
    warn_at_point("ENTRY POINT:", point, " ");
    warn_at_point(std::string(200, 'P'), point, std::string(170, 'S'));
    const auto shown = vantu::control::texts_of("usmsgc");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "ENTRY POINT: X = 1.5000 Y = -2.0000 Z = 4.0000 ");
    EXPECT_EQ(shown[1], std::string(159, 'P') + " X = 1.5000 Y = -2.0000 Z = 4.0000" + std::string(159, 'S'))
        << "each text cut at 159 characters";
    NPT1() = tp_header_state{};
}
