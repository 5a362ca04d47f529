// The gap buffer of the host list's lines: the same answers as a vector under seeded edits, and
// an edit that walks the list deleting and inserting lines moves each line a bounded number of
// times (counted, not timed).
#include "host/control/line_sequence.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using vantu::control::line_sequence;

// A line that counts how often lines are moved or copied.
struct counted {
    static inline long moves = 0;
    int value = 0;
    counted() = default;
    explicit counted(int v) : value(v) {}
    counted(const counted& o) : value(o.value) { ++moves; }
    counted(counted&& o) noexcept : value(o.value) { ++moves; }
    counted& operator=(const counted& o)
    {
        value = o.value;
        ++moves;
        return *this;
    }
    counted& operator=(counted&& o) noexcept
    {
        value = o.value;
        ++moves;
        return *this;
    }
    bool operator==(const counted& o) const { return value == o.value; }
};

}  // namespace

TEST(LineSequence, AnswersAsAVectorUnderSeededEdits)
{
    constexpr unsigned kSeed = 4405;
    std::mt19937 random(kSeed);
    // Lines that own memory, so that a line moved onto itself would lose it.
    using line = std::vector<int>;
    line_sequence<line> lines;
    std::vector<line> reference;
    for (int step = 0; step < 4000; ++step) {
        const auto size = static_cast<int>(reference.size());
        const int kind = std::uniform_int_distribution<int>(0, 9)(random);
        const int at = std::uniform_int_distribution<int>(0, size)(random);
        if (kind < 5 || size == 0) {
            lines.insert(lines.begin() + at, line{step, step});
            reference.insert(reference.begin() + at, line{step, step});
        } else if (kind < 9 && at < size) {
            const int count = std::uniform_int_distribution<int>(1, std::min(3, size - at))(random);
            lines.erase(lines.begin() + at, lines.begin() + at + count);
            reference.erase(reference.begin() + at, reference.begin() + at + count);
        } else if (at < size) {
            lines[static_cast<std::size_t>(at)] = line{-step};
            reference[static_cast<std::size_t>(at)] = line{-step};
        }
        ASSERT_EQ(std::vector<line>(lines), reference) << "seed " << kSeed << ", step " << step;
    }
    EXPECT_EQ(lines.back(), reference.back());
    EXPECT_THROW((void)lines.at(reference.size()), std::out_of_range);
    EXPECT_TRUE(lines == line_sequence<line>(reference));
    line_sequence<line> moved = std::move(lines);
    EXPECT_TRUE(lines.empty()) << "a sequence moved from is empty";
    EXPECT_EQ(moved.size(), reference.size());
}

TEST(LineSequence, AWalkThatEditsAsItGoesMovesEachLineAFewTimes)
{
    struct row {
        const char* what;
        int lines;
        int every;   // edit every such line
        bool split;  // replace it by two lines instead of deleting it
    } rows[] = {
        {"delete every second line", 20000, 2, false},
        {"split every third line", 20000, 3, true},
    };
    for (const row& r : rows) {
        line_sequence<counted> lines;
        for (int i = 0; i < r.lines; ++i) lines.push_back(counted(i));
        counted::moves = 0;
        std::size_t at = 0;
        for (int i = 0; i < r.lines; ++i) {
            if (i % r.every != 0) {
                ++at;
                continue;
            }
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
            if (r.split) {
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), counted(-i));
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at + 1), counted(-i));
                at += 2;
            }
        }
        // A vector would move about lines * lines / (2 * every) of them.
        EXPECT_LT(counted::moves, 8L * r.lines) << r.what;
        EXPECT_EQ(lines.size(), static_cast<std::size_t>(r.split ? r.lines + (r.lines + 2) / 3
                                                                 : r.lines - (r.lines + r.every - 1) / r.every))
            << r.what;
    }
}
