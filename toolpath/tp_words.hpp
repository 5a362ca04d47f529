// The tool-path word layer: every block reader and writer moves its words through tpget, TPPUT
// and TPSKIP, which serve the host tool-path list, the open host entity, the procedure parameter
// line and the procedure template file by one WHERE code.
#pragma once

#include "host/words.hpp"

// WHERE codes (tp_where).
inline constexpr int kWhereEntity = 1;        // the open host entity
inline constexpr int kWhereList = 2;          // the current list block; writers take the number from the caller
inline constexpr int kWhereListNumbered = 3;  // as 2; writers number new blocks from the list's counter
inline constexpr int kWhereListWorld = 4;     // the list, read with transformation to world
inline constexpr int kWhereParamLine = 5;  // tpget/TPSKIP: the procedure parameter line; readers: the entity, to world
inline constexpr int kWhereNowhere = 7;    // nothing is read
inline constexpr int kWhereTemplateRead = 10;   // the procedure template file, reading
inline constexpr int kWhereTemplateWrite = 11;  // the procedure template file, writing

// Value types (the deftyp word of a record).
inline constexpr int kTypeInteger = 0;
inline constexpr int kTypeReal = 1;
inline constexpr int kTypeGeometry = 2;
inline constexpr int kTypeContour = 3;
inline constexpr int kTypeFlags = 7;
inline constexpr int kTypeText = 8;
inline constexpr int kTypeExpression = 10;

// Words of one expression (value type 10): value (2 words), text (21 words), value type.
inline constexpr int kExprWords = 24;
inline constexpr int kExprTextWords = 21;
inline constexpr int kExprTypeWord = 23;
// Tool paths written before this version hold plain reals where newer ones hold expressions.
inline constexpr int kFirstExpressionVersion = 830;

// Status of a read that found fewer words in the block than asked.
inline constexpr int kTpShort = -2;

// Reads n words of the value type into values. Status 0; -2 when the block holds fewer than n
// words from the position; -1 without a template file, for an unknown WHERE or a bad count;
// the list service's negative status when it fails.
void tpget(int where, int n, int type, word* values, int& status);
// Writes n words. Status 0, -1 on failure.
void TPPUT(int where, int n, int type, const word* values, int& status);
// Skips n words (negative n moves back in the list or entity). -2 when fewer could be skipped.
void TPSKIP(int where, int n, int& status);

void tpget_t3(int where, int n, word* values, int& status);
// tpget, then for type 7 every non-zero word becomes 1.
void tpget_flags(int where, int n, int type, word* values, int& status);
void tpskip_args(int where, int n, int& status);

// Moves n / 24 expressions to (WHERE 11) or from (WHERE 10) the template file; other WHERE
// codes move nothing.
void tp_expr_io(int where, int n, word* values, int& status);

// Convenience forms for single values, on top of tpget/TPPUT.
void tp_get_int(int where, int& value, int& status);
void tp_get_real(int where, float& value, int& status);
void tp_put_int(int where, int value, int& status);
void tp_put_real(int where, float value, int& status);
