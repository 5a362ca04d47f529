// The island clearance of the W1 benchmark (bench/island_clearance.hpp): the exact distance of
// lines and arcs from round islands grown by their offset.
#include "bench/island_clearance.hpp"

#include <gtest/gtest.h>

#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

struct clearance_row {
    const char* name;
    bench::xy_move move;
    int cutting, approach;
    double depth;
};

TEST(IslandClearance, MovesNearerThanTheOffsetGouge)
{
    // An island of radius 2 about (0, 0) grown by 0.5 less the tolerance 0.01: reach 2.49.
    const std::vector<bench::round_island> islands = {{0.0, 0.0, 2.0}, {20.0, 0.0, 2.0}};
    const clearance_row rows[] = {
        {"line passing at 2.4", {-5, 2.4, 5, 2.4, 0, 0, 0, true}, 1, 0, 0.09},
        {"line passing at 2.5", {-5, 2.5, 5, 2.5, 0, 0, 0, true}, 0, 0, 0.0},
        {"line stopping short of the island", {-5, 0, -2.6, 0, 0, 0, 0, true}, 0, 0, 0.0},
        {"approach ending at 2.3", {-5, 0, -2.3, 0, 0, 0, 0, false}, 0, 1, 0.19},
        {"line through both islands", {-5, 0, 25, 0, 0, 0, 0, true}, 2, 0, 2.49},
        // Arcs about (0, 4) of radius 1.7: their lowest point (0, 2.3) lies 0.19 within the reach.
        {"ccw arc over its lowest point", {-1.7, 4, 1.7, 4, 0, 4, kPi, true}, 1, 0, 0.19},
        {"cw arc the upper way round", {-1.7, 4, 1.7, 4, 0, 4, -kPi, true}, 0, 0, 0.0},
        {"cw quarter up to the highest point", {-1.7, 4, 0, 5.7, 0, 4, -0.5 * kPi, true}, 0, 0, 0.0},
        {"ccw quarter ending at the lowest point", {-1.7, 4, 0, 2.3, 0, 4, 0.5 * kPi, true}, 1, 0, 0.19},
        {"whole circle round the island at 2.45", {2.45, 0, 2.45, 0, 0, 0, 2.0 * kPi, true}, 1, 0, 0.04},
        {"whole circle round the island at 2.6", {2.6, 0, 2.6, 0, 0, 0, -2.0 * kPi, true}, 0, 0, 0.0},
    };
    for (const clearance_row& r : rows) {
        const bench::island_gouges g = bench::gouges_of({r.move}, islands, 0.5, 0.01);
        EXPECT_EQ(g.cutting, r.cutting) << r.name;
        EXPECT_EQ(g.approach, r.approach) << r.name;
        EXPECT_NEAR(g.depth, r.depth, 1e-9) << r.name;
    }
}

}  // namespace
