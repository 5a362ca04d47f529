// The display routines of the block types, which show a block just copied into a list. Least
// version until the tool-path display is built: one entry for every type, drawing nothing and
// counting the blocks it was asked to show.
#pragma once

// Shows the block of the type just written at WHERE to. Status 0.
void display_copied_block(int where, int type, int& status);
// Blocks shown since the module was loaded.
long copied_blocks_shown();
