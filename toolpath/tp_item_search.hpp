// Items of a procedure block: the search by group and code (PLFIND and its forms), reading and
// overwriting an item (TPGETN, TPGETC, TPCHNN, TPCHNG), the procedure's two texts (GTTEXT) and
// the insertion of a new record into segment 24.
#pragma once

#include "host/words.hpp"

#include <string>

// Item groups: segment codes, the block's top level, and the block's own head words.
inline constexpr int kGroupTopLevel = 26;
inline constexpr int kGroupHead = 32;
inline constexpr int kHeadBlockNumber = 33, kHeadProcType = 34;
inline constexpr int kTextCode = 29, kTableNameCode = 30;
inline constexpr int kTextChars = 20, kTableNameChars = 12;

// Positions the list just after the code word of item (group, code) of the current block.
void PLFIND(int group, int code, int& status);
void plfind_quiet(int group, int code, int& status);
// The same search, from the block's start when first_call is 1, else from the current position;
// position counts the words from the block's start (first call) or from where it began.
void PLFNDG(int where, int first_call, int group, int code, int& position, int& status);
void plfndg_at_current(int group, int code, int& position, int& status);

// Reads item (group, code): count returns its n, type its deftyp and values its n values. A
// caller's field of capacity words never receives more: a longer item is refused (-1).
void TPGETN(int where, int group, int code, int& count, int& type, word* values, int capacity, int& status);
void TPGETC(int where, int group, int code, int& count, int& type, word* values, int capacity, int& status);
// Overwrites the n values of item (group, code) in place; values must hold the item's n words
// (capacity), else the change is refused.
void TPCHNN(int where, int group, int code, int type, const word* values, int capacity, int& status);
// Overwrites n words at the current list position.
void TPCHNG(int n, int type, const word* values, int& status);

// Fills the caller's text field of length characters with blanks and copies text 29 (at most 20
// characters) or 30 (at most 12) of segment 24 into it, never more than length characters.
void GTTEXT(int where, int procedure, int group, int code, int length, int& count, char* text, int& status);
void gttext_c(int where, int procedure, int group, int code, std::string& text, int& status);

// Inserts a new record (new_code, n values of deftyp) into segment 24 of the procedure block at
// the current position, in front of the item search_code found from the current position.
void tp_record_insert(int group, int search_code, int new_code, int deftyp, int n, const word* values, int& status);
