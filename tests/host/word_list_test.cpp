// The words of a tool-path line: the same answers as a vector under seeded appends and
// insertions, across the change from words kept inside the line to words kept in a block, with
// copies and moves keeping their words.
#include "host/control/word_list.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using vantu::control::word_list;

TEST(WordList, AnswersAsAVectorUnderSeededInsertions)
{
    for (unsigned seed : {11u, 12u, 13u, 14u}) {
        std::mt19937 random(seed);
        word_list words;
        std::vector<word> reference;
        for (int step = 0; step < 60; ++step) {
            const auto size = static_cast<int>(reference.size());
            const int at = std::uniform_int_distribution<int>(0, size)(random);
            const int count = std::uniform_int_distribution<int>(0, 4)(random);
            switch (std::uniform_int_distribution<int>(0, 3)(random)) {
            case 0: {  // words from outside, as lputd appends them
                std::vector<word> added(static_cast<std::size_t>(count), step);
                words.insert(words.end(), added.data(), added.data() + added.size());
                reference.insert(reference.end(), added.begin(), added.end());
                break;
            }
            case 1:  // zeros opened inside, as lopclg makes room
                words.insert(words.begin() + at, static_cast<std::size_t>(count), -step);
                reference.insert(reference.begin() + at, static_cast<std::size_t>(count), -step);
                break;
            case 2: {  // words of the list itself
                const int from = std::uniform_int_distribution<int>(0, size)(random);
                const int last = std::min(size, from + count);
                const std::vector<word> copied(reference.begin() + from, reference.begin() + last);
                words.insert(words.begin() + at, words.data() + from, words.data() + last);
                reference.insert(reference.begin() + at, copied.begin(), copied.end());
                break;
            }
            default:
                if (size > 0) {
                    words[static_cast<std::size_t>(at % size)] = step;
                    reference[static_cast<std::size_t>(at % size)] = step;
                }
            }
            ASSERT_EQ(std::vector<word>(words), reference) << "seed " << seed << ", step " << step;
            word_list copy = words;
            word_list moved = std::move(copy);
            ASSERT_TRUE(moved == reference && copy.empty()) << "seed " << seed << ", step " << step;
            copy = moved;
            moved = word_list{1, 2};
            ASSERT_TRUE(copy == reference && moved == (std::vector<word>{1, 2})) << "seed " << seed;
        }
        EXPECT_THROW((void)words.at(reference.size()), std::out_of_range);
    }
}
