// DSP8, the NC state block of the current tool position, axis and display attributes, which the
// save and restore of the NC state carry whole. Least version, holding the words and the names
// the motion output reads, until the motion fitting buffer defines it.
#pragma once

#include "driver/nc_word_block.hpp"

// DSP8: words 0-2 the current position, 3-5 the tool axis (reals); 6-34 display attributes.
struct tool_position_state : nc_word_block<35> {
    static constexpr int kPosition = 0;
    static constexpr int kAxis = 3;
    static constexpr int kLineFont = 6;   // item 107 of a procedure block
    static constexpr int kColour = 7;     // item 116
    static constexpr int kPen = 8;        // item 117
};

tool_position_state& DSP8();
