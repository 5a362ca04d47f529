// Hatch clearing through the runner, judged over every move of the written tool path apart from
// the module (random_pocket_support.hpp): the README's reopened example, and seeded random pockets
// (outer contours with convex and concave arcs, round and polygonal islands, several levels, every
// linking, direction and cutting sense) drawn into the example part. Every move, cut, link or
// change of level, is clipped to its stretch below the top of the material, and nothing of it may
// lie outside the region the tool centre may reach, each contour offset by its offset less 1e-3:
// none passes through an island or a wall, and no arc's chord lies on the material's side.
// DRELAN_HATCH_POCKETS sets how many random pockets a run judges (90 by default, 12 under the
// sanitizers, whose run looks for memory faults while the plain run judges every seed).
#include "random_pocket_support.hpp"
#include "tests/support/build_under_test.hpp"

namespace {

namespace fs = std::filesystem;
using namespace random_pockets;

constexpr double kTop = 10.0;  // the example part's top Z
constexpr unsigned kSeed = 20261209u;
constexpr int kShards = 6;
// The pockets of a default run: the plain build judges them all, the sanitizer build two a shard.
const int kDefaultPockets = test_support::sanitized_run() ? 12 : 90;

TEST(HatchMoves, ReopenedExampleNeverPassesThroughAnIsland)
{
    const fs::path out = runner_test::fresh_folder("hatch_reopen");
    const auto run = [](const std::string& arguments) { return runner_test::run_hostrun(arguments + kCommon); };
    const runner_test::run_result create = run("--part " + kSource + "/examples/pocket_part.json --script " + kSource +
                                               "/examples/pocket_script.json --out " + (out / "create").string());
    ASSERT_EQ(create.exit_code, 0) << create.output;
    const runner_test::run_result reopen =
        run("--part " + (out / "create" / "part.saved.json").string() + " --script " + kSource +
            "/examples/pocket_reopen_script.json --out " + (out / "reopen").string() + " --edit 1");
    ASSERT_EQ(reopen.exit_code, 0) << reopen.output;
    const pocket_case example = example_pocket("the reopened example");
    const move_verdict v =
        judge_moves(runner_test::read_file(out / "reopen" / "toolpath.txt"), example, kTop, kMoveSlack);
    EXPECT_GT(v.moves, 7000);
    EXPECT_EQ(v.outside, 0) << v.first;
}

// ---- random pockets ----------------------------------------------------------------------------

runner_pocket random_pocket(std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto between = [&](double low, double high) { return low + (high - low) * unit(rng); };
    runner_pocket p{random_shape(rng, island_at), {}};
    const double tolerances[] = {0.005, 0.01, 0.05, 0.1}, z_steps[] = {3.0, 4.0, 10.0};
    p.words = {{4, real(between(0.3, 3.0))},  // side step
               {28, real(tolerances[std::uniform_int_distribution<int>(0, 3)(rng)])},
               {152, real(z_steps[std::uniform_int_distribution<int>(0, 2)(rng)])},
               {272, real(p.shape.extra_offset)},
               {77, real(between(0.0, std::numbers::pi))},  // hatch angle
               {2, unit(rng) < 0.5 ? 1 : 2},                // pass or region linking
               {3, unit(rng) < 0.5 ? 1 : -1},               // hatch direction
               {410, unit(rng) < 0.5 ? 1 : 0},              // links along the contour
               {377, unit(rng) < 0.5 ? 1 : 2}};             // cutting direction
    return p;
}

class HatchMovesShard : public ::testing::TestWithParam<int> {};

TEST_P(HatchMovesShard, RandomPocketsKeepEveryMoveBelowTheTopInTheRegion)
{
    const unsigned seed = kSeed + static_cast<unsigned>(GetParam());
    std::mt19937 rng(seed);
    const fs::path folder = runner_test::fresh_folder("hatch_moves_" + std::to_string(GetParam()));
    // The hatch method (line 10), then the page as the words give it.
    const json pages = json::array({{{"line", 10}, {"value", 1}}, 0});
    for (int n = 0, count = pockets_per_shard("DRELAN_HATCH_POCKETS", kDefaultPockets, kShards); n < count; ++n) {
        const runner_pocket p = random_pocket(rng);
        SCOPED_TRACE(::testing::Message() << "seed " << seed << ", pocket " << n << ", islands "
                                          << p.shape.contours.size() - 1 << ", words " << json(p.words).dump());
        const run_verdict v = run_and_judge(p, pages, folder, kTop, kMoveSlack);
        ASSERT_EQ(v.failure, "");
        EXPECT_GT(v.moves.moves, 10);
        EXPECT_EQ(v.moves.outside, 0) << v.moves.first;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, HatchMovesShard, ::testing::Range(0, kShards));

}  // namespace
