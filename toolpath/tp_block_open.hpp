// Opening, closing and numbering of a block: every block writer calls BLKOPN, writes its words
// and calls BLKCLS; writers called with WHERE 3 number their block with get_curr_blkno.
#pragma once

void BLKOPN(int where, int type, int size, int& status);
void BLKCLS(int where);
// The block-number counter of the current list level, which then moves on by one.
void get_curr_blkno(int& number);
