// Offset-lane pockets deeper than their approach values, run through the runner and judged over
// every move of the written tool path (random_pocket_support.hpp): the links between chains, the
// approaches, the changes of level and the cuts never pass below the top of the material through
// an island or a wall (the region the tool centre may reach, every offset less the tolerance).
// The README's example 12 and 16 deep, and seeded random pockets of several levels with round,
// polygonal and slot islands; DRELAN_LANE_LINK_POCKETS sets how many a run judges (60 by default,
// 12 under the sanitizers).
#include "random_pocket_support.hpp"
#include "tests/support/build_under_test.hpp"

namespace {

// The pockets of a default run: the plain build judges them all, the sanitizer build two a shard.
const int kDefaultPockets = test_support::sanitized_run() ? 12 : 60;

namespace fs = std::filesystem;
using namespace random_pockets;

constexpr double kTop = 12.0;
constexpr unsigned kSeed = 20261210u;
constexpr int kShards = 6;
// Words of the parameter block: top Z, bottom Z, Z step, approach value (the links above the
// level), clearance height (the entries come in at it above the level before), reference Z and
// the approach kind.
constexpr int kTopZ = 80, kBottomZ = 104, kZStep = 152, kApproachValue = 248, kClearHeight = 128, kReferenceZ = 176,
              kApproachKind = 372, kRampAngle = 300;
// A ramp angle of 90 degrees makes no ramp: the entries plunge.
constexpr double kNoRamp = 90.0;

// The example with the top at 12 and the approach value 10: the links of the last level (at Z 10,
// and at Z 6 when it lies at -4) and its change of level cross the circle and the slot unless
// they go over them. Its entries plunge or ramp in; the ramps follow the lanes' arcs by chords
// within the example's tolerance (0.1) on the pocket's side of every arc, the islands' too, and
// must not end the drawing.
TEST(LaneLinks, DeepExampleGoesOverItsIslands)
{
    const struct {
        double bottom, ramp;
    } rows[] = {{0.0, kNoRamp}, {-4.0, kNoRamp}, {-4.0, 5.0}, {-4.0, 20.0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "bottom " << row.bottom << ", ramp " << row.ramp);
        const runner_pocket p{example_pocket("the deep example"),
                              {{kTopZ, real(kTop)},
                               {kReferenceZ, real(kTop)},
                               {kBottomZ, real(row.bottom)},
                               {kRampAngle, real(row.ramp)}}};
        const run_verdict v =
            run_and_judge(p, json::array({0}), runner_test::fresh_folder("lane_links_example"), kTop, kMoveSlack);
        ASSERT_EQ(v.failure, "");
        EXPECT_GT(v.moves.moves, 10000);
        EXPECT_EQ(v.moves.outside, 0) << v.moves.first;
    }
}

// ---- random pockets ----------------------------------------------------------------------------

// A slot of two lines and two half circles about the centre, turned at random, its length and
// width within the radius.
contour slot_at(xy centre, double r, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double half = r * (0.4 + 0.5 * unit(rng)), radius = r * (0.15 + 0.35 * unit(rng));
    const double turn = 2.0 * std::numbers::pi * unit(rng), c = std::cos(turn), s = std::sin(turn);
    const auto at = [&](double u, double v) { return xy{centre.x + u * c - v * s, centre.y + u * s + v * c}; };
    contour slot{at(-half, -radius), at(half, -radius)};
    const xy right = at(half, 0.0), top_right = at(half, radius), left = at(-half, 0.0),
             bottom_left = at(-half, -radius);
    push_arc(slot, radius, 1, right.x, right.y, top_right.x, top_right.y);
    slot.push_back(at(-half, radius));
    push_arc(slot, radius, 1, left.x, left.y, bottom_left.x, bottom_left.y);
    return slot;
}

// Islands of every kind: round, polygonal (convex or concave) and slots.
contour any_island(xy centre, double r, std::mt19937& rng)
{
    if (std::uniform_int_distribution<int>(0, 2)(rng) == 0) return slot_at(centre, r, rng);
    return island_at(centre, r, rng);
}

// Several levels 12 to 18 deep, approach values and clearance heights below the depth, so that
// the links, approaches and entries of the lower levels stand below the top of the islands; the
// entries plunge or ramp in at 5 or 20 degrees.
runner_pocket random_pocket(std::mt19937& rng, double& tolerance)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto between = [&](double low, double high) { return low + (high - low) * unit(rng); };
    const auto one_of = [&](std::initializer_list<double> values) {
        return values.begin()[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(rng)];
    };
    runner_pocket p{random_shape(rng, any_island), {}};
    tolerance = one_of({0.005, 0.01, 0.05});
    p.words = {{4, real(between(0.4, 3.0))},  // side step
               {28, real(tolerance)},
               {kTopZ, real(kTop)},
               {kReferenceZ, real(kTop)},
               {kBottomZ, real(between(-6.0, 0.0))},
               {kZStep, real(one_of({3.0, 4.0, 6.0}))},
               {kApproachValue, real(between(1.0, 10.0))},
               {kClearHeight, real(between(1.0, 10.0))},
               {kApproachKind, unit(rng) < 0.5 ? 1 : 2},
               {272, real(p.shape.extra_offset)},
               {377, unit(rng) < 0.5 ? 1 : 2}};  // cutting direction
    p.words.push_back({kRampAngle, real(one_of({kNoRamp, 5.0, 20.0}))});
    return p;
}

class LaneLinksShard : public ::testing::TestWithParam<int> {};

TEST_P(LaneLinksShard, RandomDeepPocketsPassOverTheirIslands)
{
    const unsigned seed = kSeed + static_cast<unsigned>(GetParam());
    std::mt19937 rng(seed);
    const fs::path folder = runner_test::fresh_folder("lane_links_" + std::to_string(GetParam()));
    for (int n = 0, count = pockets_per_shard("DRELAN_LANE_LINK_POCKETS", kDefaultPockets, kShards); n < count; ++n) {
        double tolerance = 0.0;
        const runner_pocket p = random_pocket(rng, tolerance);
        SCOPED_TRACE(::testing::Message() << "seed " << seed << ", pocket " << n << ", islands "
                                          << p.shape.contours.size() - 1 << ", words " << json(p.words).dump());
        const run_verdict v = run_and_judge(p, json::array({0}), folder, kTop, tolerance + kMoveSlack);
        EXPECT_EQ(v.failure, "");
        if (!v.failure.empty()) continue;
        EXPECT_GT(v.moves.moves, 10);
        EXPECT_EQ(v.moves.outside, 0) << v.moves.first;
        EXPECT_EQ(v.moves.landings_left, 0) << v.moves.first_landing;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, LaneLinksShard, ::testing::Range(0, kShards));

// Pockets of the larger runs that once failed, judged whatever the run's size: the ramp into the
// first lane of pocket 22 of seed 20261213 gouged on its way back, and the tool came down at the
// tool's home on the outer contour's corner instead of at the lane's start.
TEST(LaneLinks, PocketsOnceEnteredAwayFromTheirLane)
{
    const struct {
        unsigned seed;
        int pocket;
    } rows[] = {{20261213u, 22}};
    for (const auto& row : rows) {
        std::mt19937 rng(row.seed);
        double tolerance = 0.0;
        runner_pocket p = random_pocket(rng, tolerance);
        for (int n = 0; n < row.pocket; ++n) p = random_pocket(rng, tolerance);
        SCOPED_TRACE(::testing::Message() << "seed " << row.seed << ", pocket " << row.pocket);
        const run_verdict v = run_and_judge(p, json::array({0}), runner_test::fresh_folder("lane_links_once"), kTop,
                                            tolerance + kMoveSlack);
        ASSERT_EQ(v.failure, "");
        EXPECT_EQ(v.moves.outside, 0) << v.moves.first;
        EXPECT_EQ(v.moves.landings_left, 0) << v.moves.first_landing;
    }
}

}  // namespace
