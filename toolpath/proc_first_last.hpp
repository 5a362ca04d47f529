// First and last points of the motions of a procedure block (FSTLST): the block update writes
// them into items 5, 27, 6 and 28 of segment 24 when the geometry changed.
#pragma once

#include "toolpath/tp_blocks.hpp"

// The list stands on a procedure block. empty stays 1 when its sub-list holds no movement block;
// otherwise the end point and direction of the first and of the last movement block. The block
// is left as the current block, its sub-list closed. A block other than a procedure reports
// "FSTLST,THE CURRENT BLOCK IS NOT A PROCEDURE DEFINITION BLOCK" (-1); a list failure reports
// "FSTLST - list errors".
void FSTLST(point3& first, point3& first_direction, point3& last, point3& last_direction, int& empty, int& status);
