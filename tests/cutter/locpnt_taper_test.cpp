// The tapered front end's scan: the smallest distance of the triangles above the offset tip, the
// scan over the quadtree against every triangle of the model, its early stop, and refusals.
#include "cutter_test_support.hpp"

#include "cutter/kernels/cone_contact.hpp"
#include "cutter/locpnt_taper.hpp"
#include "surfaces/tri_model_sources_least.hpp"

#include <cmath>
#include <random>

namespace {

constexpr float kTenDegrees = static_cast<float>(10 * M_PI / 180);

void set_taper_cutter(float diameter, float corner, float cut_length, float taper, float offset)
{
    linnet_params_block.diameter = diameter;
    linnet_params_block.corner_radius = corner;
    linnet_params_block.cut_length = cut_length;
    linnet_params_block.taper = taper;
    linnet_params_block.surface_offsets[0] = offset;
}

// The smallest distance of every triangle of the model that the scan considers, through the
// kernel directly; 1000 when there is none.
float smallest_over_all(const float* point)
{
    const linnet_params& lp = linnet_params_block;
    const double cutter[5] = {lp.diameter, lp.corner_radius, lp.cut_length, lp.taper, lp.surface_offsets[0]};
    const double position[3] = {point[0], point[1], point[2] - cutter[4]};
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    float best = 1000.0f;
    for (int t = 0; t < tri_store_block.entry_count; ++t) {
        double triangle[9];
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) triangle[3 * c + k] = nodes[3 * (entries[t].nodes[c] - 1) + k];
        if (std::max({triangle[2], triangle[5], triangle[8]}) + cutter[4] < point[2] + 1e-6) continue;
        double distance = 0, points[6];
        cone_tri_distance(0, cutter, position, triangle, distance, points);
        best = std::min(best, static_cast<float>(distance));
    }
    return best;
}

// The model's height under (x, y), -1e9 outside it.
float model_height_at(float x, float y)
{
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    for (int t = 0; t < tri_store_block.entry_count; ++t) {
        const float* a = nodes + 3 * (entries[t].nodes[0] - 1);
        const float* b = nodes + 3 * (entries[t].nodes[1] - 1);
        const float* c = nodes + 3 * (entries[t].nodes[2] - 1);
        const double det = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
        const double u = ((x - a[0]) * (c[1] - a[1]) - (y - a[1]) * (c[0] - a[0])) / det;
        const double v = ((y - a[1]) * (b[0] - a[0]) - (x - a[0]) * (b[1] - a[1])) / det;
        if (u >= 0 && v >= 0 && u + v <= 1) return static_cast<float>(a[2] + u * (b[2] - a[2]) + v * (c[2] - a[2]));
    }
    return -1e9f;
}

}  // namespace

TEST_F(CutterTest, LocpntTaperKeepsTheSmallestDistanceAboveTheTip)
{
    build_model({-10, -10, 0, 10, -10, 0, 10, 10, 0, -10, -10, 0, 10, 10, 0, -10, 10, 0});
    struct row {
        const char* what;
        float tip_z, offset;
        int status;
        float distance;
    };
    const row rows[] = {
        {"the plane 0.2 above the tip", -0.2f, 0, 0, -0.2f},
        {"the plane below the tip is not handed over", 0.5f, 0, 1, 1000},
        {"nor one at the tip's height", 0, 0, 1, 1000},
        {"the offset lowers the cutter into the plane", 0, 0.1f, 0, -0.1f},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        set_taper_cutter(4, 0.5f, 8, kTenDegrees, r.offset);
        const float point[3] = {1, 2, r.tip_z};
        float distance = 0, cutter_point[3] = {7, 7, 7}, triangle_point[3] = {7, 7, 7}, direction[3] = {7, 7, 7};
        int status = 9;
        locpnt_taper(point, 1.0e-3f, distance, cutter_point, triangle_point, direction, status);
        EXPECT_EQ(status, r.status);
        EXPECT_NEAR(distance, r.distance, 1e-6f);
        if (status != 0) {
            EXPECT_EQ(cutter_point[2], 7.0f) << "points untouched";
            continue;
        }
        EXPECT_NEAR(triangle_point[2], 0, 1e-6f) << "on the plane";
        EXPECT_NEAR(cutter_point[2], r.tip_z - r.offset, 1e-6f) << "the lowest point of the grown cutter";
        EXPECT_NEAR(direction[2], -1, 1e-6f) << "from the triangle point down to the cutter point";
    }
}

TEST_F(CutterTest, LocpntTaperScanEqualsTheKernelOverAllTriangles)
{
    // Three peaks, gentle and steep (where most triangles in reach rise far above the tip), the
    // tip below the surface under the axis (so a triangle under the cutter enters it, and none
    // beyond its reach can be nearer); without the early stop the quadtree's candidates give the
    // smallest distance of all triangles, with it one below -10 x tolerance.
    const unsigned seed = 31209;
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> where(-7.5f, 7.5f), depth(0.001f, 1);
    const float cutters[][5] = {{1.6f, 0, 3, 0, 0},
                                {1.6f, 0.4f, 3, 0, 0.05f},
                                {1.6f, 0.4f, 3, kTenDegrees, 0.05f},
                                {1.6f, 0.8f, 0.6f, kTenDegrees, 0}};
    for (const float steepness : {1.0f, 6.0f}) {
        std::vector<float> heights;
        const int n = 41;
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const float x = -8 + 0.4f * i, y = -8 + 0.4f * j;
                heights.push_back(steepness * (4 * std::exp(-((x - 2) * (x - 2) + (y - 1) * (y - 1)) / 4) +
                                               2 * std::exp(-((x + 3) * (x + 3) + (y + 2) * (y + 2)) / 2)));
            }
        int status = 0;
        tri_model_from_grid(n, n, -8, -8, 0.4f, heights.data(), status);
        ASSERT_EQ(status, 0);
        for (const auto& c : cutters) {
            set_taper_cutter(c[0], c[1], c[2], c[3], c[4]);
            for (int k = 0; k < 120; ++k) {
                SCOPED_TRACE("seed " + std::to_string(seed) + ", steepness " + std::to_string(steepness) + ", cutter " +
                             std::to_string(&c - cutters) + ", point " + std::to_string(k));
                const float x = where(random), y = where(random);
                const float point[3] = {x, y, model_height_at(x, y) - depth(random)};
                const float all = smallest_over_all(point);
                float distance = 0, cutter_point[3], triangle_point[3], direction[3];
                locpnt_taper(point, 1.0e30f, distance, cutter_point, triangle_point, direction, status);
                ASSERT_EQ(distance, all);
                ASSERT_EQ(status, 0);
                const float tolerance = 0.01f;
                locpnt_taper(point, tolerance, distance, cutter_point, triangle_point, direction, status);
                if (distance != all) {
                    EXPECT_LT(distance, -10 * tolerance) << "stopped early";
                }
                EXPECT_GE(distance, all);
            }
        }
    }
}

TEST_F(CutterTest, LocpntTaperRefusesWhatItCannotScan)
{
    build_model({-5, -5, 0, 5, -5, 0, 0, 5, 0});
    struct row {
        const char* what;
        float cutter[5];
        float point_z;
        const char* error;
    };
    const float nan = std::nanf("");
    const row rows[] = {
        {"a cutter without a diameter", {0, 0, 3, 0, 0}, 0, "locpnt_taper, WRONG CUTTER"},
        {"a taper of a right angle", {2, 0, 3, static_cast<float>(M_PI / 2), 0}, 0, "locpnt_taper, WRONG CUTTER"},
        {"a negative corner radius", {2, -0.5f, 3, 0, 0}, 0, "locpnt_taper, WRONG CUTTER"},
        {"a point that is not a number", {2, 0, 3, 0, 0}, nan, "locpnt_taper, WRONG CUTTER"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        vantu::control::clear_messages();
        set_taper_cutter(r.cutter[0], r.cutter[1], r.cutter[2], r.cutter[3], r.cutter[4]);
        const float point[3] = {0, 0, r.point_z};
        float distance = 5, cutter_point[3], triangle_point[3], direction[3];
        int status = 9;
        locpnt_taper(point, 0.01f, distance, cutter_point, triangle_point, direction, status);
        EXPECT_EQ(status, -1);
        EXPECT_EQ(distance, 5.0f) << "no distance";
        EXPECT_EQ(errors(), std::vector<std::string>{r.error});
    }
    int status = 0;
    tri_model_release(status);
    vantu::control::clear_messages();
    set_taper_cutter(2, 0, 3, 0, 0);
    const float point[3] = {0, 0, 0};
    float distance = 0, cutter_point[3], triangle_point[3], direction[3];
    locpnt_taper(point, 0.01f, distance, cutter_point, triangle_point, direction, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"locpnt_taper, NO TRIANGLE MODEL"});
}
