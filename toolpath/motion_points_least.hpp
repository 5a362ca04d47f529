// The end point of the previous or next movement block (PRVPNT, NXTPOI), least version until the
// motion block writers are built; they replace this file and keep these signatures.
#pragma once

#include "toolpath/tp_blocks.hpp"

// From the current block (examine_current 1) or the one before (PRVPNT) or after (NXTPOI), steps
// block by block to a movement block and gives its end point, end direction and block number;
// the list position is put back afterwards. No movement block: the current tool position and axis
// of DSP8. Status 1 when the first (last) block of the list was reached, negative on a list
// failure ("PRVPNT, ERRORS IN LIST", "NXTPOI,ERRORS IN LIST").
void PRVPNT(int examine_current, point3& point, point3& direction, int& number, int& status);
void NXTPOI(int examine_current, point3& point, point3& direction, int& number, int& status);

// The end point and direction of the movement block whose type word was just read at the list
// position (least form of WENDPT): lines and strings give their last point, arcs, drill locations,
// rotations and cycles their end point; a NURBS move gives the current tool position.
void motion_end_point(int type, int size, point3& point, point3& direction, int& number, int& status);
