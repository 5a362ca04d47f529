// Moving in the tool-path list and reading the head of the current block: jumps, the end of the
// list, block classes, new lists and lines and deletion.
#pragma once

#include "host/words.hpp"

// Block classes (PLSUPR).
inline constexpr int kClassHeader = 0, kClassParameter = 1, kClassMotion = 2, kClassMarker = 3, kClassText = 4,
                     kClassHome = 6, kClassCycleSetting = 7, kClassProcedure = 8, kClassIllegal = -5;

void tp_list_jump(int n, int& status);
void JMPEND(int& status);
void tp_find_block_type(int type, int& status);
// Walks from the current block (direction 1 forward, otherwise back) to the first motion block,
// the current one included: true when found. A block that cannot be read leaves its status, a
// failed jump -1; the end of the list gives false.
bool tp_find_motion_block(int direction, int& status);
void tp_block_head_read(int where, int& size, int& type, int& block_class, int& status);
void PLSUPR(int type, int& block_class);
void tp_list_create(int list, int& status);
void tp_line_create(int& status);
// n 1: deletes the current block, leaving the list on the next; -1: leaving it before.
void tp_list_delete(int n, int& status);
void noop();
