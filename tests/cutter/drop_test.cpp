// The drop of the current cutter onto the triangle model: against a brute-force reference over
// seeded triangles and height fields (plane, sphere cap, ridge), the quadtree drop against the
// drop over all triangles, a tilted axis, and bad input.
#include "cutter_test_support.hpp"
#include "drop_reference.hpp"

#include "cutter/drop_front.hpp"
#include "cutter/kernels/torus_contact.hpp"
#include "cutter/kernels/triangle_drivers.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "surfaces/tri_model_sources_least.hpp"

#include <functional>
#include <random>

namespace {

// The drop over every triangle of the model, through the same driver as the front end.
float drop_over_all(float x, float y, int type, float diameter, float corner, int& status)
{
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    float best = kNoHeight;
    for (int t = 0; t < tri_store_block.entry_count; ++t) {
        const qt_entry& e = entries[t];
        const float point[2] = {x, y};
        float height = 0, contact[3], distance = 0, value = 0;
        int driver_status = 0;
        triangle_drop_single(nodes + 3 * (e.nodes[0] - 1), nodes + 3 * (e.nodes[1] - 1), nodes + 3 * (e.nodes[2] - 1),
                             e, point, type, 0, 0, 0, diameter, corner, height, contact, distance, value,
                             driver_status);
        if (driver_status != kDriverNoContact && height > best) best = height;
    }
    status = best > -1e9f ? 0 : 1;
    return best;
}

// The drop of the tapered cutter of linnet_params over every triangle of the model, each met by
// the tapered solver straight down from high above.
float taper_drop_over_all(float x, float y, int& status)
{
    const linnet_params& lp = linnet_params_block;
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    const double start[3] = {x, y, 1000}, down[3] = {0, 0, -1};
    double best = 1e10;
    for (int t = 0; t < tri_store_block.entry_count; ++t) {
        double corners[9], distance = 0, contact[3], tip[3];
        for (int k = 0; k < 9; ++k) corners[k] = nodes[3 * (entries[t].nodes[k / 3] - 1) + k % 3];
        int solver = 9;
        taper_torus_tri_contact(corners, start, lp.diameter, lp.corner_radius, lp.taper, lp.cut_length, 0, down,
                                distance, contact, tip, solver);
        if (solver == 0) best = std::min(best, distance);
    }
    status = best < 1e9 ? 0 : 1;
    return static_cast<float>(start[2] - best);
}

void grid_model(const std::function<float(float, float)>& height, float from, float to, float step)
{
    const int n = static_cast<int>(std::lround((to - from) / step)) + 1;
    std::vector<float> heights;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) heights.push_back(height(from + i * step, from + j * step));
    int status = 0;
    tri_model_from_grid(n, n, from, from, step, heights.data(), status);
    ASSERT_EQ(status, 0);
}

// Random triangles near the origin, neither slivers nor steeper than 3 in 1.
std::vector<float> seeded_triangles(std::mt19937& random, int count)
{
    std::uniform_real_distribution<float> across(-2.5f, 2.5f), up(0.0f, 1.5f);
    std::vector<float> corners;
    while (static_cast<int>(corners.size()) < 9 * count) {
        float c[9];
        for (int k = 0; k < 3; ++k) {
            c[3 * k] = across(random);
            c[3 * k + 1] = across(random);
            c[3 * k + 2] = up(random);
        }
        const double u[3] = {c[3] - c[0], c[4] - c[1], c[5] - c[2]}, v[3] = {c[6] - c[0], c[7] - c[1], c[8] - c[2]};
        const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        if (std::fabs(n[2]) < 0.5 || std::hypot(n[0], n[1]) > 3 * std::fabs(n[2])) continue;
        corners.insert(corners.end(), c, c + 9);
    }
    return corners;
}

}  // namespace

TEST_F(CutterTest, DropMeetsTheBruteForceReference)
{
    struct cutter_case {
        const char* name;
        int type;
        float radius, corner;
        double below;  // how far the drop may lie below the reference
        float taper = 0, length = 0;
    };
    const cutter_case cutters[] = {
        {"ball", kCutterBall, 1, 1, 1e-4},
        {"bull-nose", kCutterBullNose, 1, 0.25f, 1e-4},
        {"flat end", kCutterFlat, 1, 0, 1e-3},
        {"large bull-nose", kCutterBullNose, 1.6f, 0.5f, 1e-4},
        {"tapered bull-nose", kCutterBullNose + kCutterTapered, 1, 0.25f, 1e-4, static_cast<float>(10 * M_PI / 180),
         1.5f},
    };
    const char* models[] = {"seeded triangles", "plane", "sphere cap", "ridge"};
    const unsigned seed = 29204;
    for (const char* model : models) {
        std::mt19937 random(seed);
        const std::string name = model;
        if (name == "seeded triangles")
            build_model(seeded_triangles(random, 8));
        else if (name == "plane")
            grid_model([](float x, float y) { return 0.3f * x + 0.2f * y; }, -4, 4, 1);
        else if (name == "sphere cap")
            grid_model(
                [](float x, float y) { return std::max(0.0f, std::sqrt(std::max(0.0f, 25 - x * x - y * y)) - 3); }, -4,
                4, 0.5f);
        else
            grid_model([](float x, float) { return std::max(0.0f, 1.5f - 0.8f * std::fabs(x - 0.3f)); }, -4, 4, 0.5f);
        const std::vector<double> corners = model_corners();
        for (const cutter_case& c : cutters) {
            const bool tapered = c.type > kCutterTapered;
            const drop_reference reference =
                tapered ? drop_reference(cutter_profile::tapered(2 * c.radius, c.corner, c.taper, c.length, 0),
                                         c.radius / 229)
                        : drop_reference(c.radius, c.corner);
            set_cutter(c.type, 2 * c.radius, c.corner);
            linnet_params_block.taper = c.taper;
            linnet_params_block.cut_length = c.length;
            std::uniform_real_distribution<float> where(-2.5f, 2.5f);
            for (int drop = 0; drop < 12; ++drop) {
                const float x = where(random), y = where(random);
                SCOPED_TRACE(name + ", " + c.name + ", seed " + std::to_string(seed) + ", drop " +
                             std::to_string(drop) + " at " + std::to_string(x) + ", " + std::to_string(y));
                const float point[3] = {x, y, 0};
                float result[3] = {0, 0, 0}, normal[3] = {0, 0, 0};
                int status = 9, all_status = 9;
                tool_drop_z_at_xy(point, result, normal, status);
                const float all = tapered ? taper_drop_over_all(x, y, all_status)
                                          : drop_over_all(x, y, c.type, 2 * c.radius, c.corner, all_status);
                const double expected = reference.drop(corners, x, y);
                ASSERT_EQ(status, all_status);
                if (status == 1) {
                    EXPECT_LT(expected, -1e9) << "nothing under the cutter";
                    continue;
                }
                ASSERT_EQ(status, 0);
                // The tapered drop starts above its candidates: the same contact, rounded alike.
                EXPECT_NEAR(result[2], all, tapered ? 1e-5f : 0.0f)
                    << "the quadtree drop is the drop over all triangles";
                EXPECT_EQ(result[0], x);
                EXPECT_EQ(result[1], y);
                EXPECT_GE(result[2], expected - c.below) << "below the reference";
                EXPECT_LE(result[2], expected + 3 * reference.step()) << "above the reference";
                EXPECT_NEAR(std::hypot(normal[0], normal[1], normal[2]), 1, 1e-5) << "a unit normal";
                EXPECT_GE(normal[2], -1e-6f);
            }
        }
        int ignored = 0;
        tri_model_release(ignored);
    }
}

TEST_F(CutterTest, QuadtreeDropEqualsTheDropOverAllTriangles)
{
    // A finer field of three peaks, gentle and steep, every cutter, many points: the search skips
    // boxes and triangles but never one that would give a higher contact.
    const unsigned seed = 29205;
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> where(-9, 9);
    const std::array<float, 3> cutters[] = {{kCutterFlat, 0.8f, 0},        {kCutterBall, 0.8f, 0.4f},
                                            {kCutterBullNose, 0.8f, 0.2f}, {kCutterFlat, 2.6f, 0},
                                            {kCutterBall, 2.6f, 1.3f},     {kCutterBullNose, 2.6f, 0.3f}};
    for (const float steepness : {1.0f, 6.0f}) {
        grid_model(
            [steepness](float x, float y) {
                auto peak = [](float dx, float dy, float h, float s) {
                    return h * std::exp(-(dx * dx + dy * dy) / (s * s));
                };
                return steepness *
                       (peak(x - 2, y - 1, 4, 2) + peak(x + 3, y + 2, 3, 1.5f) + peak(x + 1, y - 4, 2.5f, 1));
            },
            -8, 8, 0.4f);
        for (const auto& c : cutters) {
            set_cutter(static_cast<int>(c[0]), c[1], c[2]);
            for (int drop = 0; drop < 350; ++drop) {
                const float point[3] = {where(random), where(random), 0};
                float result[3], normal[3];
                int status = 9, all_status = 9;
                tool_drop_z_at_xy(point, result, normal, status);
                const float all = drop_over_all(point[0], point[1], static_cast<int>(c[0]), c[1], c[2], all_status);
                const std::string where_text = "seed " + std::to_string(seed) + ", steepness " +
                                               std::to_string(steepness) + ", type " + std::to_string(c[0]) +
                                               ", drop " + std::to_string(drop);
                ASSERT_EQ(status, all_status) << where_text;
                if (status == 0) {
                    ASSERT_EQ(result[2], all) << where_text;
                }
            }
        }
    }
}

TEST_F(CutterTest, TiltedAxisDropsAlongTheAxis)
{
    // The model turned away from +z and dropped along the turned axis gives the untilted drop,
    // turned the same way.
    const float axis[3] = {0.48f, 0.36f, 0.8f};
    const float plane[4] = {axis[0], axis[1], axis[2], 0};
    float turn[9], back[9];
    int status = 0;
    plrot(plane, turn, status);
    m3inv(turn, back, status);
    std::mt19937 random(29206);
    const std::vector<float> flat = seeded_triangles(random, 6);
    std::vector<float> turned(flat.size());
    for (std::size_t k = 0; k < flat.size(); k += 3) m3vec(back, flat.data() + k, turned.data() + k);
    const float points[][2] = {{0, 0}, {0.5f, -0.7f}, {-1.2f, 0.4f}, {1.5f, 1.5f}};
    for (int type : {kCutterBullNose, kCutterBullNose + kCutterTapered}) {
        for (const auto& p : points) {
            SCOPED_TRACE(std::to_string(type) + " at " + std::to_string(p[0]) + ", " + std::to_string(p[1]));
            set_cutter(type, 2, 0.3f);
            linnet_params_block.taper = type > kCutterTapered ? static_cast<float>(M_PI / 18) : 0;
            linnet_params_block.cut_length = 1.5f;
            build_model(flat);
            linnet_params_block.tilted_axis = 0;
            const float at[3] = {p[0], p[1], 0};
            float expected[3], expected_normal[3], result[3], normal[3];
            int untilted = 9, tilted = 9;
            tool_drop_z_at_xy(at, expected, expected_normal, untilted);
            build_model(turned);
            linnet_params_block.tilted_axis = 1;
            std::copy(axis, axis + 3, linnet_params_block.tool_axis);
            float machine[3];
            m3vec(back, at, machine);
            tool_drop_z_at_xy(machine, result, normal, tilted);
            ASSERT_EQ(tilted, untilted);
            if (untilted != 0) continue;
            float turned_expected[3], turned_normal[3];
            m3vec(back, expected, turned_expected);
            m3vec(back, expected_normal, turned_normal);
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(result[k], turned_expected[k], 2e-4f) << "tool point " << k;
                EXPECT_NEAR(normal[k], turned_normal[k], 2e-4f) << "normal " << k;
            }
        }
    }
}

TEST_F(CutterTest, DropRefusesWhatItCannotDrop)
{
    build_model({-5, -5, 0, 5, -5, 0, 0, 5, 0});
    struct row {
        const char* what;
        int type;
        float diameter, corner;
        const char* error;
    };
    const row rows[] = {
        {"a tapered cutter whose taper reaches a right angle", 13, 2, 0.5f, "tool_drop_z_at_xy, WRONG CUTTER"},
        {"a cutter without a diameter", kCutterFlat, 0, 0, "tool_drop_z_at_xy, WRONG CUTTER"},
        {"a corner larger than the radius", kCutterBullNose, 2, 1.5f, "tool_drop_z_at_xy, WRONG CUTTER"},
        {"an unknown type", 7, 2, 0, "tool_drop_z_at_xy, WRONG CUTTER"},
    };
    linnet_params_block.taper = static_cast<float>(M_PI / 2);
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        vantu::control::clear_messages();
        set_cutter(r.type, r.diameter, r.corner);
        const float point[3] = {0, 0, 0};
        float result[3] = {7, 7, 7}, normal[3];
        int status = 9;
        tool_drop_z_at_xy(point, result, normal, status);
        EXPECT_EQ(status, -1);
        EXPECT_EQ(result[2], 7.0f) << "no height";
        EXPECT_EQ(errors(), std::vector<std::string>{r.error});
    }
    // A model whose arrays the host no longer knows.
    set_cutter(kCutterFlat, 2, 0);
    int status = 0;
    MM_CLOSE(tri_store_block.node_handle, status);
    vantu::control::clear_messages();
    const float point[3] = {0, 0, 0};
    float result[3], normal[3];
    tool_drop_z_at_xy(point, result, normal, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"tool_drop_z_at_xy, NO TRIANGLE MODEL"});
    tri_store_block.node_handle = -1;
}

TEST_F(CutterTest, DegenerateTrianglesGiveNoNaN)
{
    // Repeated corners (edges without length), collinear corners, a single point, and a sound
    // triangle beside them.
    build_model({0, 0, 1, 0, 0, 1, 1, 0, 1, 0,  0,  0,    1, 1,  1,    2, 2, 2,
                 1, 1, 3, 1, 1, 3, 1, 1, 3, -3, -3, 0.5f, 3, -3, 0.5f, 0, 3, 0.5f});
    for (int type : {kCutterBall, kCutterFlat, kCutterBullNose}) {
        set_cutter(type, 2, type == kCutterFlat ? 0 : type == kCutterBall ? 1 : 0.3f);
        for (float x = -1.5f; x <= 2.5f; x += 0.25f) {
            const float point[3] = {x, x * 0.7f, 0};
            float result[3] = {0, 0, 0}, normal[3] = {0, 0, 0};
            int status = 9;
            tool_drop_z_at_xy(point, result, normal, status);
            ASSERT_EQ(status, 0) << "type " << type << " at " << x;
            int all_status = 0;
            EXPECT_EQ(result[2],
                      drop_over_all(point[0], point[1], type, 2, linnet_params_block.corner_radius, all_status))
                << "type " << type << " at " << x;
            for (int k = 0; k < 3; ++k) {
                EXPECT_TRUE(std::isfinite(result[k])) << "type " << type << " at " << x;
                EXPECT_TRUE(std::isfinite(normal[k])) << "type " << type << " at " << x;
            }
            EXPECT_GE(result[2], 0.5f - 1e-5f) << "at least on the sound triangle";
            EXPECT_LE(result[2], 3.0f + 1e-5f);
        }
    }
}
