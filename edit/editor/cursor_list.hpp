// Small list steps the cursor routines share: noting and returning to the cursor's marker, reading
// the head and the block number of the current block, stepping one block, and the shown height
// of a layer. Each answers the list layer's status; none reports anything itself.
#pragma once

#include "toolpath/tp_blocks.hpp"

// The list marker of every cursor routine.
inline constexpr int kCursorMarker = 5;
// One block forward or backward.
inline constexpr int kStepForward = 1, kStepBackward = -1;

// The head of the current block, read from its start; the read position stands behind the type.
struct cursor_block {
    int size = 0;
    int type = 0;
    int block_class = 0;
    bool motion() const;
    bool string() const;  // a point string: types 7, 27, 227
};

// Notes the current position under the cursor's marker; false when the host refuses.
bool cursor_mark();
// Goes back to the cursor's marker; false when it cannot be reached.
bool cursor_return();
// Reads the head of the current block from its start. Status as tp_block_head_read.
void cursor_read(cursor_block& block, int& status);
// Reads the block number behind the type word and puts the read position back before it.
void cursor_number(int& number, int& status);
// Steps one block in the direction: true when the list moved, false at an end of the list (then
// status stays 0); a list failure gives false and status -1.
bool cursor_step(int direction, int& status);
// true while the current block is the first of its list.
bool cursor_at_first();
// The point count and first number of the string at the position (head read just before).
void cursor_string(const cursor_block& block, tp_line_point& point, int& status);
// The marker's code and Z (head read just before).
void cursor_marker(const cursor_block& block, tp_marker_block& marker, int& status);
// The height a user sees for a stored Z: the Z less the tool-path origin's Z (NPT1).
float shown_height(float z);
