// Small services on the tool-path list that the editing and trimming code shares: markers set
// and returned to with the routine's list error, breaking a
// point string into single line blocks (so that a cursor or a cut can stop inside it), whether
// the list position lies inside a LAYER bracket, whether a block number follows, and the
// overwrite of a text item of the procedure block. The first three leave the list position where
// they found it (BRKSTR: on one of the new blocks).
#pragma once

#include <string_view>

// Shows "<routine>, ERRORS IN LIST", sets status -3 and answers false.
bool list_error_in(std::string_view routine, int& status);
// Notes the list position under the marker; false when the host refuses.
bool list_mark_set(int marker);
// Takes the list back to the block under the marker; on failure the routine's list error.
bool list_back_to(int marker, std::string_view routine, int& status);

// Breaks the point string at the list position (block types 7, 27, 227) into line blocks of
// types 2, 22, 222, one per point with the point's own block number, bracketed by a marker of
// code 19 before and one of code 20 after them; the string block is deleted. Mode 1 ends on the
// first new line block, mode 2 on the last. A string without points changes nothing. Status 0;
// -1 with "BRKSTR,THE CURRENT BLOCK IS NOT A STRING" or "BRKSTR, CANNOT SET A MARKER"; the
// reader's negative status with "BRKSTR, ERRORS IN LIST". Uses list markers 1, 2 and 3.
void BRKSTR(int mode, int& status);

// 1 when the list position lies inside a LAYER bracket: walking back from the current block, a
// LAYER-opening marker (code 3) comes before a LAYER-closing one (code 4); else 0. Status 0; -3
// with "CHKLYR,ERRORS IN LIST". Uses list marker 9.
int CHKLYR(int& status);

// 1 when a block with that block number is met from the current block onward, else 0. Status 0;
// -3 with "LGLKEY,ERRORS IN LIST". Uses list marker 9.
int LGLKEY(int block_number, int& status);

// Overwrites text item 29 (at most 5 words, 20 characters) or 30 (at most 3 words, 12
// characters) of segment 24 of the procedure block at `where` with the text, blank-padded to the
// item's length. Status 0; -1 with "CHTEXT, WHERE=1 IS NOT PERMITTED" for an open entity,
// "CHTEXT, INCORRECT CODES" for any other group or code, "CHTEXT, ITEM LONGER THAN ITS LIMIT" for
// an item holding more words than its limit, or when the item cannot be found or written.
void CHTEXT(int where, int group, int code, std::string_view text, int& status);
