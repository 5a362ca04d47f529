// The tool-path list's state and the steps under every list call: walking the cursor's path to
// the current list, moving the cursor (which closes the open line and refreshes sub-list links
// of the levels it leaves), and keeping markers in step with inserted and deleted lines or words.
#include "host/list_tree.hpp"

namespace vantu::list_internal {

list_state& state()
{
    static list_state s;
    return s;
}

line_list* list_along(const path& p, std::size_t depth)
{
    line_list* list = &state().top;
    for (std::size_t d = 1; d < depth; ++d) {
        if (d > p.size()) return nullptr;
        int index = p[d - 1].line;
        if (index < 0 || index >= static_cast<int>(list->size())) return nullptr;
        line& owner = (*list)[static_cast<std::size_t>(index)];
        if (!owner.has_sublist) return nullptr;
        list = &owner.sublist;
    }
    return list;
}

int current_level() { return static_cast<int>(state().cursor.size()); }

line_list& current_list()
{
    // The cursor always names an existing list: every call that changes the tree moves it.
    line_list* list = list_along(state().cursor, state().cursor.size());
    return list ? *list : state().top;
}

line* current_line()
{
    line_list& list = current_list();
    int index = state().cursor.back().line;
    if (index < 0 || index >= static_cast<int>(list.size())) return nullptr;
    return &list[static_cast<std::size_t>(index)];
}

void refresh_link(line& owner, int sublist_level)
{
    if (owner.link_at < 0) return;
    auto at = static_cast<std::size_t>(owner.link_at);
    if (at + kSublistLinkWords > owner.words.size()) return;
    int counter = sublist_level >= 1 && sublist_level <= kListMaxLevels ? state().counters[sublist_level] : 0;
    owner.words[at] = owner.has_sublist ? 1 : 0;
    owner.words[at + 1] = counter;
    owner.words[at + 2] = static_cast<word>(owner.sublist.size());
}

// Refreshes the link of the line that owns the list at depth `level` along path p.
static void refresh_owner_along(const path& p, int level)
{
    if (level < 2) return;
    line_list* parent = list_along(p, static_cast<std::size_t>(level - 1));
    if (!parent) return;
    int index = p[static_cast<std::size_t>(level - 2)].line;
    if (index < 0 || index >= static_cast<int>(parent->size())) return;
    refresh_link((*parent)[static_cast<std::size_t>(index)], level);
}

void refresh_parent_link() { refresh_owner_along(state().cursor, current_level()); }

// Two paths share the list at depth d when their lines agree on every level above it.
static bool same_list(const path& a, const path& b, std::size_t depth)
{
    if (a.size() < depth || b.size() < depth) return false;
    for (std::size_t d = 0; d + 1 < depth; ++d)
        if (a[d].line != b[d].line) return false;
    return true;
}

static bool same_line(const path& a, const path& b)
{
    return a.size() == b.size() && same_list(a, b, a.size()) && a.back().line == b.back().line;
}

void move_cursor(const path& to)
{
    list_state& s = state();
    if (!same_line(s.cursor, to)) s.line_open = false;
    for (std::size_t level = s.cursor.size(); level >= 2; --level)
        if (!same_list(s.cursor, to, level)) refresh_owner_along(s.cursor, static_cast<int>(level));
    s.cursor = to;
}

void leave_to_level(int level)
{
    path to = state().cursor;
    if (level < 1 || level > static_cast<int>(to.size())) return;
    to.resize(static_cast<std::size_t>(level));
    move_cursor(to);
}

void shift_markers_for_lines(int at, int count)
{
    list_state& s = state();
    const std::size_t depth = s.cursor.size();
    for (auto& [number, marker] : s.markers) {
        if (!same_list(marker, s.cursor, depth)) continue;
        frame& f = marker[depth - 1];
        if (count > 0) {
            if (f.line >= at) f.line += count;
            continue;
        }
        int removed = -count;
        if (f.line >= at + removed) {
            f.line -= removed;
        } else if (f.line >= at) {
            // Its line is gone: the marker passes to the line that followed the deleted ones.
            f.line = at;
            f.word = 0;
            marker.resize(depth);
        }
    }
}

void shift_markers_for_words(int at, int count)
{
    list_state& s = state();
    for (auto& [number, marker] : s.markers)
        if (same_line(marker, s.cursor) && marker.back().word >= at) marker.back().word += count;
}

std::string args(std::initializer_list<long long> values)
{
    std::string text;
    for (long long v : values) {
        if (!text.empty()) text += ", ";
        text += std::to_string(v);
    }
    return text;
}

}  // namespace vantu::list_internal
