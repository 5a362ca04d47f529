// The last clean-up of the 3-D offset's joined loop: repeated points and spikes go, a wide spike
// is cut back to the midpoint of its tip on the surface, small loops are left alone.
#include "surface_lane_support.hpp"

#include "clearing/surface_lanes/lane_spike_clean.hpp"

#include <gtest/gtest.h>

TEST_F(SurfaceLaneTest, SpikeCleanRemovesRepeatsAndSpikes)
{
    grid_test::load_grid(-5.0, -5.0, 1.0, 21, 21, grid_test::plane(0.0, 0.0, 1.0));
    // A closed square of eight points at the surface's height, one spike out of its right side
    // (tip at (9, 2) coming back to (4, 2.5)).
    const std::vector<p3> spiked = {{0, 0, 1}, {2, 0, 1}, {4, 0, 1}, {4, 2, 1}, {9, 2, 1}, {4, 2.5, 1},
                                    {4, 4, 1}, {2, 4, 1}, {0, 4, 1}, {0, 2, 1}, {0, 0, 1}};
    const struct {
        const char* what;
        std::vector<p3> lane;
        double tolerance, length;
        std::vector<p3> want;
    } rows[] = {
        {"narrow spike loses its tip",
         spiked,
         0.0,
         100.0,
         {{0, 0, 1},
          {2, 0, 1},
          {4, 0, 1},
          {4, 2, 1},
          {4, 2.5, 1},
          {4, 4, 1},
          {2, 4, 1},
          {0, 4, 1},
          {0, 2, 1},
          {0, 0, 1}}},
        {"wide spike cut back to the middle of its tip",
         spiked,
         0.0,
         0.0,
         {{0, 0, 1},
          {2, 0, 1},
          {4, 0, 1},
          {4, 2, 1},
          {6.5, 2.25, 1},
          {4, 4, 1},
          {2, 4, 1},
          {0, 4, 1},
          {0, 2, 1},
          {0, 0, 1}}},
        // A band exactly two offsets wide collapses to a stretch laid out and back; here its way
        // back runs on along the loop's top side to the corner (0, 4), which must stay.
        {"stretch laid out and back along the loop loses its tip only",
         {{0, 0, 1}, {2, 0, 1}, {4, 0, 1}, {4, 2, 1}, {4, 4, 1}, {9, 4, 1}, {0, 4, 1}, {0, 2, 1}, {0, 0, 1}},
         0.0,
         0.0,
         {{0, 0, 1}, {2, 0, 1}, {4, 0, 1}, {4, 2, 1}, {4, 4, 1}, {0, 4, 1}, {0, 2, 1}, {0, 0, 1}}},
        {"repeated point",
         {{0, 0, 1}, {2, 0, 1}, {2.0005, 0, 1}, {4, 0, 1}, {4, 4, 1}, {2, 4, 1}, {0, 4, 1}, {0, 0, 1}},
         0.001,
         0.0,
         {{0, 0, 1}, {2, 0, 1}, {4, 0, 1}, {4, 4, 1}, {2, 4, 1}, {0, 4, 1}, {0, 0, 1}}},
        {"six points are left alone",
         {{0, 0, 1}, {4, 0, 1}, {9, 0, 1}, {4, 0.1, 1}, {0, 4, 1}, {0, 0, 1}},
         0.0,
         100.0,
         {{0, 0, 1}, {4, 0, 1}, {9, 0, 1}, {4, 0.1, 1}, {0, 4, 1}, {0, 0, 1}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        pokarr lane = make_3d(r.lane);
        int status = -5;
        lane_spike_clean(lane, r.tolerance, r.length, 0.0, 2.0, status);
        EXPECT_EQ(status, 0);
        const std::vector<p3> got = points_of(lane);
        ASSERT_EQ(got.size(), r.want.size());
        for (std::size_t k = 0; k < got.size(); ++k) EXPECT_LT(length_3d(got[k], r.want[k]), 1e-9) << "point " << k;
        pokarr_free(lane);
    }
}
