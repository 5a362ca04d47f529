// The two NC state blocks of the motion output that the save and restore of the NC state carry
// whole: DSP8 (current tool position, axis and display attributes) and LSP2 (the move-writer
// state). Least versions, holding only the words, until the motion output defines them.
#pragma once

#include "driver/nc_word_block.hpp"

// DSP8: words 0-2 the current position, 3-5 the tool axis (reals); 6-34 display attributes.
struct tool_position_state : nc_word_block<35> {
    static constexpr int kPosition = 0;
    static constexpr int kAxis = 3;
};

// LSP2: the move-writer state.
struct move_writer_state : nc_word_block<12> {};

tool_position_state& DSP8();
move_writer_state& LSP2();
