// Where the trimming stands in the procedure's list: its first and last motions, the motions of
// its entry, a given block, the machining state before the range, the number the next block
// gets, the "UITR" word, and the mark kept around a manual edit while trimming runs.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <functional>

// The dimension kind of a motion type: 1 for 2, 3, 5, 7; 3 for 22 .. 27; 2 for 222 .. 227.
int motion_dimension_kind(int type);

// Makes `point` the move writer's last point and the current position, then reads the first
// motion from the list position (first, its kind) and the last motion of the list (last). The
// list ends on the last motion. Status 0; the first negative status of the motion reader.
void trim_first_last_motion(int& first, int& last, const point3& point, int& kind, int& status);

// Walks the motions from the first block to the block numbered `block`; a point string holding
// that number among its points is broken into lines (BRKSTR) and the walk goes on in them. The
// list is left on the target motion, so that the motion walk reads it next; point and direction
// are its end, previous and previous_direction the end of the motion before it (or the current
// position), which become the last written point and the current position. Status 0; -2 when no
// motion has that number; the first negative status of a list call.
void trim_goto_block(int block, point3& point, point3& direction, point3& previous, point3& previous_direction,
                     int& kind, int& status);

// The entry of the procedure: the first motion, and the last of the motions that follow it with
// a feed below the base feed (rapids and stored feeds count as below). The list position is the
// same on return (list marker 16). Status 0; a negative status of a list call.
void trim_entry_range(int& first, int& last, int& status);

// Brings the machining state (the parameter blocks of the machine type) in step with the motion
// after the current block. The list position is the same on return (list marker 15).
void trim_prev_machining(int& status);

// From the block under list marker `marker`, block by block to the end of the level: reads each
// block's number and class, and visit(number, block_class, status) answers true to stop there (the
// list stays on that block). true when a visit stopped the walk; status the first negative status
// of a list call or of a visit.
bool trim_walk_blocks(int marker, const std::function<bool(int number, int block_class, int& status)>& visit,
                      int& status);

// The block number the next block of the current list level gets.
int trim_next_blkno();

// Writes the model-data word "UITR": 1 when flag is 1, else 0.
void uitr_set(int flag);

// Mode 2 notes the list position (marker 9) before a manual edit; any other mode goes back to it
// and puts the display's insertion place after the block added last. Status 0; the marker's
// negative status.
void goto_last_added_block(int mode, int& status);
