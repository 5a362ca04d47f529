// End points of movement blocks: the end point and direction of the block just read (WENDPT), of
// the next movement block (ENDPNT) and of the previous or next one around the current position
// (PRVPNT, NXTPOI), and the return to a marked position (tp_list_top_mark). The procedure block
// update and the approach and retract motions read them.
#pragma once

#include "toolpath/tp_blocks.hpp"

// The end point and end direction of the movement block whose type word was just read at WHERE
// (size: the block's size). Lines, arcs and strings give their last point, NURBS moves their last
// control point, drill locations their point and direction, rotations and cycles their end
// point; the direction is (0, 0, 1) where the block carries none. A positive status becomes 0;
// a string whose points cannot be skipped reports "WENDPT, ERRORS IN LIST".
void WENDPT(int where, int type, int size, point3& end, point3& direction, int& number, int& status);
// From the current block on, the first movement block's end point. At the end of the list:
// "ENDPNT, A MOVEMENT BLOCK WAS NOT FOUND" and -2; another failure "ENDPT,ERRORS IN LIST" and -1.
void ENDPNT(point3& end, point3& direction, int& number, int& status);
// The end point of the previous (next) movement block, starting with the current block when
// examine_current is set; the list position is put back afterwards. No movement block: the
// current position and axis of DSP8. Status 1 when the first (last) block of the list was
// reached.
void PRVPNT(int examine_current, point3& point, point3& direction, int& number, int& status);
void NXTPOI(int examine_current, point3& point, point3& direction, int& number, int& status);
// Closes the open line, goes to the top list and back to the position saved under the marker.
void tp_list_top_mark(int marker, int& status);
// The number of the last block written at the current level: its counter minus one.
void get_prev_blkno(int& number);
