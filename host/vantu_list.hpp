// The host's tool-path list: one tree of lines (blocks) of 32-bit words. Every line may own a
// sub-list one level down; the top list is level 1 and sub-lists nest down to level 10. The host
// only stores words: block layouts belong to the module. The one exception is the sub-list link
// item that put_zero_lst appends, whose words the host owns and keeps up to date.
//
// The cursor: a current level, in it a current position (a line, or the place after the last
// line, called "the end of the level"), and a word position inside the current line. A fresh or
// loaded tool path stands at the end of the top list, so appending is the natural next act;
// entering a sub-list also lands at its end. Positions answered to callers count lines from 1.
//
// The open line: lcreat opens a new line; lputd and put_zero_lst append to it; lclos closes it.
// Moving the cursor to another line (or level) closes it as well, so words never land in a line
// the caller did not open. Reading, skipping and overwriting work on any current line.
//
// Status words: 0 (or a documented non-negative answer) on success; -1 where the cursor has no
// current line or a level ends; -2 for a refused argument; -3 where a line would grow past
// kListMaxLineWords. An injected fault answers its own status and changes nothing.
#pragma once

#include "host/words.hpp"

namespace vantu {
// Longest line, in words. A procedure block with its four segments stays well below it; a point
// string fills its line until lchkd refuses (about 1100 points of 7 words).
inline constexpr int kListMaxLineWords = 8192;
// Deepest level: the top list is level 1, and the module's sub-list stack names levels 1 to 10.
inline constexpr int kListMaxLevels = 10;
// Marker numbers run from 1 to kListMaxMarkers.
inline constexpr int kListMaxMarkers = 100;
// Words of the sub-list link that put_zero_lst appends after its three item words.
inline constexpr int kSublistLinkWords = 8;
}  // namespace vantu

// ---- moving between lines -------------------------------------------------------------------

// code 0: back to word 0 of the current line; 1: the next line; -1: the previous line (from the
// end of the level: the last line); 2: the first line of the level; 3: its last line.
// Status: the length in words of the line now current (>= 0); -1 when the move would pass the
// end of the level (or, for 0, 2 and 3, there is no line); -2 when it would pass the first line,
// for an unknown code or on failure. A refused move leaves the cursor where it was.
void lacces(int code, int& status);

// Moves n lines (negative: back), stopping at the first or the last line; from the end of the
// level a jump of 0 or more stays there. Status answers the position reached: 1 at the first
// line; the negated position (-k) at the last line or at the end of the level (k = lines + 1);
// the position k otherwise; 0 when the level has no line (the cursor stays). A jump of 0 answers
// the present position, so "new answer == old answer" means the cursor did not move.
void ljump(int n, int& status);

// Number of lines of the current level (0 for an empty level).
void llines(int& count);

// ---- lines ----------------------------------------------------------------------------------

// Opens a new empty line and makes it current (word 0) and open. mode -1: before the current
// line; 0: after the current line; 1: at the end of the level. From the end of the level (or in
// an empty level) every mode appends. Markers on lines after the new one follow their lines.
// Status 0; -2 for an unknown mode.
void lcreat(int mode, int& status);

// Closes the open line; the cursor stays on it. Status 0 (also when no line was open).
void lclos(int& status);

// Deletes count lines from the current line on, with their sub-lists. The cursor goes to the
// line that followed them (or the end of the level), word 0; so count 1 deletes the current line
// and leaves the list on the next one. count -1 deletes the current line and leaves the cursor
// on the line before it, word 0 (on the first line there is none: the cursor goes to the line
// that followed, as for 1). A marker on a deleted line, or in its sub-list, passes to the line
// that followed. Status 0; -1 with no current line; -2 when count is 0, below -1, or more lines
// than remain (nothing deleted).
void ldelet(int count, int& status);

// ---- words of the current line --------------------------------------------------------------

// Reads up to n words from the word position into values and advances past them; count_read is
// how many were read (fewer at the end of the line, 0 past it). Status 0; -1 with no current
// line; -2 for n below 0 or no buffer.
void lgetd(int n, word* values, int& count_read, int& status);

// Appends n words to the open line (whatever the word position) and leaves the word position at
// the end of the line. Status 0; -1 when the current line is not open; -2 for a bad n or buffer;
// -3 when the line would pass kListMaxLineWords (nothing written).
void lputd(int n, const word* values, int& status);

// Moves the word position n words on (back for negative n) inside the current line, stopping at
// its start or end; count_skipped is how many words it moved (short at a line end). Status 0;
// -1 with no current line.
void lskip(int n, int& count_skipped, int& status);

// Back-patch: overwrites the word `back` words before the word position with value and leaves
// the word position at the end of the line. Writers call it at the end of the line to fill a
// length word written earlier. Status 0; -1 with no current line; -2 when back is below 1 or
// reaches before word 0 (nothing changed).
void ljmpcg(int back, word value, int& status);

// Overwrites n words from the word position and advances past them. Status 0; -1 with no current
// line; -2 for a bad n or buffer or fewer than n words from the position (nothing changed).
void lchngd(int n, const word* values, int& status);

// Inserts n zero words at the word position; the position stays on the first of them. Status 0;
// -1 with no current line; -2 for n below 0; -3 when the line would pass kListMaxLineWords.
void lopclg(int n, int& status);

// answer 1 when the open line can take n more words, 0 when it cannot, when no line is open or n
// is outside 0..kListMaxLineWords. A caller that loops "while it cannot, open a new line" always
// gets room in the new line for n <= kListMaxLineWords.
void lchkd(int n, int& answer);

// Appends the sub-list link item to the open line: 1 (its item code), kSublistLinkWords + 1 (its
// count word), 2 (its value type), then kSublistLinkWords words the host owns:
//   link word 0: 1 when the line owns a sub-list, else 0
//   link word 1: the sub-list's block count (the block-number counter of its level)
//   link word 2: the number of lines of the sub-list
//   link words 3..7: 0
// The host fills the link words whenever the sub-list is created, entered, changed or left.
// Status 0; -1 when the current line is not open; -2 when the line has a link already; -3 when
// the line would pass kListMaxLineWords.
void put_zero_lst(int& status);

// ---- levels ---------------------------------------------------------------------------------

// Enters the sub-list of the current line, creating an empty one when the line has none; the
// cursor stands at the end of the sub-list. Counters are not touched. Status 0; -1 with no
// current line; -2 when the current level is kListMaxLevels.
void subls1(int& status);

// Leaves the sub-list: the parent line becomes current again, at the word position it had when
// the sub-list was entered. Status 0; -1 at the top list.
void clsls1(int& status);

// Creates a new empty sub-list under the current line and enters it (at its end); the
// block-number counter of the new level is set to 0. level is the level the new list gets and
// must be the current level + 1. Status 0; -1 with no current line; -2 for a wrong level or at
// kListMaxLevels; -3 when the line already owns a sub-list with lines (nothing lost: use subls1).
void newls1(int level, int& status);

// Goes to the top list (level 1): the top-level line that holds the current sub-lists becomes
// current. Status 0.
void ltop(int& status);

// mode 1: level := the current level (1 = top). mode 2: goes up to the given level, as clsls1
// repeated; a level deeper than the current one cannot be reached this way. Status 0; -2 for an
// unknown mode or a level outside 1..current.
void gtlstn(int mode, int& level, int& status);

// Block-number counter of a level: the number the next block written there receives. level 1 to
// kListMaxLevels, or 0 for the current level. mode 1: number := the counter; mode 2: counter :=
// number (0 or more). Counters belong to levels, not to lists: the caller sets the counter of a
// level before entering a sub-list there. Status 0; -2 for a bad mode, level or number.
void gsblkn(int mode, int level, int& number, int& status);

// ---- markers --------------------------------------------------------------------------------

// mode 1: notes the cursor (level, lines, word position) under the marker; mode 2: returns to
// it from anywhere, entering the sub-lists on its way (tp_list_top_mark: lclos, ltop, lmark 2).
// A marker follows its line when lines are inserted or deleted before it, and follows its word
// when lopclg opens words before it. When its line is deleted (or the line owning its sub-list)
// it passes to the line that followed the deleted ones, word 0, or to the end of that level.
// Markers live for the session: reset and part loading clear them.
// Status 1 on success; -1 for mode 2 on a marker never set; -2 for a bad mode or marker number.
void lmark(int mode, int marker, int& status);
