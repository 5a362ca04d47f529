// The nearest-first order of the cut chains under their precedence.
#include "pocket_lanes/chain_order.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

chain_ends loop_at(double x, double y, std::vector<int> after = {})
{
    chain_ends c;
    c.start_x = c.end_x = x;
    c.start_y = c.end_y = y;
    c.has_start = c.has_end = true;
    c.after = std::move(after);
    return c;
}

struct order_row {
    std::string name;
    std::vector<chain_ends> chains;
    std::vector<std::size_t> expected;
};

TEST(ChainOrder, NamedCases)
{
    chain_ends open_start = loop_at(50.0, 0.0);
    open_start.has_start = false;
    chain_ends path = loop_at(0.0, 0.0);
    path.end_x = 10.0;
    const std::vector<order_row> rows{
        {"none", {}, {}},
        {"first stays first, then nearest", {loop_at(0, 0), loop_at(9, 0), loop_at(1, 0), loop_at(5, 0)}, {0, 2, 3, 1}},
        {"a chain waits for the one it joins", {loop_at(0, 0), loop_at(9, 0), loop_at(1, 0, {1})}, {0, 1, 2}},
        {"from where a chain ends, not where it starts", {path, loop_at(1, 0), loop_at(9, 0)}, {0, 2, 1}},
        {"an unknown start is taken at once", {loop_at(0, 0), loop_at(1, 0), open_start}, {0, 2, 1}},
        {"equal distances keep the lower index", {loop_at(0, 0), loop_at(-1, 0), loop_at(1, 0)}, {0, 1, 2}},
        {"a cycle or a bad index is left out",
         {loop_at(0, 0), loop_at(1, 0, {2}), loop_at(2, 0, {1}), loop_at(3, 0, {7}), loop_at(4, 0, {4})},
         {0}},
    };
    for (const order_row& row : rows) EXPECT_EQ(order_chains_by_nearness(row.chains), row.expected) << row.name;
}

// Over seeded random chains with random predecessors: every chain once, each after its
// predecessors, and each pick after the first the nearest of the chains free at that moment.
TEST(ChainOrder, RandomChainsKeepPrecedenceAndPickTheNearest)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> coordinate(0.0, 100.0);
        const int n = 1 + static_cast<int>(rng() % 60);
        std::vector<chain_ends> chains;
        for (int i = 0; i < n; ++i) {
            chain_ends c = loop_at(coordinate(rng), coordinate(rng));
            c.end_x = coordinate(rng);
            c.end_y = coordinate(rng);
            for (int b = 0; b < i; ++b)
                if (rng() % 8 == 0) c.after.push_back(b);
            chains.push_back(c);
        }
        const std::vector<std::size_t> order = order_chains_by_nearness(chains);
        ASSERT_EQ(order.size(), chains.size()) << "seed " << seed;
        std::vector<char> done(chains.size(), 0);
        for (std::size_t k = 0; k < order.size(); ++k) {
            const chain_ends& c = chains[order[k]];
            ASSERT_EQ(done[order[k]], 0) << "seed " << seed;
            for (const int b : c.after) EXPECT_NE(done[static_cast<std::size_t>(b)], 0) << "seed " << seed;
            if (k > 0) {
                const chain_ends& last = chains[order[k - 1]];
                const double picked = std::hypot(c.start_x - last.end_x, c.start_y - last.end_y);
                for (std::size_t j = 0; j < chains.size(); ++j) {
                    bool free = done[j] == 0 && j != order[k];
                    for (const int b : chains[j].after) free = free && done[static_cast<std::size_t>(b)] != 0;
                    if (!free) continue;
                    EXPECT_LE(picked, std::hypot(chains[j].start_x - last.end_x, chains[j].start_y - last.end_y))
                        << "seed " << seed << " pick " << k;
                }
            }
            done[order[k]] = 1;
        }
    }
}

// The order by a plain scan of every free chain per pick, as the indexed order must give it.
std::vector<std::size_t> plain_scan_order(const std::vector<chain_ends>& chains)
{
    std::vector<int> waiting(chains.size(), 0);
    for (std::size_t i = 0; i < chains.size(); ++i) waiting[i] = static_cast<int>(chains[i].after.size());
    std::vector<char> done(chains.size(), 0);
    std::vector<std::size_t> order;
    bool known = false;
    double x = 0.0, y = 0.0;
    for (;;) {
        std::size_t best = chains.size();
        double best_distance = 0.0;
        for (std::size_t i = 0; i < chains.size(); ++i) {
            if (done[i] != 0 || waiting[i] != 0) continue;
            const chain_ends& c = chains[i];
            const double d = order.empty()          ? 0.0
                             : known && c.has_start ? std::hypot(c.start_x - x, c.start_y - y)
                                                    : -1.0;
            if (best == chains.size() || d < best_distance) best = i, best_distance = d;
        }
        if (best == chains.size()) return order;
        done[best] = 1;
        order.push_back(best);
        for (std::size_t i = 0; i < chains.size(); ++i)
            for (const int b : chains[i].after) waiting[i] -= static_cast<std::size_t>(b) == best ? 1 : 0;
        known = chains[best].has_end;
        x = chains[best].end_x;
        y = chains[best].end_y;
    }
}

// Seeded sets with many equal distances (starts and ends on a coarse lattice, repeated points),
// unknown starts and ends and predecessors: the indexed order is the plain scan's, pick by pick.
TEST(ChainOrder, IndexedOrderEqualsThePlainScan)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        const int n = 1 + static_cast<int>(rng() % (seed % 10 == 0 ? 2000 : 150));
        const int lattice = 2 + static_cast<int>(rng() % 30);
        const auto coordinate = [&] { return static_cast<double>(rng() % static_cast<unsigned>(lattice)); };
        std::vector<chain_ends> chains;
        for (int i = 0; i < n; ++i) {
            chain_ends c = loop_at(coordinate(), coordinate());
            c.end_x = coordinate();
            c.end_y = coordinate();
            c.has_start = rng() % 23 != 0;
            c.has_end = rng() % 19 != 0;
            for (int b = 0; b < i; ++b)
                if (rng() % static_cast<unsigned>(4 * n) == 0) c.after.push_back(b);
            chains.push_back(c);
        }
        ASSERT_EQ(order_chains_by_nearness(chains), plain_scan_order(chains))
            << "seed " << seed << ", " << n << " chains";
    }
}

}  // namespace
