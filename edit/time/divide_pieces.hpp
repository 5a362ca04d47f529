// The steps of the split by tool (divide_by_tool.hpp) and the piece table they share.
#pragma once

#include "host/words.hpp"

#include <array>
#include <string>
#include <vector>

// One piece: its tool and the percentages its feed and spin are scaled by.
struct divide_piece {
    int tool = -1;
    int feed_percent = 100;
    int spin_percent = 100;
};

// The tool set of the procedure being divided (items 62 to 64 and 125, 127, 128 of segment 24),
// its base feed and spin (items 1 and 6 of segment 23), and per piece its entry and text. Entry k
// belongs to the piece that starts at the k-th tool change; entry 0 is the first piece, which
// keeps the machine table it had.
struct divide_piece_table {
    static constexpr int kPieces = 10;
    static constexpr int kSet = 10;
    int kind = 0;
    float feed4 = 100.0f, spin4 = 100.0f;
    std::array<word, kSet> set_tools{}, set_feed{}, set_spin{};
    float base_feed = 0.0f;
    int spin = 0;
    std::array<divide_piece, kPieces> pieces{};
    std::array<std::string, kPieces> texts{};
};
divide_piece_table& divide_pieces();

// Puts the list on procedure `procedure` of the top list; false when there is none.
bool divide_goto_proc(int procedure);
// The block number of procedure `procedure` (-1 when it cannot be read).
word divide_block_number(int procedure);
// Every tool id the procedure's TOOL parameter blocks name, in list order; a failed read ends the
// list with a negative status.
std::vector<int> divide_proc_tools(int procedure, int& status);

// Clears the piece table (and the tool set read last).
void divide_parts_reset();
// Reads the tool set, base feed and spin of the procedure and loads its tool into PRM9.
void divide_read_mch(int procedure, int& status);
// The index of the tool in the set, filling the piece's entry; -1 when the tool is outside the
// set (or the set's kind is neither 4 nor 5). Kind 4 fills entry 1 and answers 0.
int divide_tool_lookup(int tool, int piece);
// Opens the procedure's sub-list and finds its second TOOL parameter block: found 1, its tool and
// marker 9 on it; found 0 when there is none. The sub-list is left open.
void next_tool_change(int procedure, int& found, int& tool, int& status);
// Procedure p keeps what lies before its first tool change; its copy p + 1 loses every motion and
// FEED, SPIN and TOOL parameter before its first tool change.
void split_at_tool_change(int procedure, int& status);
// The texts "k of n " and the procedure text, cut to 20 characters, for pieces 1 to last + 1.
void divide_texts(int last_piece, int first);
// Writes the piece's machine table and tool set (pieces after the first), state 2 and text.
void divide_set_proc(int procedure, int piece, int& status);
// The running numbers (item 121) of the later procedures with the first piece's group key (item
// 120) that are neither suspended nor skipped follow on from the first piece's, in the current
// tool path and in the part's tool paths after it; the current tool path's tables are loaded again
// on every way out.
void divide_renumber(int first);
