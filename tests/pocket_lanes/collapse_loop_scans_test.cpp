// The quick scans of the collapse records give what the plain walks give: a loop's box as the walk
// over its elements takes it (seeded loops of lines and arcs, some with an arc record cut short),
// and the island lanes as a backward walk of the lane table row by row finds them (seeded level
// and status columns, island levels sparse or missing, levels beyond the island count).
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_lanes/collapse_loop_scans.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>

namespace {

void walked_box(const pokarr& loop, double* box)
{
    box[0] = box[1] = 1.0e300, box[2] = box[3] = -1.0e300;
    for (int i = 1; i < loop.count;) {
        const chain_element e = chain_element_at(loop.x, loop.y, loop.count, i);
        if (!e.valid) break;
        i = e.next;
        double b[4] = {};
        elem_holding_box(e.arc ? 1 : 0, e.cx, e.cy, e.r, loop.x[e.start], loop.y[e.start], loop.x[e.end], loop.y[e.end],
                         b);
        box[0] = std::min(box[0], b[0]), box[1] = std::min(box[1], b[1]);
        box[2] = std::max(box[2], b[2]), box[3] = std::max(box[3], b[3]);
    }
}

std::vector<int> walked_islands(const lane_table& lt)
{
    std::vector<int> islands(static_cast<std::size_t>(std::max(0, lt.island_count)), 0);
    std::vector<bool> seen(islands.size(), false);
    for (int n = lt.count; n >= 1; --n) {
        const int k = lt.level[n] - kLevelIsland;
        if (k < 1 || k > lt.island_count || seen[static_cast<std::size_t>(k - 1)]) continue;
        seen[static_cast<std::size_t>(k - 1)] = true;
        islands[static_cast<std::size_t>(k - 1)] = lt.status[n] < 0 ? 0 : n;
    }
    return islands;
}

TEST(CollapseLoopScans, QuickScansGiveWhatThePlainWalksGive)
{
    constexpr unsigned kSeed = 20261208;
    std::mt19937 random(kSeed);
    std::uniform_real_distribution<double> at(-50.0, 50.0), radius(0.1, 30.0);
    auto table = std::make_unique<lane_table>();
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE("seed " + std::to_string(kSeed) + " round " + std::to_string(round));
        std::vector<double> x{at(random)}, y{at(random)};
        for (int e = static_cast<int>(random() % 12); e > 0; --e) {
            if (random() % 2 == 0) {
                x.insert(x.end(), {kArcMarker, radius(random), at(random)});
                y.insert(y.end(), {0.0, random() % 2 == 0 ? 1.0 : -1.0, at(random)});
            }
            x.push_back(at(random)), y.push_back(at(random));
        }
        const int cut = random() % 4 == 0 ? static_cast<int>(random() % 3) : 0;
        pokarr loop;
        pokarr_init(2, loop);
        int status = 0, count = std::max(1, static_cast<int>(x.size()) - cut);
        pokarr_init_static(2, x.data(), y.data(), nullptr, nullptr, count, count, loop, status);
        ASSERT_EQ(status, 0);
        double quick[4], walked[4];
        collapse_loop_box(loop, quick);
        walked_box(loop, walked);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(quick[k], walked[k]) << "box side " << k;
        pokarr_free(loop);

        lane_table& lt = *table;
        lt.count = static_cast<int>(random() % 300);
        lt.island_count = static_cast<int>(random() % 12) - 1;
        const int spread = 1 + static_cast<int>(random() % 64);
        for (int n = 1; n <= lt.count; ++n) {
            const bool island = random() % static_cast<unsigned>(spread) == 0;
            lt.level[n] = island ? kLevelIsland + static_cast<int>(random() % 14) : static_cast<int>(random() % 30);
            lt.status[n] = static_cast<int>(random() % 9) - 3;
        }
        std::vector<int> islands;
        collapse_island_lanes(lt, islands);
        EXPECT_EQ(islands, walked_islands(lt));
    }
}

}  // namespace
