// The offset of one segment over the grid: one point per sample on a flat grid (four cells apart
// when no sampling step is set), and bisection walks where the surface folds between two samples.
#include "surface_lane_support.hpp"

#include "clearing/surface_lanes/lane_seg_offset_3d.hpp"

#include <gtest/gtest.h>

TEST_F(SurfaceLaneTest, SegmentOffsetSamplesAndBisectsAtFolds)
{
    const struct {
        const char* what;
        grid_test::height_fn surface;
        p3 from, to;
        double step, sign;  // sign -1: the tangent against the segment (offset to its left)
        int least, most;    // points of the piece
    } rows[] = {
        {"no step: four cells apart", grid_test::plane(0, 0, 1), {2, 2, 1}, {12, 2, 1}, 0.0, 1.0, 4, 4},
        {"four samples", grid_test::plane(0, 0, 1), {2, 2, 1}, {12, 2, 1}, 2.5, 1.0, 5, 5},
        {"shorter than the step", grid_test::plane(0, 0, 1), {2, 2, 1}, {3, 2, 1}, 5.0, -1.0, 2, 2},
        // On the slope below a crest at y = 7: the walk from the far end crosses the crest, the one
        // from the near end does not.
        {"over a crest", grid_test::ridge(7.0, 5.0, 0.5), {2, 5.5, 4.25}, {12, 6.5, 4.75}, 20.0, -1.0, 3, 17},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        grid_test::load_grid(-5.0, -5.0, 1.0, 31, 31, r.surface);
        surface_grid_block.settings.sampling_step = r.step;
        walk_record p0, p1;
        std::copy(r.from.begin(), r.from.end(), p0.start());
        std::copy(r.to.begin(), r.to.end(), p1.start());
        const double along[3] = {r.to[0] - r.from[0], r.to[1] - r.from[1], r.to[2] - r.from[2]};
        const double length = std::hypot(along[0], along[1], along[2]);
        double tangent[3];
        for (int c = 0; c < 3; ++c) tangent[c] = r.sign * along[c] / length;
        pokarr piece;
        pokarr_init(3, piece);
        int status = -5;
        lane_seg_offset_3d(p0, p1, tangent, length, 1.0, piece, status);
        ASSERT_EQ(status, 0);
        const std::vector<p3> got = points_of(piece);
        EXPECT_GE(static_cast<int>(got.size()), r.least);
        EXPECT_LE(static_cast<int>(got.size()), r.most);
        ASSERT_FALSE(got.empty());
        EXPECT_LT(length_3d(got.front(), {p0.end()[0], p0.end()[1], p0.end()[2]}), 1e-12);
        EXPECT_LT(length_3d(got.back(), {p1.end()[0], p1.end()[1], p1.end()[2]}), 1e-12);
        for (std::size_t k = 0; k < got.size(); ++k) {
            const p3& q = got[k];
            EXPECT_NEAR(q[2], r.surface(q[0], q[1]), 1e-6) << "point " << k;
            if (k == 0) continue;
            EXPECT_GT((q[0] - got[k - 1][0]) * along[0] + (q[1] - got[k - 1][1]) * along[1], 0.0) << "point " << k;
        }
        pokarr_free(piece);
    }
}
