// The optimizer block: the optimizer items (codes 59 to 133) that every procedure block carries in
// its global parameters, kept by the driver as a current and a previous copy. The procedure-block
// writer writes them item by item in table order; the parameter reader and the change analysis
// read and compare them by item code.
#pragma once

#include "host/words.hpp"

#include <array>
#include <span>

// One item of the block: its code in segment 24, whether its words are reals, its word count and
// its first word in the block.
struct optimizer_item {
    int code;
    bool real;
    int count;
    int offset;
};

// The items in the block's order (which is the order the writer uses).
std::span<const optimizer_item> optimizer_items();
// The item of a code, or nullptr for a code the block does not hold.
const optimizer_item* optimizer_item_of(int code);

// The block itself: 86 words of items in table order, then 7 reserved words that are copied with
// the rest (93 words in all).
struct optimizer_params {
    static constexpr int kItemWords = 86;
    static constexpr int kWords = 93;
    std::array<word, kWords> words{};

    // Word k (from 0) of the item with the given code. The code must be one the block holds.
    word& at(int code, int k = 0);
    word at(int code, int k = 0) const;
    int ival(int code, int k = 0) const { return static_cast<int>(at(code, k)); }
    float rval(int code, int k = 0) const { return word_to_real(at(code, k)); }
    void set_ival(int code, int value, int k = 0) { at(code, k) = static_cast<word>(value); }
    void set_rval(int code, float value, int k = 0) { at(code, k) = real_to_word(value); }

    bool operator==(const optimizer_params&) const = default;
};

// The current and the previous block (module state, kept between procedures).
optimizer_params& opt_params_current();
optimizer_params& opt_params_previous();

// Item codes with a meaning the driver acts on.
inline constexpr int kOptRangeMode = 65, kOptLowerLimit = 66, kOptUpperLimit = 67, kOptPendingAction = 81,
                     kOptState = 115, kOptTableCount = 126, kOptOptionWord = 130;

// Sets every item of the current block to its default.
void opt_params_defaults();

// The procedure option word (item 130): the option mode in its low seven bits, the tilted flag in
// bit 128.
int opt_mode_val(int value);
int opt_mode_is1(int value);
int test_bit128(int value);
int is_2_or_3(int value);
// Clears the tilted flag in item 130 of the current block (the writer writes the block after it).
void opt_clr_bit128(int& status);
