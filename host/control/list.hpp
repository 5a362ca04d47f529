// Control view of the host's tool-path list, for the runner and the tests: the list tree as the
// host stores it, the cursor, counters and markers, and a readable dump. Read-only: the module
// changes the list through the calls of host/vantu_list.hpp only.
#pragma once

#include "host/control/line_sequence.hpp"
#include "host/control/word_list.hpp"
#include "host/words.hpp"

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace vantu::control {

// One line (block) of the tool path.
struct toolpath_line {
    word_list words;
    line_sequence<toolpath_line> sublist;  // its lines, one level down
    int link_at = -1;                      // index of link word 0 of put_zero_lst's item, -1 none
    bool has_sublist = false;              // a sub-list exists (it may be empty)

    bool operator==(const toolpath_line&) const = default;
};

// A place in the tree: the line index (0-based) at each level from the top down; the last index
// may equal its list's size (the end of that level). word is the word position in that line.
struct toolpath_position {
    std::vector<int> lines;
    int word = 0;

    bool operator==(const toolpath_position&) const = default;
};

const line_sequence<toolpath_line>& toolpath_top();
// The line at a path of 0-based indices from the top down; null when the path names no line.
const toolpath_line* toolpath_line_at(const std::vector<int>& path);

// Puts the cursor on the top-level block whose block number (word 1) is `number`, at its first
// word, as the host does when the user opens that procedure; false (cursor unchanged) when the
// top list has no such block.
bool place_toolpath_cursor_at_block(int number);

int toolpath_level();  // 1 = the top list
toolpath_position toolpath_cursor();
bool toolpath_line_open();             // the current line is open for lputd
std::vector<int> toolpath_counters();  // block-number counters of levels 1..kListMaxLevels
std::map<int, toolpath_position> toolpath_markers();

// One text line per block: two blanks of indentation per level below the top, the line's dotted
// index (1-based, "2.5" is line 5 of the sub-list of line 2), a colon and its words as integers.
// A heading line gives the level, cursor and counters; the current line ends with " <".
std::string dump_toolpath();
void write_toolpath_dump(std::ostream& out);

}  // namespace vantu::control
