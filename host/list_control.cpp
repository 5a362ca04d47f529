// Control views of the tool-path list for the runner and the tests: the tree, the cursor,
// counters and markers as they stand, and the readable dump of the whole tool path.
#include "host/control/list.hpp"

#include "host/list_tree.hpp"

#include <sstream>

using namespace vantu::list_internal;

namespace vantu::control {

namespace {

toolpath_position to_position(const path& p)
{
    toolpath_position out;
    for (const frame& f : p) out.lines.push_back(f.line);
    out.word = p.empty() ? 0 : p.back().word;
    return out;
}

// "2.5", or "2.end" when the position is the end of its level.
std::string dotted(const path& p)
{
    std::string text;
    for (std::size_t d = 0; d < p.size(); ++d) {
        const line_list* list = list_along(p, d + 1);
        bool at_end = list && p[d].line >= static_cast<int>(list->size());
        if (!text.empty()) text += ".";
        text += at_end ? std::string("end") : std::to_string(p[d].line + 1);
    }
    return text;
}

void dump_lines(std::ostream& out, const line_list& lines, const std::string& prefix, int depth,
                const std::string& current)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const line& l = lines[i];
        std::string index = prefix + std::to_string(i + 1);
        out << std::string(static_cast<std::size_t>(2 * depth), ' ') << index << ":";
        for (word w : l.words) out << ' ' << w;
        if (l.has_sublist) out << "  [sub-list " << l.sublist.size() << " lines]";
        if (index == current) out << " <";
        out << '\n';
        if (l.has_sublist) dump_lines(out, l.sublist, index + ".", depth + 1, current);
    }
}

}  // namespace

const line_sequence<toolpath_line>& toolpath_top() { return state().top; }

bool place_toolpath_cursor_at_block(int number)
{
    const line_list& top = state().top;
    constexpr std::size_t kBlockNumberWord = 1;
    for (std::size_t i = 0; i < top.size(); ++i) {
        if (top[i].words.size() <= kBlockNumberWord || top[i].words[kBlockNumberWord] != number) continue;
        move_cursor(path{frame{static_cast<int>(i), 0}});
        return true;
    }
    return false;
}

const toolpath_line* toolpath_line_at(const std::vector<int>& lines)
{
    if (lines.empty()) return nullptr;
    path p;
    for (int index : lines) p.push_back(frame{index, 0});
    const line_list* list = list_along(p, p.size());
    if (!list || lines.back() < 0 || lines.back() >= static_cast<int>(list->size())) return nullptr;
    return &(*list)[static_cast<std::size_t>(lines.back())];
}

int toolpath_level() { return current_level(); }
toolpath_position toolpath_cursor() { return to_position(state().cursor); }
bool toolpath_line_open() { return state().line_open; }

std::vector<int> toolpath_counters()
{
    const auto& counters = state().counters;
    return std::vector<int>(counters.begin() + 1, counters.end());
}

std::map<int, toolpath_position> toolpath_markers()
{
    std::map<int, toolpath_position> out;
    for (const auto& [number, marker] : state().markers) out[number] = to_position(marker);
    return out;
}

void write_toolpath_dump(std::ostream& out)
{
    const list_state& s = state();
    out << "tool path: level " << s.cursor.size() << ", cursor " << dotted(s.cursor) << " word " << s.cursor.back().word
        << (s.line_open ? " (open)" : "") << ", counters";
    for (int level = 1; level <= kListMaxLevels; ++level) out << ' ' << s.counters[static_cast<std::size_t>(level)];
    for (const auto& [number, marker] : s.markers) out << ", marker " << number << " at " << dotted(marker);
    out << '\n';
    dump_lines(out, s.top, "", 0, dotted(s.cursor));
}

std::string dump_toolpath()
{
    std::ostringstream out;
    write_toolpath_dump(out);
    return std::move(out).str();
}

}  // namespace vantu::control
