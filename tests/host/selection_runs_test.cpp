// The selection list in runs: under seeded pushes of single entries and of loops begun at random
// places either way round, removals of ranges and rejections of the last entry, it answers as a
// plain list of entries; a loop pushed again from another place takes no room of its own.
#include "host/core/selection_runs.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using vantu::control::selection_entry;

TEST(SelectionRuns, AnswerAsAListUnderSeededPushesAndRemovals)
{
    const auto entry = [](int id) { return selection_entry{id, 0, {float(id), 0.5f * float(id), 0.0f}}; };
    std::vector<selection_entry> loop;
    for (int id = 1; id <= 7; ++id) loop.push_back(entry(id));
    const auto same = [](const std::vector<selection_entry>& a, const std::vector<selection_entry>& b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
                   return x.entity == y.entity && x.kind == y.kind && x.point == y.point;
               });
    };
    for (unsigned seed : {41u, 42u, 43u, 44u, 45u}) {
        std::mt19937 random(seed);
        const auto draw = [&](int most) { return std::uniform_int_distribution<int>(0, most)(random); };
        vantu::selection_runs list;
        std::vector<selection_entry> reference;
        for (int step = 0; step < 200; ++step) {
            const auto size = static_cast<int>(reference.size());
            switch (draw(4)) {
            case 0: {  // a curve picked alone
                list.push(entry(100 + step));
                reference.push_back(entry(100 + step));
                break;
            }
            case 1: {  // the loop highlighted from one of its curves, either way
                const int first = draw(6);
                const bool backwards = draw(1) == 1;
                std::vector<selection_entry> run;
                for (int k = 0; k < 7; ++k)
                    run.push_back(loop[static_cast<std::size_t>((first + (backwards ? 7 - k : k)) % 7)]);
                if (draw(5) == 0) run[3] = entry(-1);  // another chain through the loop's curves
                list.push_loop(run);
                reference.insert(reference.end(), run.begin(), run.end());
                break;
            }
            case 2:
            case 3:
                if (size > 0) {  // a contour's range taken out
                    const int from = draw(size - 1), to = from + 1 + draw(std::min(9, size - from - 1));
                    list.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to));
                    reference.erase(reference.begin() + from, reference.begin() + to);
                }
                break;
            default:
                if (size > 0) {
                    list.pop_back();
                    reference.pop_back();
                }
            }
            ASSERT_EQ(list.size(), reference.size()) << "seed " << seed << ", step " << step;
            ASSERT_TRUE(same(list.entries(), reference)) << "seed " << seed << ", step " << step;
        }
    }
}

TEST(SelectionRuns, ALoopPickedAgainAndAgainIsKeptOnce)
{
    struct row {
        const char* what;
        int shift;       // place of each pick's first entry, k * shift round the loop
        bool backwards;  // picks after the first run the loop the other way
        bool changed;    // one entry of each later pick differs
        std::size_t stored;
    } rows[] = {
        {"picked curve by curve", 1, false, false, 500},
        {"run the other way", 7, true, false, 500},
        {"another chain each time", 1, false, true, 500 * 300},
    };
    for (const row& r : rows) {
        std::vector<selection_entry> loop;
        for (int id = 1; id <= 500; ++id) loop.push_back({id, 0, {float(id), 1.0f, 2.0f}});
        vantu::selection_runs list;
        for (int pick = 0; pick < 300; ++pick) {
            std::vector<selection_entry> run;
            for (int k = 0; k < 500; ++k) {
                const int step = pick > 0 && r.backwards ? 500 - k : k;
                run.push_back(loop[static_cast<std::size_t>((pick * r.shift + step) % 500)]);
            }
            if (r.changed) run[0].entity = -pick;
            list.push_loop(run);
        }
        EXPECT_EQ(list.size(), 500u * 300) << r.what;
        EXPECT_EQ(list.stored(), r.stored) << r.what;
    }
}
