// The choice of a target procedure in the tool path (a procedure number, or the procedure count
// + 1 for the end of the tool path) from a paged list of the procedures or by picking one of
// their blocks on the display, for the insertion of post-processor messages; with the routines
// of its list page (proc_list_page, PCKPGT) and the attention marks of the chosen procedure.
#pragma once

#include <array>
#include <string>

inline constexpr int kTargetPageRows = 20;
inline constexpr int kAttentionBlocks = 50;

// The procedures before which the target lies: with none in the tool path the answer is 1
// (status 0). A start procedure above 0 shows the paged list from it, otherwise the pick mode
// opens ("SELECT FROM LIST" switches to the list). CONTINUE (or ESC in the pick mode) ends with
// status 0 and the chosen procedure; CANCEL with -1.
void target_proc_select(int& chosen, int& start, int& status);

// The procedure of a pick: answer 0 is a display pick of a key block (procedure and, for a block
// deeper than the procedure block, its block number); a list pick maps the line to first +
// (answer - first_row) / row_height, within 1 to the procedure count + 1. Status 0; -1 after
// "PCKPGT, ILLEGAL KEY BLOCK", for a row height of 0 or less, or a row outside the list.
void PCKPGT(int answer, int row_height, int first, int first_row, int& procedure, int& block, int& status);

// Marks (mark 1) the blocks of the procedure in the attention colour, range answering its first
// block and count, or gives the marked range back its colour (mark 0; range cleared).
void target_range_mark(int mark, int procedure, std::array<int, 2>& range);

// The text of one row: the status text, "=" ("~" for a procedure changed by hand) and its number,
// with the tool column "-- TOOL" (C changed, U suspended or to update) " = " and the tool name.
std::string proc_list_row(int procedure, int tool_column);
// Places the rows of procedures first to last as lines of the page; rows beyond the procedure
// count `marks` are blank.
void proc_list_page(int first, int last, int marks, int tool_column);
