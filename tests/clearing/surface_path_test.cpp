// The surface-path distance of the nearest and farthest points on 3-D pocket arrays: the length
// of the connection dropped onto the surface grid, longer than the chord over a ridge; a failed
// projection leaves the distance as it was.
#include "surface_lane_support.hpp"

#include "pocket_arrays/nearest_points.hpp"

#include <gtest/gtest.h>

namespace {

// A roof along x: crest at y = 5, height 5, slope 1 on both sides; 1 mm cells.
const grid_test::height_fn kRoof = grid_test::ridge(5.0, 5.0, 1.0);

p3 on_roof(double x, double y) { return {x, y, kRoof(x, y)}; }

}  // namespace

TEST_F(SurfaceLaneTest, SurfacePathOverARidgeIsTheDroppedLength)
{
    grid_test::load_grid(0.0, 0.0, 1.0, 11, 11, kRoof);
    pocket_work_block.working_tolerance = 0.01;
    const struct {
        const char* what;
        p3 from, to;
        double want;  // -1: unchanged
    } rows[] = {
        {"across the crest", on_roof(2.5, 2.0), on_roof(2.5, 8.0), 2.0 * std::sqrt(18.0)},
        {"along one side", on_roof(1.0, 2.0), on_roof(9.0, 2.0), 8.0},
        {"the same point", on_roof(3.0, 3.0), on_roof(3.0, 3.0), 0.0},
        {"off the grid", on_roof(2.0, 3.0), p3{20.0, 3.0, 0.0}, -1.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        double distance = 123.0;
        surface_path_len(r.from.data(), r.to.data(), distance);
        if (r.want < 0.0) {
            EXPECT_EQ(distance, 123.0);
            continue;
        }
        EXPECT_NEAR(distance, r.want, 1e-5);
        EXPECT_GE(distance, length_3d(r.from, r.to) - 1e-9);
    }
}

TEST_F(SurfaceLaneTest, NearestAndFarthestPointsMeasureOverTheSurface)
{
    grid_test::load_grid(0.0, 0.0, 1.0, 11, 11, kRoof);
    pocket_work_block.working_tolerance = 0.01;
    pokarr beyond = make_3d({on_roof(4.0, 6.0), on_roof(4.0, 8.0)});
    const p3 from = on_roof(4.0, 2.0);

    int k = 0;
    double t = 0.0, point[3], distance = 0.0;
    pokarr_farthest_pnt(3, from.data(), beyond, k, t, point, distance);
    EXPECT_EQ(k, 2);
    EXPECT_NEAR(distance, 2.0 * std::sqrt(18.0), 1e-5);  // over the crest, not the chord of 6

    const double straight = std::sqrt(20.0), over_crest = std::sqrt(18.0) + std::sqrt(2.0);
    const struct {
        int k_in;
        double limit, want;
    } rows[] = {{-2, 100.0, over_crest}, {-2, 4.0, straight}, {0, 100.0, straight}, {-1, 100.0, straight}};
    for (const auto& r : rows) {
        k = r.k_in;
        distance = r.limit;
        pokarr_nearest_pnt(3, from.data(), beyond, k, t, point, distance);
        EXPECT_EQ(k, 1) << "k " << r.k_in << " limit " << r.limit;
        EXPECT_NEAR(distance, r.want, 1e-5) << "k " << r.k_in << " limit " << r.limit;
    }
    pokarr_free(beyond);
}
