// FNDRNG: finds, in the current procedure's tool-path list, the stretch of blocks between two
// block numbers, marks its first and its last block and gives the point and direction the tool
// has just before it. The block picking, the depth edit, the block deletion, the loop trimming
// and the trimming driver call it for each range they work on.
#pragma once

#include "toolpath/tp_blocks.hpp"

// A block of a procedure's tool path: the list (2, the tool-path list), the list id of the
// procedure and the block number. Every point of a point string has its own block number.
struct block_ref {
    int where = 2;
    int list = 0;
    int number = 0;
    friend bool operator==(const block_ref&, const block_ref&) = default;
};

inline constexpr int kRangeFound = 0, kRangeNotFound = -2, kRangeListError = -3;

// Walks the procedure's list from its first block. The references may come in either order; on
// return `a` holds the earlier and `b` the later one. A point string holding the number of a or
// b, or (with break_strings set) any string from the first block of the stretch on, is broken
// into line blocks so that the stretch can start or end inside it. Sets first_marker on the
// first block and last_marker on the last. layer is 1 when a block of the stretch lies inside a
// LAYER bracket. point and direction: the end of the motion before the stretch; when there is
// none, no_previous is -1 and they are the position before the procedure (its block's previous
// position when the list is the procedure's sub-list, else the tool's current position).
// Status 0; -2 with "FNDRNG, THE INDICATED REGION WAS NOT FOUND WITHIN THE CURRENT PROCEDURE"
// when the list ends first (markers set so far stay); -3 with "FNDRNG, ERRORS IN LIST" on a
// failed read or marker; the status of the marker or string reader or of BRKSTR unchanged.
void FNDRNG(int first_marker, int last_marker, block_ref& a, block_ref& b, int break_strings, int& layer,
            int& no_previous, point3& point, point3& direction, int& status);

// The position before the procedure: from the procedure block above the sub-list the list is in;
// the list comes back to the block under `marker`. Keeps the given point and direction when the
// list is the top list. Status 0, or the negative status of a list call or of GETPOS.
void position_before_procedure(int marker, point3& point, point3& direction, int& status);
