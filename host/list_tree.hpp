// Internal state of the host's tool-path list, shared by host/list_*.cpp: the tree of lines, the
// cursor as a path of frames, the open-line flag, the per-level counters and the markers, and
// the steps every list call builds on (finding the current list, moving the cursor, keeping
// markers and sub-list links in step when lines or words are inserted or deleted).
#pragma once

#include "host/control/list.hpp"
#include "host/vantu_list.hpp"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace vantu::list_internal {

using line = control::toolpath_line;
using line_list = control::line_sequence<line>;  // a gap buffer: edits near the last one are cheap

// One level of the cursor: the line index in that level's list (== size: the end of the level)
// and the word position in that line. The word positions of outer frames are kept so that
// leaving a sub-list returns to the place it was entered from.
struct frame {
    int line = 0;
    int word = 0;
    bool operator==(const frame&) const = default;
};
using path = std::vector<frame>;  // frames from the top list down; size == current level

struct list_state {
    line_list top;
    path cursor{frame{}};                            // level 1, end of an empty list
    bool line_open = false;                          // the current line takes lputd
    std::array<int, kListMaxLevels + 1> counters{};  // index 1..kListMaxLevels
    std::map<int, path> markers;
};

list_state& state();

// The list of the current level, and the current line (null at the end of the level).
line_list& current_list();
line* current_line();
// The list at depth `depth` (1 = top) along the frames of p; null when p leaves the tree.
line_list* list_along(const path& p, std::size_t depth);

int current_level();

// Puts the cursor on a new path; leaving the current line closes the open line, and every level
// left on the way refreshes its parent line's sub-list link.
void move_cursor(const path& to);
// Leaves levels until the cursor is at `level` (1 <= level <= current), refreshing links.
void leave_to_level(int level);

// Keeps markers in step with the current list: count lines inserted (positive) or deleted
// (negative) at index `at`. Deleted lines pass their markers on to the line that follows.
void shift_markers_for_lines(int at, int count);
// Keeps markers on the current line in step with count words inserted at word `at`.
void shift_markers_for_words(int at, int count);

// Rewrites the sub-list link words of the parent of the current level from that level's list
// and counter (nothing at the top or when the parent has no link).
void refresh_parent_link();
void refresh_link(line& owner, int sublist_level);

// Trace helpers: arguments as comma-separated integers.
std::string args(std::initializer_list<long long> values);

}  // namespace vantu::list_internal
