// DSP8, the NC state block of the current tool position, axis and display attributes, which the
// save and restore of the NC state carry whole. Least version, holding the words and the names
// the motion output reads, until the motion fitting buffer defines it.
#pragma once

#include "driver/nc_word_block.hpp"

#include <array>

// DSP8: words 0-5 the current position and tool axis, which every written motion updates; words
// 6-34 what the block display and the tool display keep (reals unless noted).
struct tool_position_state : nc_word_block<35> {
    static constexpr int kPosition = 0;          // 3
    static constexpr int kAxis = 3;              // 3
    static constexpr int kNormal = 6;            // 3
    static constexpr int kPrevPosition = 9;      // 3
    static constexpr int kPrevAxis = 12;         // 3
    static constexpr int kLineFont = 15;         // integer; item 107 of a procedure block
    static constexpr int kColour = 16;           // integer; item 116
    static constexpr int kPen = 17;              // integer; item 117
    static constexpr int kInstancePoint = 18;    // 3: the tool instance's last point
    static constexpr int kInstanceAxis = 21;     // 3: its last axis
    static constexpr int kOrientation = 24;      // 9: its orientation matrix, row by row
    static constexpr int kIndexValue = 33;       // the index value of PRM9 (parameter type 54)
    static constexpr int kUcsId = 34;            // integer; parameter type 55

    std::array<float, 3> vec(int first) const { return {real(first), real(first + 1), real(first + 2)}; }
    void set_vec(int first, const std::array<float, 3>& v)
    {
        for (int i = 0; i < 3; ++i) set_real(first + i, v[static_cast<std::size_t>(i)]);
    }
};

tool_position_state& DSP8();
