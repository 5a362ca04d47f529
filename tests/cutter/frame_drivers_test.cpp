// The cutter frame and the triangle drivers: when the frame is rebuilt, what it does to axes and
// triangle records, the inverse kept when the inversion fails, the box height bound, the region
// test, and the drivers' statuses for a drop and a push.
#include "cutter_test_support.hpp"

#include "cutter/kernels/triangle_drivers.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "pocket/reg_region.hpp"

#include <cmath>

TEST_F(CutterTest, FrameIsRebuiltOnlyWhenAxisOrOriginMove)
{
    struct row {
        const char* what;
        std::array<float, 3> origin, axis;
        long builds;  // plrot calls so far
    };
    const float tilt = 2e-5f;
    const row rows[] = {
        {"first use builds", {1, 2, 3}, {0, 0, 1}, 1},
        {"the origin moved 5e-5 keeps it", {1 + 5e-5f, 2, 3}, {0, 0, 1}, 1},
        {"the origin moved 2e-4 rebuilds", {1 + 2e-4f, 2, 3}, {0, 0, 1}, 2},
        {"the axis moved 5e-6 keeps it", {1 + 2e-4f, 2, 3}, {5e-6f, 0, 1}, 2},
        {"the axis moved 2e-5 rebuilds", {1 + 2e-4f, 2, 3}, {tilt, 0, 1}, 3},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        frame_update(r.origin.data(), r.axis.data());
        EXPECT_EQ(vantu::control::call_count("plrot"), r.builds);
    }
}

TEST_F(CutterTest, FrameKeepsTheTransposeWhenTheInversionFails)
{
    vantu::control::inject_fault("m3inv", 1, 1, -1);
    const float origin[3] = {10, 20, 30}, tilted[3] = {0.6f, 0, 0.8f};
    float v[3] = {0.6f, 0, 0.8f};
    frame_vector(origin, tilted, v);
    EXPECT_NEAR(v[2], 1, 1e-6f) << "the axis turned to +z";
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(cutter_frame_block.inverse[3 * row + column], cutter_frame_block.rotation[3 * column + row]);
    frame_vector_back(v);
    EXPECT_NEAR(v[0], 0.6f, 1e-6f);
    EXPECT_NEAR(v[2], 0.8f, 1e-6f);
}

TEST_F(CutterTest, FrameTriangleTurnsRecordsUpwardsAndBoxesThem)
{
    build_model({0.0004f, 0, 1, 0.0004f, 2, 1, 0.0004f, 1, 3, 1, 1, 5, 3, 1, 5, 1, 4, 5});
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    const float origin[3] = {0, 0, 0};
    const float up[3] = {0, 0, 1}, down[3] = {0, 0, -1};
    qt_entry out{};
    int box[4];
    float corners[9];

    frame_triangle(origin, up, nodes, entries[0], out, box, corners);
    EXPECT_EQ(box[0], 0) << "trunc(0.4 - 1)";
    EXPECT_EQ(box[2], 1) << "trunc(0.4 + 1)";
    EXPECT_EQ(std::vector<int>(box, box + 4), std::vector<int>(out.box, out.box + 4));

    frame_triangle(origin, down, nodes, entries[1], out, box, corners);
    EXPECT_NEAR(out.normal[2], 1, 1e-6f) << "a normal turned downwards comes back negated";
    EXPECT_NEAR(corners[2], -5, 1e-6f) << "the corners are turned";
    EXPECT_NEAR(out.d, -(out.normal[0] * corners[0] + out.normal[1] * corners[1] + out.normal[2] * corners[2]), 1e-5f);
    EXPECT_NEAR(out.d, 5, 1e-5f);
    EXPECT_EQ(box[1], static_cast<int>(-4000.0f - 1)) << "y turned to -y";

    qt_entry broken = entries[0];
    broken.nodes[2] = 99;
    frame_triangle(origin, up, nodes, broken, out, box, corners);
    EXPECT_EQ(std::vector<float>(corners, corners + 9), std::vector<float>(9, 0.0f)) << "a node outside the model";
}

TEST(TriangleDrivers, BoxHeightBound)
{
    // R = 5; the point at the origin, boxes beyond it along x (micrometres).
    struct row {
        const char* what;
        int type, mode;
        float corner;
        int box[4];
        int status;
        float height;
    };
    const row rows[] = {
        {"flat end: the box's top", kCutterFlat, 2, 0, {3000, -1000, 4000, 1000}, 0, 10},
        {"ball at 0.6 R: z - 0.2 R", kCutterBall, 2, 5, {3000, -1000, 4000, 1000}, 0, 9},
        {"ball at 0.8 R: z - 0.4 R", kCutterBall, 2, 5, {4000, -1000, 5000, 1000}, 0, 8},
        {"bull-nose at d = w: z", kCutterBullNose, 2, 1, {4000, -1000, 5000, 1000}, 0, 10},
        {"bull-nose on its corner", kCutterBullNose, 2, 2, {4000, -1000, 5000, 1000}, 0, 10 - (2 - std::sqrt(3.0f))},
        {"tapered code 12: the flat-end formula", 12, 2, 1, {4000, -1000, 5000, 1000}, 0, 10},
        {"beyond R: status 1, nothing written", kCutterBall, 2, 5, {5001, -1000, 6000, 1000}, 1, -7},
        {"far distance: to the farthest corner", kCutterBall, 1, 5, {0, 0, 3000, 4000}, 0, 5},
        {"far distance beyond R", kCutterBall, 1, 5, {0, 0, 3000, 4001}, 1, -7},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        const int point[2] = {0, 0};
        float height = -7;
        int status = 9;
        qt_box_drop_height(point, r.box, 10, r.mode, 5, r.corner, r.type, height, status);
        EXPECT_EQ(status, r.status);
        EXPECT_NEAR(height, r.height, 1e-5f);
    }
}

TEST_F(CutterTest, PointInRegionSetCountsItsPolygons)
{
    reg_region region{};
    int status = 0, flag = 9;
    const float point_inside[2] = {1, 1};
    EXPECT_FALSE(point_in_region_set(point_inside, flag)) << "no region set: false, nothing read";
    EXPECT_EQ(flag, 0);

    reg_init(kRegionPlane, &region, status);
    const float outer[8] = {0, 0, 10, 0, 10, 10, 0, 10};
    const float island[8] = {4, 4, 6, 4, 6, 6, 4, 6};
    reg_add_poly(kRegionPlane, outer, 4, 0, &region, status);
    reg_add_poly(kRegionPlane, island, 4, 1, &region, status);
    ASSERT_EQ(status, 0);
    struct row {
        const char* what;
        float x, y;
        bool inside;
    };
    const row rows[] = {
        {"inside the outline only", 1, 1, true},
        {"inside the outline and one island: two hits", 5, 5, false},
        {"outside everything", 12, 5, false},
        {"on the outline", 10, 5, true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        const float p[2] = {r.x, r.y};
        region_set_block.region = &region;
        EXPECT_EQ(point_in_region_set(p, flag), r.inside);
        region_set_block.region = nullptr;
        EXPECT_EQ(point_in_region_set(p, flag, &region), r.inside) << "the region given overrides";
    }
    reg_release(&region, status);
}

TEST_F(CutterTest, DropDriverStatuses)
{
    // A level triangle over the axis, one beside it, one with a node the model does not have.
    build_model({-10, -10, 2, 10, -10, 2, 0, 10, 2, 4, -1, 1, 9, 0, 1, 4, 1, 1});
    const qt_entry* entries = tri_model_entries();
    const float* nodes = tri_model_nodes();
    struct row {
        const char* what;
        int entry;
        int type;
        float x;
        int status;
        float height, distance;
    };
    const row rows[] = {
        {"face with the axis inside: 5, distance 0", 0, kCutterFlat, 0, kXyFaceInside, 2, 0},
        {"beside: an edge contact, distance to it", 1, kCutterFlat, 2, kXyEdge, 1, 2},
        {"beside, out of reach: no contact", 1, kCutterFlat, -3, kDriverNoContact, 0, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        const qt_entry& e = entries[r.entry];
        const float* p[3];
        for (int k = 0; k < 3; ++k) p[k] = nodes + 3 * (e.nodes[k] - 1);
        const float point[2] = {r.x, 0};
        float height = -1, contact[3], distance = -1, value = 0;
        int status = 9;
        triangle_drop_single(p[0], p[1], p[2], e, point, r.type, 0, 0, 0, 6, 0, height, contact, distance, value,
                             status);
        EXPECT_EQ(status, r.status);
        EXPECT_NEAR(height, r.height, 1e-6f);
        EXPECT_NEAR(distance, r.distance, 1e-5f);
        EXPECT_EQ(value, r.entry == 0 ? kNoHeight : value) << "set to -1e10 first";
    }
    qt_entry broken = entries[0];
    broken.nodes[1] = 0;
    const float point[2] = {0, 0};
    float height = -1, contact[3], distance = -1, value = 0;
    int status = 9;
    triangle_drop_single(nodes, nodes + 3, nodes + 6, broken, point, kCutterFlat, 0, 0, 0, 6, 0, height, contact,
                         distance, value, status);
    EXPECT_EQ(status, kDriverNoContact) << "a node number outside the model";
}

TEST_F(CutterTest, PushDriverMeetsAFaceAlongTheMove)
{
    // A face z = 0.75 (x - 5) turned towards the move; a ball of radius 2 meets it after 13 / 3.
    const float xs[3] = {4, 10, 7}, ys[3] = {-5, -5, 6};
    std::vector<float> corners;
    for (int k = 0; k < 3; ++k) corners.insert(corners.end(), {xs[k], ys[k], 0.75f * (xs[k] - 5)});
    // The same face turned a quarter turn, met by a move along +y.
    for (int k = 0; k < 3; ++k) corners.insert(corners.end(), {-ys[k], xs[k], 0.75f * (xs[k] - 5)});
    build_model(corners);
    const qt_entry* entries = tri_model_entries();
    const float* nodes = tri_model_nodes();
    const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    struct row {
        const char* what;
        int entry, axis_code, type;
        float end_x, end_y, travel_in;
        int status;
        float travel;
        std::array<float, 3> tool;
    };
    const float t = 13.0f / 3.0f;
    // The tapered corner's ring lies D/2 - rc tan(45 - 5) degrees from the axis and reaches the face
    // that much sooner.
    const float tapered = t - (2 - 2 * std::tan(40 * static_cast<float>(M_PI) / 180));
    const row rows[] = {
        {"a ball along +x meets the face", 0, 0, kCutterBall, 10, 0, 100, 0, t, {t, 0, 0}},
        {"a move shorter than the travel: not within the move", 0, 0, kCutterBall, 3, 0, 100, 1, t, {0, 0, 0}},
        {"a triangle beyond the travel found so far", 0, 0, kCutterBall, 10, 0, 1, 1, -1, {0, 0, 0}},
        {"along +y through a quarter turn back", 1, -1, kCutterBall, 0, 10, 100, 0, t, {0, t, 0}},
        {"a tapered cutter through the tapered drop",
         0,
         0,
         kCutterBall + kCutterTapered,
         10,
         0,
         100,
         0,
         tapered,
         {tapered, 0, 0}},
    };
    linnet_params_block.taper = 10 * static_cast<float>(M_PI) / 180;
    linnet_params_block.cut_length = 5;
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        const qt_entry& e = entries[r.entry];
        const float* p[3];
        for (int k = 0; k < 3; ++k) p[k] = nodes + 3 * (e.nodes[k] - 1);
        const float start[2] = {0, 0}, end[2] = {r.end_x, r.end_y};
        float tool[3] = {0, 0, 0}, contact[3] = {0, 0, 0}, travel = r.travel_in;
        int status = 9;
        triangle_push_double(p[0], p[1], p[2], e, start, end, 0, r.axis_code, identity, identity, r.type, 0, 0, 4, 2,
                             tool, contact, travel, status);
        EXPECT_EQ(status, r.status);
        EXPECT_NEAR(travel, r.travel, 1e-5f);
        for (int k = 0; k < 3 && status == 0; ++k) EXPECT_NEAR(tool[k], r.tool[k], 1e-5f) << "tool point " << k;
    }
}
