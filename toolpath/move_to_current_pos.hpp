// move_to_current_pos: the return to the current position over the clearance plane, written
// through the line entry of the motion output. The pocket execution and the trimming call it at
// the end of their moves.
#pragma once

// Mode 1, and when the clearance-plane flag is then set one rapid linear move to x and y of the
// current position (DSP8) at the clearance height (HEI8 word 0), direction (0, 0, 1).
void move_to_current_pos(int dimension, int& status);
