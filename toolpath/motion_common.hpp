// What the motion writers share: the machine rules, the zero-length test, the move-writer state
// after a move, and the display of a written block. Used only by the motion writer files.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <array>

// A display mode other than 1 and 2 reports the message and is taken as 1.
int checked_display(const char* message, int display);
// Machine types whose first motion after a procedure block is preceded by a move with tool
// direction (0, 0, 1): 25, 26 and 61 to 79 (reads NPT1).
bool first_move_machine();
// True when the move to point writes nothing: the last point is valid and equal to it, and for
// a block with a direction or normal that vector is the last one too.
bool repeats_last_move(int type, const point3& point, const point3& vector);
// The points of a move: the point alone, or on machine types 12, 13, 22 and 31 a move with dx, dy
// and dz all non-zero split at a corner (going up: z first; going down: x and y first).
int move_points(const point3& point, std::array<point3, 2>& points);
// LSP2 (and the position in DSP8) after a move of the type ended at point.
void remember_move(int type, const point3& point, const point3& vector);
// Shows the block just written when the display mode is 1; a break is kept in break_flag.
void show_written(int display, int& break_flag, int& status);
// Opens the execution menu when the display reported a break.
void answer_break(int break_flag);
bool carries_direction(int type);
bool carries_normal(int type);
