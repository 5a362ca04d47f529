// The sub-list of a procedure block and the sub-list stack BLSK: opening the sub-list continues
// the block numbering of its motions, closing it writes the block count into item 20 of
// segment 24.
#pragma once

#include "host/words.hpp"

#include <array>

// BLSK, 11 words, saved and restored with the NC state blocks under "BLSK".
struct sublist_stack {
    static constexpr int kWords = 11;
    static constexpr int kLevels = 10;
    // word 0: the list level of the procedure block whose sub-list was opened last;
    // words 1-10: per list level L, the block number of the procedure block at L whose sub-list
    // is open.
    std::array<word, kWords> words{};

    void from_words(const word* in, int n);  // reads at most kWords words
    void to_words(word* out) const;          // writes kWords words
};

sublist_stack& BLSK();

// Item 20 of segment 24: the number of blocks of the procedure's sub-list.
inline constexpr int kSublistCountGroup = 24, kSublistCountCode = 20;

void tp_sublist_open(int& status);
void tp_sublist_close(int& status);
// Marks a sub-list as entered without the host's sub-list call: BLSK records the block number at
// the current level L and the level L + 1 as open, and the counter of L + 1 starts at 0. A level
// of 10 or more is refused (-1): BLSK names levels 1 to 10 only.
void sublist_stack_set(int block_number, int& status);
