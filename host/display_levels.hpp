// The display file as the picture draws it (host/display_svg.cpp): each shown block with the
// level of the tool path it belongs to and whether it is a link. Internal to the host.
//
// Levels are the LAYER brackets (marker codes 3 and 4) of each procedure's motions in the tool
// path, in the order the tool path reaches them; a procedure without them is one level. The
// moves between two brackets (the way down to the next level) belong to the level they lead to,
// moves before the first bracket to the first level, moves after the last to the last.
//
// A link brings the tool from one cut to the next: a rapid move, a move inside an APPROACH,
// RETRACT or CONNECTION bracket, a move before the end of the procedure's first approach, a move
// along the tool axis (a plunge or a lift), and the moves at one height between a lift and a
// plunge (the way over). Everything else is a cut, in whatever plane it lies.
#pragma once

#include "host/control/ncd_file.hpp"

#include <cstdint>
#include <vector>

namespace vantu::control {

struct drawn_level {
    int procedure = 0;  // the block number of the procedure block
    int number = 0;     // 1, 2, ... in the procedure; 0 for a procedure without LAYER brackets
    double z = 0.0;     // the Z the LAYER marker carries (number above 0 only)
};

// 16 bytes: a long tool path draws one per move.
struct drawn_block {
    const ncd_block_record* block = nullptr;
    std::uint32_t level = 0;  // index into drawn_display_file::levels
    bool link = false;
};

struct drawn_display_file {
    std::vector<drawn_level> levels;  // only levels with a shown block, in the order first shown
    std::vector<drawn_block> blocks;  // file order
};

// The blocks (the shown blocks of the display file, in file order, pointed at where the file
// keeps them) by level and kind, read against the tool path as it stands.
drawn_display_file drawn_blocks(const std::vector<const ncd_block_record*>& shown);

// "procedure 1, level 2: Z 2.000", or "procedure 1" for a procedure without levels.
std::string level_label(const drawn_level& level);

}  // namespace vantu::control
