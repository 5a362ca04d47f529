// The compact stores of the display file: a block's points answer as a vector of points across
// the change from points kept inside the block to points in a block of their own, through copies,
// moves and clearing; the counts of motion blocks by address answer as a map of counts under
// seeded additions and removals, block numbers in order, in gaps and far beyond.
#include "host/control/block_points.hpp"
#include "host/core/motion_counts.hpp"

#include <gtest/gtest.h>

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
