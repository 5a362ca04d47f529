// The compact stores of the display file: a block's points answer as a vector of points across
// the change from points kept inside the block to points in a block of their own, through copies,
// moves and clearing, and stay inside as floats only while they read back exactly; the counts of motion blocks by
// address answer as a map of counts under seeded additions and removals, block numbers in order, in gaps and far
// beyond.
#include "host/control/block_points.hpp"
#include "host/core/motion_counts.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <utility>
#include <vector>

using vantu::control::block_points;
using point = block_points::point;

namespace {

std::vector<point> as_vector(const block_points& points) { return {points.begin(), points.end()}; }

}  // namespace

TEST(DisplayBlockPoints, AnswerAsAVectorUnderSeededInsertions)
{
    for (unsigned seed : {21u, 22u, 23u, 24u}) {
        std::mt19937 random(seed);
        block_points points;
        std::vector<point> reference;
        for (int step = 0; step < 80; ++step) {
            const auto size = static_cast<int>(reference.size());
            const int at = std::uniform_int_distribution<int>(0, size)(random);
            const point p{double(step), -0.5 * step, 1.0 / (step + 1)};
            switch (std::uniform_int_distribution<int>(0, 4)(random)) {
            case 0:  // the end of a move
                points.push_back(p);
                reference.push_back(p);
                break;
            case 1:  // a start put before the points
                points.insert(points.begin() + at, p);
                reference.insert(reference.begin() + at, p);
                break;
            case 2: {  // a spline's run
                const std::vector<point> run(static_cast<std::size_t>(step % 5), p);
                points.insert(points.end(), run.begin(), run.end());
                reference.insert(reference.end(), run.begin(), run.end());
                break;
            }
            case 3:
                if (step % 7 == 0) {  // a block taking the attributes of another starts empty
                    points.clear();
                    reference.clear();
                }
                break;
            default:
                if (size > 0) {
                    points.set(static_cast<std::size_t>(at % size), p);
                    reference[static_cast<std::size_t>(at % size)] = p;
                }
            }
            ASSERT_EQ(as_vector(points), reference) << "seed " << seed << ", step " << step;
            block_points copy = points;
            block_points moved = std::move(copy);
            ASSERT_TRUE(as_vector(moved) == reference && copy.empty()) << "seed " << seed << ", step " << step;
            copy = moved;
            moved = block_points{};
            ASSERT_TRUE(as_vector(copy) == reference && moved.empty()) << "seed " << seed << ", step " << step;
        }
    }
}

// Points are kept inside the block as floats only when every one reads back as the same number.
TEST(DisplayBlockPoints, KeepFloatsInsideOnlyWhenTheyReadBackExactly)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct row {
        const char* what;
        std::vector<point> pushed;  // the last one is put before the others, as a block's start
        bool inside;
    } rows[] = {
        {"a move of single-precision words", {{94.99549866f, -49.39928818f, 6.0f}, {0.1f, 0.2f, 0.3f}}, true},
        {"an arc point in double precision", {{1.0 / 3.0, 0.0, 0.0}, {0.0, 0.0, 0.0}}, false},
        {"a third point", {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, false},
        {"beyond the floats' range", {{1e300, 0.0, 0.0}, {0.0, 0.0, 0.0}}, false},
        {"a signed zero and a lone point", {{-0.0, 0.0, 5.0}}, true},
        {"a number that is none", {{nan, 0.0, 0.0}, {0.0, 0.0, 0.0}}, false},
    };
    const auto same = [](const point& a, const point& b) {
        return std::memcmp(a.data(), b.data(), sizeof(point)) == 0;  // a NaN and a zero's sign as well
    };
    for (const row& r : rows) {
        block_points points;
        for (std::size_t i = 0; i + 1 < r.pushed.size(); ++i) points.push_back(r.pushed[i]);
        points.insert(points.begin(), r.pushed.back());
        std::vector<point> expected{r.pushed.back()};
        expected.insert(expected.end(), r.pushed.begin(), r.pushed.end() - 1);
        const std::vector<point> read = as_vector(points);
        EXPECT_EQ(points.inline_floats(), r.inside) << r.what;
        ASSERT_EQ(read.size(), expected.size()) << r.what;
        for (std::size_t i = 0; i < read.size(); ++i)
            EXPECT_TRUE(same(read[i], expected[i])) << r.what << ", point " << i;
        // A start put in its place that single precision cannot hold takes the block out of floats.
        points.set(0, {0.1, 0.0, 0.0});
        EXPECT_FALSE(points.inline_floats()) << r.what;
        EXPECT_TRUE(same(points.front(), {0.1, 0.0, 0.0})) << r.what;
    }
}

TEST(DisplayMotionCounts, AnswerAsAMapUnderSeededAdditionsAndRemovals)
{
    struct row {
        const char* name;
        int most_number;  // block numbers drawn from 1 up to this
    };
    const row rows[] = {{"numbers in order", 0},
                        {"numbers within the array's reach", 3000},
                        {"numbers far beyond the blocks", 2000000000}};
    for (const row& r : rows)
        for (unsigned seed : {31u, 32u, 33u}) {
            std::mt19937 random(seed);
            vantu::ncd::motion_counts counts;
            std::map<std::pair<int, int>, int> reference;
            std::vector<std::pair<int, int>> held;
            int next = 1;
            for (int step = 0; step < 3000; ++step) {
                const int procedure = std::uniform_int_distribution<int>(1, 3)(random);
                const bool remove = !held.empty() && std::uniform_int_distribution<int>(0, 3)(random) == 0;
                std::pair<int, int> address;
                if (remove) {
                    const auto at = std::uniform_int_distribution<std::size_t>(0, held.size() - 1)(random);
                    address = held[at];
                    held.erase(held.begin() + static_cast<std::ptrdiff_t>(at));
                } else {
                    address = {procedure, r.most_number == 0
                                              ? next++
                                              : std::uniform_int_distribution<int>(1, r.most_number)(random)};
                    held.push_back(address);
                }
                counts.add(address.first, address.second, remove ? -1 : 1);
                reference[address] += remove ? -1 : 1;
                ASSERT_EQ(counts.count(address.first, address.second), reference[address])
                    << r.name << ", seed " << seed << ", step " << step;
            }
            for (const auto& [address, count] : reference)
                ASSERT_EQ(counts.count(address.first, address.second), count) << r.name << ", seed " << seed;
            EXPECT_EQ(counts.count(1, -1), 0) << r.name;
            EXPECT_EQ(counts.count(4, 1), 0) << r.name << ": a procedure never counted";
        }
}
