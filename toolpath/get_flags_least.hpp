// The flag segment 27 of a procedure block as the procedure reader needs it: the flag globals
// (proc_geom_pairs) and get_flags, which reads the segment into them. Least version: the
// procedure block update replaces this file and keeps these names.
#pragma once

#include "host/words.hpp"

#include <array>

// The six option words and twelve (flag, entity id) geometry pairs of segment 27.
struct proc_geom_pairs {
    static constexpr int kOptions = 6, kPairs = 12, kPairWords = 2 * kPairs;
    std::array<word, kOptions> options{};     // option words 1 to 6 (items 51-55, 82)
    std::array<word, kPairWords> pairs{};     // pair k: word 2k the flag, 2k + 1 the entity id
};

proc_geom_pairs& proc_flags();

// Reads segment 27 from the current list position, which stands on the segment's length word,
// into the option words and the 24 pair words. length answers the segment's length. An unknown
// code, or a record that is not one value, reports "get_flags, ERRORS IN LIST" and gives -1.
void get_flags(word& option2, word& option1, word& option3, word& option4, word& option5, word& option6,
               word* pairs, int& length, int& status);
