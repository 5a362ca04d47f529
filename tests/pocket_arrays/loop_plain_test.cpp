// The plain-loop check of the loop removal: wherever it answers true, the self search finds no
// crossing, over seeded loops of every kind and their raw offsets (which fold and cross); it
// proves convex loops and the named simple ones, and refuses the named loops it must leave to
// the search.
#include "kernel_geometry.hpp"

#include "pocket_arrays/crossing_table.hpp"
#include "pocket_arrays/loop_plain.hpp"

#include <limits>

namespace kg = kernel_geometry;

namespace {

constexpr unsigned kSeed = 20261208;

class LoopPlain : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        pocket_work_block.working_tolerance = 0.001;
        pocket_work_block.tolerance = 0.001;
        pocket_work_block.corner_arcs = 1;
    }
};

// The crossings the loop removal's self search finds on the loop.
int self_crossings(const kg::loop& l)
{
    static std::vector<int> a(kLuplupSelfRows), b(kLuplupSelfRows);
    static std::vector<double> x(kLuplupSelfRows), y(kLuplupSelfRows);
    pokarr p = kg::array_of(l);
    luplup_columns columns{a.data(), b.data(), x.data(), y.data(), kLuplupSelfRows, nullptr};
    int rows = 0;
    cre_comlups_self(p, columns, rows);
    pokarr_free(p);
    return rows;
}

bool plain(const kg::loop& l)
{
    pokarr p = kg::array_of(l);
    const bool answer = loop_plainly_simple(p);
    pokarr_free(p);
    return answer;
}

TEST_F(LoopPlain, TrueOnlyWhereTheSelfSearchFindsNoCrossing)
{
    struct family {
        kg::kind kind;
        int vertices;
        bool all_proved;  // every loop drawn (not its offsets) must be proved plain
    };
    const family families[] = {
        {kg::kind::convex, 4, true},         {kg::kind::convex, 12, true},   {kg::kind::convex, 60, true},
        {kg::kind::star, 12, false},         {kg::kind::star, 200, false},   {kg::kind::random_walk, 40, false},
        {kg::kind::random_walk, 400, false}, {kg::kind::arc_edged, 30, false}, {kg::kind::near_degenerate, 40, false},
    };
    const double distances[] = {0.5, 2.0, 4.5};
    std::mt19937 rng(kSeed);
    int proved = 0, crossed = 0;
    for (const family& f : families) {
        for (int draw = 0; draw < 6; ++draw) {
            const kg::loop source = kg::draw_loop(f.kind, f.vertices, rng);
            std::vector<kg::loop> loops{source};
            for (const double d : distances) {
                int status = 0;
                kg::loop raw = kg::kernel_offset(source, d, pocket_work_block.working_tolerance, status);
                if (status == 0 && raw.size() >= 4) loops.push_back(std::move(raw));
            }
            for (std::size_t k = 0; k < loops.size(); ++k) {
                const bool answer = plain(loops[k]);
                const int rows = self_crossings(loops[k]);
                SCOPED_TRACE(testing::Message() << "seed " << kSeed << ", " << kg::name_of(f.kind) << " of "
                                                << f.vertices << ", draw " << draw << ", loop " << k);
                if (answer) {
                    EXPECT_EQ(rows, 0);
                }
                if (k == 0 && f.all_proved) {
                    EXPECT_TRUE(answer);
                }
                proved += answer ? 1 : 0;
                crossed += rows > 0 ? 1 : 0;
            }
        }
    }
    // The families hold both kinds of loop.
    EXPECT_GT(proved, 40);
    EXPECT_GT(crossed, 20);
}

TEST_F(LoopPlain, NamedLoops)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    kg::loop with_arc{{0, 0}, {10, 0}};
    push_arc(with_arc, 5.0, 1.0, 10, 5, 10, 10);
    with_arc.insert(with_arc.end(), {{0, 10}, {0, 0}});
    struct row {
        const char* name;
        kg::loop loop;
        bool plain;
    };
    const row rows[] = {
        {"rectangle", {{0, 0}, {200, 0}, {200, 100}, {0, 100}, {0, 0}}, true},
        {"thin rectangle", {{0, 0}, {100, 0}, {100, 0.01}, {0, 0.01}, {0, 0}}, true},
        {"triangle", {{0, 0}, {10, 0}, {0, 10}, {0, 0}}, true},
        {"clockwise L", {{0, 0}, {0, 10}, {5, 10}, {5, 5}, {10, 5}, {10, 0}, {0, 0}}, true},
        {"arc record", with_arc, false},
        {"not closed bit for bit", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 1e-12}}, false},
        {"not finite", {{0, 0}, {10, 0}, {nan, 10}, {0, 10}, {0, 0}}, false},
        {"fold back", {{0, 0}, {10, 0}, {10, 10}, {10, 5}, {0, 10}, {0, 0}}, false},
        {"near parallel neighbours", {{0, 0}, {10, 0}, {0, 0.05}, {0, 10}, {-5, 10}, {0, 0}}, false},
        {"waist of 2e-5", {{0, 0}, {10, 0}, {5.00001, 5}, {10, 10}, {0, 10}, {4.99999, 5}, {0, 0}}, false},
        {"figure eight", {{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}, false},
        {"element shorter than the clearance", {{0, 0}, {10, 0}, {10, 10}, {10, 10.00001}, {0, 10}, {0, 0}}, false},
    };
    for (const row& r : rows) EXPECT_EQ(plain(r.loop), r.plain) << r.name;
}

}  // namespace
