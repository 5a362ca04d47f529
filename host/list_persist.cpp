// The tool-path list as a host component: reset, the part file's "toolpath" section and the
// end-of-run report. The section holds the whole tree and the block-number counters:
//   {"counters": [c1, ..., c10],
//    "lines": [{"words": [12, 0, 50, ...], "link": 620, "sublist": [{"words": [...]}, ...]}, ...]}
// "link" (the index of link word 0 of put_zero_lst's item) and "sublist" appear only where the
// line has them; an empty "sublist" is a sub-list without lines. A loaded tool path stands at the
// end of its top list with no line open and no markers.
#include "host/core/component.hpp"
#include "host/list_tree.hpp"

#include <limits>
#include <nlohmann/json.hpp>
#include <ostream>
#include <stdexcept>

using nlohmann::json;
using vantu::kListMaxLevels;
using vantu::kListMaxLineWords;
using vantu::kSublistLinkWords;
using namespace vantu::list_internal;

namespace {

// ---- saving ---------------------------------------------------------------------------------
// The section is written line by line in the part file's JSON layout (keys in order, one blank of
// indent a level): a long tool path is never held a second time as a JSON tree or text.

std::string indent(int depth) { return std::string(static_cast<std::size_t>(depth), ' '); }

// An array of integers whose value stands at nesting depth `depth`.
template <typename Integers> void write_integers(std::ostream& out, const Integers& values, int depth)
{
    if (values.empty()) {
        out << "[]";
        return;
    }
    const std::string inner = indent(depth + 1);
    const char* separator = "[\n";
    for (const auto value : values) {
        out << separator << inner << value;
        separator = ",\n";
    }
    out << '\n' << indent(depth) << ']';
}

void write_lines(std::ostream& out, const line_list& lines, int depth)
{
    if (lines.empty()) {
        out << "[]";
        return;
    }
    const std::string item = indent(depth + 1), member = indent(depth + 2);
    const char* separator = "[\n";
    for (const line& l : lines) {
        out << separator << item << "{\n";
        separator = ",\n";
        if (l.link_at >= 0) out << member << "\"link\": " << l.link_at << ",\n";
        if (l.has_sublist) {
            out << member << "\"sublist\": ";
            write_lines(out, l.sublist, depth + 2);
            out << ",\n";
        }
        out << member << "\"words\": ";
        write_integers(out, l.words, depth + 2);
        out << '\n' << item << '}';
    }
    out << '\n' << indent(depth) << ']';
}

void write_toolpath(std::ostream& out, int depth)
{
    const list_state& s = state();
    const std::string member = indent(depth + 1);
    out << "{\n" << member << "\"counters\": ";
    write_integers(out, std::vector<int>(s.counters.begin() + 1, s.counters.end()), depth + 1);
    out << ",\n" << member << "\"lines\": ";
    write_lines(out, s.top, depth + 1);
    out << '\n' << indent(depth) << '}';
}

// ---- loading --------------------------------------------------------------------------------

[[noreturn]] void refuse(const std::string& place, const std::string& what)
{
    throw std::invalid_argument(place + ": " + what);
}

std::vector<word> load_words(const json& words, const std::string& place)
{
    if (!words.is_array()) refuse(place, "words must be an array");
    if (words.size() > static_cast<std::size_t>(kListMaxLineWords))
        refuse(place, "more than " + std::to_string(kListMaxLineWords) + " words");
    std::vector<word> out;
    out.reserve(words.size());
    for (const json& w : words) {
        if (!w.is_number_integer()) refuse(place, "words must be integers");
        auto value = w.get<long long>();
        if (value < std::numeric_limits<word>::min() || value > std::numeric_limits<word>::max())
            refuse(place, "word " + std::to_string(out.size() + 1) + " is not a 32-bit integer");
        out.push_back(static_cast<word>(value));
    }
    return out;
}

int load_link(const json& link, std::size_t word_count, const std::string& place)
{
    if (!link.is_number_integer()) refuse(place, "link must be an integer");
    auto at = link.get<long long>();
    if (at < 0 || at + kSublistLinkWords > static_cast<long long>(word_count))
        refuse(place, "link must leave " + std::to_string(kSublistLinkWords) + " link words inside the line");
    return static_cast<int>(at);
}

line_list load_lines(const json& lines, int level, const std::string& owner);

line load_line(const json& item, int level, const std::string& place)
{
    if (!item.is_object()) refuse(place, "a line must be an object");
    line out;
    for (const auto& [key, value] : item.items()) {
        if (key == "words" || key == "link") continue;
        if (key != "sublist") refuse(place, "unknown key \"" + key + "\"");
        if (level >= kListMaxLevels)
            refuse(place, "sub-lists nest deeper than " + std::to_string(kListMaxLevels) + " levels");
        out.has_sublist = true;
        out.sublist = load_lines(value, level + 1, "sub-list of " + place);
    }
    if (!item.contains("words")) refuse(place, "words are missing");
    out.words = load_words(item["words"], place);
    if (item.contains("link")) out.link_at = load_link(item["link"], out.words.size(), place);
    return out;
}

// owner: "" for the top list, else "sub-list of line 2" and so on.
line_list load_lines(const json& lines, int level, const std::string& owner)
{
    if (!lines.is_array()) refuse(owner.empty() ? "top list" : owner, "lines must be an array");
    line_list out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string place = "line " + std::to_string(i + 1) + (owner.empty() ? "" : " of " + owner);
        out.push_back(load_line(lines[i], level, place));
    }
    return out;
}

std::array<int, kListMaxLevels + 1> load_counters(const json& counters)
{
    if (!counters.is_array() || counters.size() > static_cast<std::size_t>(kListMaxLevels))
        refuse("counters", "must be an array of at most " + std::to_string(kListMaxLevels) + " integers");
    std::array<int, kListMaxLevels + 1> out{};
    for (std::size_t i = 0; i < counters.size(); ++i) {
        const json& c = counters[i];
        if (!c.is_number_integer() || c.get<long long>() < 0 || c.get<long long>() > std::numeric_limits<int>::max())
            refuse("counters", "the counter of level " + std::to_string(i + 1) + " must be a non-negative integer");
        out[i + 1] = c.get<int>();
    }
    return out;
}

void reset_toolpath() { state() = list_state{}; }

void load_toolpath(const json& section)
{
    if (!section.is_object()) throw std::invalid_argument("the tool path must be an object");
    for (const auto& [key, value] : section.items())
        if (key != "counters" && key != "lines") throw std::invalid_argument("unknown key \"" + key + "\"");
    // Build everything first so that a refused section leaves the host as it was.
    list_state loaded;
    if (section.contains("counters")) loaded.counters = load_counters(section["counters"]);
    if (section.contains("lines")) loaded.top = load_lines(section["lines"], 1, "");
    loaded.cursor = path{frame{static_cast<int>(loaded.top.size()), 0}};
    state() = std::move(loaded);
}

void report_toolpath(std::vector<std::string>& lines)
{
    const list_state& s = state();
    if (!s.line_open) return;
    std::string where;
    for (const frame& f : s.cursor) where += (where.empty() ? "" : ".") + std::to_string(f.line + 1);
    lines.push_back("tool path: line " + where + " left open");
}

const bool list_persist_registered =
    vantu::register_component({"toolpath", reset_toolpath, nullptr, load_toolpath, report_toolpath}) &&
    vantu::register_section_writer({"toolpath", write_toolpath});

}  // namespace
