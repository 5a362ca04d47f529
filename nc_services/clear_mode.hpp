// The clearing state that the motion output reads: its mode word. While it is 3 (the surface
// clearing's statements) a negative statement code handed to the milling-statement output marks
// the first string of a statement, and the pass linker compares the angles of hatch ends instead
// of their ordinates. It stands here, below the clearing, because the motion output reads it;
// the surface procedures set it (0 at load).
#pragma once

inline constexpr int kClearModeSurface = 3;

struct clearing_state {
    int clear_mode = 0;
};

clearing_state& clearing_state_block();
// The mode word of the block.
int& clear_mode();
