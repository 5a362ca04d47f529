// The 32-bit word of the host's lists, entities and module data, and the moves of reals into
// and out of words. Reals are stored as 4-byte floats, doubles as two consecutive words; every
// move goes through std::bit_cast or memcpy so no word is ever read through a pointer of
// another type.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using word = std::int32_t;

inline word real_to_word(float value) { return std::bit_cast<word>(value); }
inline float word_to_real(word w) { return std::bit_cast<float>(w); }

// A double occupies two words, low word first (the host's native byte order).
inline void double_to_words(double value, word* out) { std::memcpy(out, &value, sizeof value); }
inline double words_to_double(const word* in)
{
    double value;
    std::memcpy(&value, in, sizeof value);
    return value;
}

// Four characters packed into one word in byte order, as the host keeps 4-character keys
// ("KQ47", "HEI8") and text fields; missing characters are blanks.
inline word text4_to_word(std::string_view text)
{
    char bytes[4] = {' ', ' ', ' ', ' '};
    for (std::size_t i = 0; i < 4 && i < text.size(); ++i) bytes[i] = text[i];
    word w;
    std::memcpy(&w, bytes, sizeof w);
    return w;
}
inline std::string word_to_text4(word w)
{
    char bytes[4];
    std::memcpy(bytes, &w, sizeof bytes);
    return std::string(bytes, 4);
}
