// The plain-loop check of the loop removal: true only where the self search finds no crossing,
// over seeded loops of every kind and their raw offsets; named loops it proves or refuses.
#include "kernel_geometry.hpp"
#include "pocket_arrays/crossing_table.hpp"
#include "pocket_arrays/loop_plain.hpp"

namespace kg = kernel_geometry;

namespace {

constexpr unsigned kSeed = 20261208;

using LoopPlain = LaneTest;

// The check's answer and the crossings the loop removal's self search finds on the loop.
std::pair<bool, int> plain_and_crossings(const kg::loop& l)
{
    static std::vector<int> a(kLuplupSelfRows), b(kLuplupSelfRows);
    static std::vector<double> x(kLuplupSelfRows), y(kLuplupSelfRows);
    pokarr p = kg::array_of(l);
    const bool plain = loop_plainly_simple(p);
    luplup_columns columns{a.data(), b.data(), x.data(), y.data(), kLuplupSelfRows, nullptr};
    int rows = 0;
    cre_comlups_self(p, columns, rows);
    pokarr_free(p);
    return {plain, rows};
}

TEST_F(LoopPlain, TrueOnlyWhereTheSelfSearchFindsNoCrossing)
{
    // Kind, vertices (up to 16 pair by pair, beyond in bands), whether each source must be proved.
    const std::tuple<kg::kind, int, bool> families[] = {
        {kg::kind::convex, 4, true},         {kg::kind::convex, 12, true},     {kg::kind::convex, 60, true},
        {kg::kind::star, 12, false},         {kg::kind::star, 200, false},     {kg::kind::random_walk, 40, false},
        {kg::kind::random_walk, 400, false}, {kg::kind::arc_edged, 30, false}, {kg::kind::near_degenerate, 40, false},
    };
    std::mt19937 rng(kSeed);
    int proved = 0, crossed = 0;
    for (const auto& [kind, vertices, all_proved] : families) {
        for (int draw = 0; draw < 6; ++draw) {
            std::vector<kg::loop> loops{kg::draw_loop(kind, vertices, rng)};
            for (const double d : {0.5, 2.0, 4.5}) {
                int status = 0;
                kg::loop raw = kg::kernel_offset(loops.front(), d, 0.001, status);
                if (status == 0 && raw.size() >= 4) loops.push_back(std::move(raw));
            }
            for (std::size_t k = 0; k < loops.size(); ++k) {
                const auto [plain, rows] = plain_and_crossings(loops[k]);
                SCOPED_TRACE(testing::Message() << "seed " << kSeed << ", " << kg::name_of(kind) << " of " << vertices
                                                << ", draw " << draw << ", loop " << k);
                EXPECT_TRUE(!plain || rows == 0);
                EXPECT_TRUE(plain || k > 0 || !all_proved);
                proved += plain ? 1 : 0, crossed += rows > 0 ? 1 : 0;
            }
        }
    }
    EXPECT_TRUE(proved > 40 && crossed > 20) << proved << " proved, " << crossed << " crossed of some 200 loops";
}

TEST_F(LoopPlain, NamedLoops)
{
    kg::loop arc{{0, 0}, {10, 0}};
    push_arc(arc, 5.0, 1.0, 10, 5, 10, 10);
    arc.insert(arc.end(), {{0, 10}, {0, 0}});
    const double nan = std::nan("");
    const std::tuple<const char*, kg::loop, bool> rows[] = {
        {"rectangle", {{0, 0}, {200, 0}, {200, 100}, {0, 100}, {0, 0}}, true},
        {"clockwise L", {{0, 0}, {0, 10}, {5, 10}, {5, 5}, {10, 5}, {10, 0}, {0, 0}}, true},
        {"arc record", arc, false},
        {"not closed bit for bit", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 1e-12}}, false},
        {"not finite", {{0, 0}, {10, 0}, {nan, 10}, {0, 10}, {0, 0}}, false},
        {"fold back", {{0, 0}, {10, 0}, {10, 10}, {10, 5}, {0, 10}, {0, 0}}, false},
        {"near parallel neighbours", {{0, 0}, {10, 0}, {0, 0.05}, {0, 10}, {-5, 10}, {0, 0}}, false},
        {"waist of 2e-5", {{0, 0}, {10, 0}, {5.00001, 5}, {10, 10}, {0, 10}, {4.99999, 5}, {0, 0}}, false},
        {"figure eight", {{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}, false},
        {"element shorter than the clearance", {{0, 0}, {10, 0}, {10, 10}, {10, 10.00001}, {0, 10}, {0, 0}}, false},
    };
    for (const auto& [name, loop, plain] : rows) {
        pokarr p = kg::array_of(loop);
        EXPECT_EQ(loop_plainly_simple(p), plain) << name;
        pokarr_free(p);
    }
}

}  // namespace
