// Copy of one tool-path block between a stored host entity and a list (conv_sub_list): the block
// is read with its reader, moved through the copy transformation when one is active, written with
// its writer and, unless the target is an entity, shown by the block display. The stored-motion
// reader, the procedure copy and the display call it block by block.
#pragma once

// Copies the block whose head was just read at WHERE from (type and size; for an entity the head
// is read here) to WHERE to. From -1 only switches the copy transformation off; from 7 writes
// nothing. An unknown block type reports "DSPBLK - UNEXPECTED BLOCK TYPE" with the type (-1); the
// old drill block (type 8) is reported and skipped.
void conv_sub_list(int from, int to, int type, int size, int& status);
