// The common form of an NC state block: a fixed run of 32-bit words, stored in the part's module
// data as it stands. Each block is a named struct built on this one, with the word indices of
// its fields; reals are read and written through bit casts, so a save and restore gives back the
// very same bits.
#pragma once

#include "host/words.hpp"

#include <algorithm>
#include <array>
#include <cstddef>

template <int N> struct nc_word_block {
    static_assert(N > 0);
    static constexpr int kWords = N;
    std::array<word, N> words{};

    word& at(int index) { return words[static_cast<std::size_t>(index)]; }
    word at(int index) const { return words[static_cast<std::size_t>(index)]; }
    float real(int index) const { return word_to_real(at(index)); }
    void set_real(int index, float value) { at(index) = real_to_word(value); }

    // Takes at most kWords words; words beyond n keep their values, so a short record only
    // replaces what it holds.
    void from_words(const word* in, int n)
    {
        if (!in || n <= 0) return;
        std::copy_n(in, std::min(n, N), words.begin());
    }
    // Writes kWords words.
    void to_words(word* out) const { std::copy(words.begin(), words.end(), out); }
};
