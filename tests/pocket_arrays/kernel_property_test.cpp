// Properties of the kernel over seeded random loops, judged against independent references:
// inward offsets against Clipper 1's round-join offset (loop count, area, sampled Hausdorff
// distance), and the crossings LUPLUP reports against a brute-force enumeration of element
// pairs, between two loops and of a raw offset with itself. The number of loops per run is
// DRELAN_KERNEL_LOOPS (200 by default; 24 under the sanitizers, which leave the largest loops out
// as well: their run looks for memory faults, the plain run judges every seed).
#include "kernel_geometry.hpp"
#include "tests/support/build_under_test.hpp"

#include <cstdlib>
#include <iostream>
#include <sstream>

namespace kg = kernel_geometry;

namespace {

constexpr unsigned kSeed = 20260114;
constexpr double kW = 0.001;

int loops_per_run()
{
    const char* text = std::getenv("DRELAN_KERNEL_LOOPS");
    const int n = text != nullptr ? std::atoi(text) : 0;
    return n > 0 ? n : test_support::sanitized_run() ? 24 : 200;
}

class KernelProperty : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        pocket_work_block.working_tolerance = kW;
        pocket_work_block.tolerance = kW;
        pocket_work_block.side_step = 1.0;
        pocket_work_block.corner_arcs = 1;
    }
};

// Vertex counts from 10 to 10,000, most of them small so a run stays short.
int vertex_count(std::mt19937& rng)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    return static_cast<int>(10.0 * std::pow(1000.0, std::pow(u(rng), 3.0)));
}

// Arc-edged loops keep their arcs larger than about a twentieth of d: where arcs far smaller than
// d meet at concave corners the corner rule's two-point join can run across the contour (its
// design; the loop removal and the piece tests have to cope). Random walks keep their wiggles
// longer than d allows: a wiggle per vertex offset by d crosses d / spacing other offsets, which
// only makes the reference slow. Under the sanitizers the largest loops are left out.
int vertex_limit(kg::kind k, double d)
{
    const int most = test_support::sanitized_run() ? 2000 : 10000;
    if (k == kg::kind::arc_edged) return std::min(most, static_cast<int>(200.0 / d) + 10);
    if (k == kg::kind::random_walk) return std::min(most, static_cast<int>(2000.0 / d) + 10);
    return most;
}

}  // namespace

TEST_F(KernelProperty, InwardOffsetsAgreeWithClipper)
{
    std::mt19937 rng(kSeed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const int n_loops = loops_per_run();
    int failures = 0;
    for (int i = 0; i < n_loops; ++i) {
        const auto k = static_cast<kg::kind>(i % 5);
        const double d = 0.05 * std::pow(200.0, u(rng));
        const int n = std::min(vertex_count(rng), vertex_limit(k, d));
        const unsigned loop_seed = rng();
        std::mt19937 loop_rng(loop_seed);
        const kg::loop source = kg::make_loop(k, n, loop_rng);
        const kg::offset_verdict v = kg::judge_offset(source, d, kW);
        if (!v.ok) {
            ++failures;
            ADD_FAILURE() << "seed " << kSeed << " loop " << i << " (" << kg::name_of(k) << ", " << n
                          << " vertices, loop seed " << loop_seed << "), d " << d << ": " << v.text;
        }
    }
    std::cout << n_loops << " offsets, " << failures << " differ\n";
}

TEST_F(KernelProperty, LuplupFindsEveryCrossingOfTwoLoops)
{
    std::mt19937 rng(kSeed + 1);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const int n_pairs = std::max(20, loops_per_run() / 4);
    for (int i = 0; i < n_pairs; ++i) {
        const auto ka = i % 2 == 0 ? kg::kind::arc_edged : kg::kind::star;
        const int n = 10 + static_cast<int>(u(rng) * 150);
        kg::loop la = kg::make_loop(ka, n, rng);
        kg::loop lb = kg::make_loop(kg::kind::arc_edged, 10 + static_cast<int>(u(rng) * 150), rng);
        const double shift = 3.0 * u(rng);
        for (xy& p : lb)
            if (p.x < 1e20) p.x += shift, p.y += 0.5 * shift;
        // Arc records keep radius and direction; only their centres and ends move.
        for (std::size_t j = 0; j + 1 < lb.size(); ++j)
            if (lb[j].x > 1e20) lb[j + 1].x -= shift, lb[j + 1].y -= 0.5 * shift;
        const std::vector<kg::crossing> want = kg::brute_force_crossings(la, lb, false);
        pokarr a = kg::array_of(la), b = kg::array_of(lb);
        int count = 0;
        const std::vector<kg::crossing> got = kg::luplup_rows(0, a, b, count);
        const auto missing = kg::unmatched(want, got, 1e-6);
        const auto extra = kg::unmatched(got, want, 1e-6);
        EXPECT_TRUE(missing.empty() && extra.empty())
            << "seed " << kSeed + 1 << " pair " << i << ": " << want.size() << " crossings, " << got.size() << " rows, "
            << missing.size() << " missing, " << extra.size() << " extra";
        pokarr_free(a);
        pokarr_free(b);
    }
}

TEST_F(KernelProperty, LuplupFindsEverySelfCrossingOfRawOffsets)
{
    std::mt19937 rng(kSeed + 2);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const int n_loops = std::max(10, loops_per_run() / 10);
    for (int i = 0; i < n_loops; ++i) {
        const int n = 10 + static_cast<int>(u(rng) * 200);
        const kg::loop source = kg::make_loop(i % 2 == 0 ? kg::kind::star : kg::kind::arc_edged, n, rng);
        int status = 0;
        const kg::loop offset = kg::kernel_offset(source, 1.0 + 9.0 * u(rng), kW, status);
        ASSERT_EQ(status, 0);
        // The simple source itself (a lane at distance 0) crosses nowhere: where two of its arcs
        // meet, their circles' second point lies beyond one of them.
        for (const kg::loop* searched : {&offset, &source}) {
            pokarr a = kg::array_of(*searched);
            int count = 0;
            const std::vector<kg::crossing> got = kg::luplup_rows(kLuplupSelf, a, a, count);
            // The search of a loop against itself nudges elements at self-contacts and searches
            // the changed loop again: its rows belong to the loop as it ends.
            const std::vector<kg::crossing> want = kg::brute_force_crossings(entries_of(a), entries_of(a), true);
            // Rows marked touching (a negative element of B) are contacts, not crossings.
            std::vector<kg::crossing> crossings;
            for (const kg::crossing& c : got)
                if (c.b > 0) crossings.push_back(c);
            const auto missing = kg::unmatched(want, got, 1e-6);
            const auto extra = kg::unmatched(crossings, want, 1e-6);
            EXPECT_TRUE(missing.empty() && extra.empty())
                << "seed " << kSeed + 2 << " loop " << i << (searched == &source ? " (source, " : " (offset, ")
                << searched->size() << " entries): " << want.size() << " crossings, " << got.size() << " rows, "
                << missing.size() << " missing, " << extra.size() << " extra";
            pokarr_free(a);
        }
    }
}
