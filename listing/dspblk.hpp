// DSPBLK, the one routine through which every tool-path block reaches the screen or the
// material-removal simulation: it reads the block at the current position of a source, applies
// the copy transformation of the procedure and hands the block to the handler of its type.
// The live display (DISPLB), the procedure display (DSPROC) and the block converter call it.
#pragma once

#include <array>

// The copy transformation: that of the copy of the procedure being displayed, which every point
// read goes through (the identity for the procedure itself). DISPLB takes it from the host,
// DSPROC steps through the copies.
struct display_copy {
    std::array<float, 9> matrix{1, 0, 0, 0, 1, 0, 0, 0, 1};
    std::array<float, 3> translation{};
};
display_copy& display_copy_transform();

// mode: 0 remove, 1 register and draw, 2 position and modal state only (3 as 2, except for the
// parameter handler); plus 10 leaves the block number out of the status line. source: 1 an open
// entity, 2 the tool-path list, 3 the block just written; 8 to 11 feed the simulation.
// block_type: the type read. break_flag: 0, or check_display_break after a motion block in
// display mode 1. status: 0 done, 3 a procedure block whose movements lie in a movement entity,
// -1 failure. Reads TLER, DSM4, NPT1 and the display state; writes the state of the handlers.
void DSPBLK(int& mode, int& source, int& block_type, int& break_flag, int& status);

// The display of a block the block converter has just written at `where` (the list): its
// position and modal state, the procedure block through DIPB12_conv. Status 0 or -1.
void display_copied_block(int where, int type, int& status);
