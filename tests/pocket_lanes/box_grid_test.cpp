// The grid over a list of boxes hands a query every box that overlaps it (touching counts), in
// increasing order and once each: over seeded lists of small, long, touching, inverted and
// non-finite boxes, one of them moved after the build, and queries of every size.
#include "pocket_lanes/moves/box_grid.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

bool overlaps(const std::array<double, 4>& b, const double* q)
{
    return !(b[0] > q[2] || b[2] < q[0] || b[1] > q[3] || b[3] < q[1]);
}

TEST(BoxGrid, EveryOverlappingBoxIsACandidateInOrderOnce)
{
    const unsigned seed = 4711;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    box_grid grid;
    std::vector<int> out;
    for (int list = 0; list < 40; ++list) {
        std::vector<std::array<double, 4>> boxes;
        const int count = 1 + static_cast<int>(unit(random) * 600.0);
        for (int k = 0; k < count; ++k) {
            const double x = 100.0 * unit(random), y = 50.0 * unit(random);
            const double w = unit(random) < 0.05 ? 80.0 * unit(random) : 2.0 * unit(random);
            const double h = unit(random) < 0.05 ? 40.0 * unit(random) : 2.0 * unit(random);
            boxes.push_back({x, y, x + w, y + h});
        }
        // A box touching another's corner, a point, an inverted box and one that is not finite.
        boxes.push_back({boxes[0][2], boxes[0][3], boxes[0][2] + 1.0, boxes[0][3] + 1.0});
        boxes.push_back({20.0, 20.0, 20.0, 20.0});
        boxes.push_back({1.0e12, 1.0e12, -1.0e12, -1.0e12});
        if (list % 2 == 1) boxes.push_back({nan, 0.0, 1.0, 1.0});
        box_grid_build(boxes, grid);
        // A box that has moved since the build, put aside (twice: it is met once all the same).
        boxes[1] = {60.0 * unit(random), 30.0 * unit(random), 70.0, 40.0};
        box_grid_set_aside(grid, 1);
        box_grid_set_aside(grid, 1);
        for (int query = 0; query < 50; ++query) {
            const double x = 120.0 * unit(random) - 10.0, y = 60.0 * unit(random) - 5.0;
            const double size = query % 10 == 0 ? 200.0 : 5.0 * unit(random);
            double q[4] = {x, y, x + size * unit(random), y + size * unit(random)};
            if (query == 1) q[0] = q[2] = boxes[0][2], q[1] = q[3] = boxes[0][3];  // a point on two boxes
            box_grid_candidates(grid, q, out);
            std::vector<char> listed(boxes.size(), 0);
            for (std::size_t i = 0; i < out.size(); ++i) {
                ASSERT_TRUE(out[i] >= 0 && out[i] < static_cast<int>(boxes.size())) << "seed " << seed;
                if (i > 0) {
                    EXPECT_LT(out[i - 1], out[i]) << "seed " << seed << " list " << list;
                }
                listed[static_cast<std::size_t>(out[i])] = 1;
            }
            for (std::size_t k = 0; k < boxes.size(); ++k) {
                if (overlaps(boxes[k], q) || !std::isfinite(boxes[k][0])) {
                    EXPECT_TRUE(listed[k]) << "seed " << seed << " list " << list << " query " << query << " box " << k;
                }
            }
        }
    }
    // A query that is not finite meets every box.
    const double wild[4] = {nan, 0.0, 1.0, 1.0};
    box_grid_candidates(grid, wild, out);
    EXPECT_EQ(static_cast<int>(out.size()), grid.count);
}

}  // namespace
