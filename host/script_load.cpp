// Reading a script: the JSON text a person wrote becomes the engine's steps and rules. Every
// fault is reported with the file and its place (the line and column of a syntax error, or the
// step or rule and its key), so the writer can mend it; nothing of a faulty script is installed.
// The format is documented in host/control/script.hpp.
#include "host/control.hpp"
#include "host/core/json_read.hpp"
#include "host/core/script_engine.hpp"

#include <algorithm>
#include <cctype>
#include <limits>
#include <nlohmann/json.hpp>

namespace vantu::script {

namespace {

using nlohmann::json;

// Where a value sits in the script, for the error text: "step 3", "rule 1".
struct place {
    const std::string& file;
    std::string where;
};

[[noreturn]] void fail(const place& at, const std::string& what)
{
    throw control::part_error(at.file + ": " + at.where + ": " + what);
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool fits_int(const json& value)
{
    if (!value.is_number_integer()) return false;
    if (value.is_number_unsigned())
        return value.get<unsigned long long>() <= static_cast<unsigned long long>(std::numeric_limits<int>::max());
    const long long v = value.get<long long>();
    return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}

// A word of a small vocabulary ("yes", "cancel", ...) or one of the integers it stands for.
struct named_code {
    const char* name;
    int code;
};
bool code_of(const json& value, std::initializer_list<named_code> names, int& code)
{
    for (const named_code& n : names) {
        if ((value.is_string() && lower(value.get<std::string>()) == n.name) ||
            (fits_int(value) && value.get<int>() == n.code)) {
            code = n.code;
            return true;
        }
    }
    return false;
}

void parse_menu(const json& value, step& s, const place& at)
{
    if (value.is_string() && !value.get<std::string>().empty()) {
        s.choice = value.get<std::string>();
        return;
    }
    if (fits_int(value)) {
        s.code = value.get<int>();
        if (s.code >= 1 || s.code == kCancel || s.code == kBack) return;
    }
    fail(at, "\"menu\" must be an item number (1 or more, -1 cancel, -2 back) or the item's text");
}

void parse_question(const json& value, step& s, const place& at)
{
    if (!code_of(value, {{"yes", kYes}, {"no", kNo}, {"cancel", kCancel}, {"back", kBack}}, s.code))
        fail(at, "\"question\" must be \"yes\", \"no\", \"cancel\" or \"back\" (1, 0, -1, -2)");
}

page_entry page_entry_of(const json& value, const place& at)
{
    if (fits_int(value)) return {value.get<int>(), {}};
    if (!value.is_object() || !value.contains("line"))
        fail(at, "a page entry is a line number or an object {\"line\": n, \"value\": v}");
    page_entry entry;
    for (const auto& [key, item] : value.items()) {
        if (key == "line") {
            if (!fits_int(item)) fail(at, "\"line\" must be an integer");
            entry.line = item.get<int>();
        } else if (key == "value") {
            if (item.is_number())
                entry.value = item.get<double>();
            else if (item.is_string())
                entry.value = item.get<std::string>();
            else
                fail(at, "\"value\" must be a number or a text");
        } else {
            fail(at, "unknown key \"" + key + "\" in a page entry");
        }
    }
    return entry;
}

void parse_page(const json& value, step& s, const place& at)
{
    if (value.is_array()) {
        if (value.empty()) fail(at, "\"page\" must not be empty");
        for (const json& item : value) s.page.push_back(page_entry_of(item, at));
    } else {
        s.page.push_back(page_entry_of(value, at));
    }
    for (std::size_t i = 0; i < s.page.size(); ++i) {
        const page_entry& entry = s.page[i];
        const bool last = i + 1 == s.page.size();
        if (entry.line < -3) fail(at, "page line " + std::to_string(entry.line) + " does not exist");
        if (entry.line <= 0 && (!last || !std::holds_alternative<std::monostate>(entry.value)))
            fail(at, "page line " + std::to_string(entry.line) +
                         " (leaving or accepting the page) must come last and without a value");
    }
}

// {"block": [procedure block, block]}: both numbers 1 or more.
void parse_block_pick(const json& value, step& s, const place& at)
{
    const json* numbers = value.size() == 1 && value.contains("block") ? &value.at("block") : nullptr;
    if (!numbers || !numbers->is_array() || numbers->size() != 2 || !fits_int((*numbers)[0]) ||
        !fits_int((*numbers)[1]) || (*numbers)[0].get<int>() < 1 || (*numbers)[1].get<int>() < 1)
        fail(at, "a pick of a block is {\"block\": [procedure block, block]}, both numbers 1 or more");
    s.block = std::array<int, 2>{(*numbers)[0].get<int>(), (*numbers)[1].get<int>()};
    s.code = 0;
}

void parse_pick(const json& value, step& s, const place& at)
{
    if (fits_int(value) && value.get<int>() > 0) {
        s.code = value.get<int>();
        return;
    }
    if (value.is_object()) return parse_block_pick(value, s, at);
    if (!code_of(value, {{"exit", kCancel}, {"back", kBack}, {"menu", kPickMenu}}, s.code))
        fail(at, "\"pick\" must be an entity id (1 or more), a block {\"block\": [procedure block, block]} or "
                 "\"exit\", \"back\", \"menu\" (-1, -2, -3)");
}

void parse_point(const json& value, step& s, const place& at)
{
    if (value.is_array()) {
        if (value.size() < 2 || value.size() > 3) fail(at, "\"point\" must have two or three coordinates");
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (!value[i].is_number()) fail(at, "a coordinate of \"point\" is not a number");
            s.point[i] = value[i].get<double>();
        }
        s.code = 0;
        return;
    }
    if (!code_of(value, {{"cancel", kCancel}, {"back", kBack}}, s.code))
        fail(at, "\"point\" must be [x, y] or [x, y, z], or \"cancel\" or \"back\" (-1, -2)");
}

void parse_key(const json& value, step& s, const place& at)
{
    constexpr int kLargestKey = 65535;
    if (value.is_string()) {
        const std::string name = value.get<std::string>();
        if (lower(name) == "space")
            s.code = kSpaceKey;
        else if (lower(name) == "enter")
            s.code = 13;
        else if (lower(name) == "esc")
            s.code = 27;
        else if (name.size() == 1)
            s.code = static_cast<unsigned char>(name[0]);
        else
            fail(at, "unknown key \"" + name + "\" (SPACE, ENTER, ESC, one character or a code)");
        return;
    }
    if (fits_int(value) && value.get<int>() >= 1 && value.get<int>() <= kLargestKey) {
        s.code = value.get<int>();
        return;
    }
    fail(at, "\"key\" must be SPACE, ENTER, ESC, one character or a code from 1 to 65535");
}

void parse_text(const json& value, step& s, const place& at)
{
    if (value.is_null()) {
        s.code = kCancel;
        return;
    }
    if (!value.is_string()) fail(at, "\"text\" must be a text, or null to cancel the input");
    s.choice = value.get<std::string>();
}

struct kind_entry {
    const char* key;
    event_kind kind;
    void (*parse)(const json&, step&, const place&);
};
constexpr kind_entry kKinds[] = {
    {"menu", event_kind::menu, parse_menu},    {"question", event_kind::question, parse_question},
    {"page", event_kind::page, parse_page},    {"pick", event_kind::pick, parse_pick},
    {"point", event_kind::point, parse_point}, {"key", event_kind::key, parse_key},
    {"text", event_kind::text, parse_text},
};

const kind_entry* kind_of_key(std::string_view key)
{
    for (const kind_entry& k : kKinds)
        if (key == k.key) return &k;
    return nullptr;
}

step parse_step(const json& value, bool is_rule, int number, const std::string& file)
{
    const place at{file, (is_rule ? "rule " : "step ") + std::to_string(number)};
    if (!value.is_object()) fail(at, "a step is an object such as {\"menu\": 2}");
    step s;
    s.number = number;
    s.is_rule = is_rule;
    const kind_entry* kind = nullptr;
    const json* after = nullptr;
    for (const auto& [key, item] : value.items()) {
        if (const kind_entry* k = kind_of_key(key)) {
            if (kind) fail(at, "two answers, \"" + std::string(kind->key) + "\" and \"" + key + "\"");
            kind = k;
        } else if (key == "expect") {
            if (!item.is_string() || item.get<std::string>().empty()) fail(at, "\"expect\" must be a non-empty text");
            s.expect = item.get<std::string>();
        } else if (key == "after") {
            after = &item;
        } else if (key != "comment") {
            fail(at, "unknown key \"" + key + "\"");
        }
    }
    if (!kind) fail(at, "no answer: one of menu, question, page, pick, point, key, text");
    s.kind = kind->kind;
    kind->parse(value.at(kind->key), s, at);
    if (after) {
        if (s.kind != event_kind::key) fail(at, "\"after\" belongs to key steps only");
        if (!fits_int(*after) || after->get<int>() < 0) fail(at, "\"after\" must be a number of polls, 0 or more");
        s.after = after->get<int>();
    }
    if (is_rule && s.kind == event_kind::key) fail(at, "a key cannot be a rule (it would be pressed at every poll)");
    return s;
}

std::vector<step> parse_steps(const json& list, bool are_rules, const std::string& file)
{
    std::vector<step> steps;
    int number = 0;
    for (const json& item : list) steps.push_back(parse_step(item, are_rules, ++number, file));
    return steps;
}

// Line and column (1-based) of a byte offset, for syntax errors.
std::string line_and_column(std::string_view text, std::size_t byte)
{
    byte = std::min(byte, text.size());
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < byte; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

parsed_script parse_script(std::string_view json_text, const std::string& name)
{
    json document;
    try {
        document = json::parse(json_text);
    } catch (const json::parse_error& e) {
        // e.byte counts from 1 and points just past the character that broke the syntax.
        const std::size_t at = e.byte > 0 ? e.byte - 1 : 0;
        throw control::part_error(name + ": not valid JSON at " + line_and_column(json_text, at) + ": " + e.what());
    } catch (const json::exception& e) {
        // A number beyond the range of a double: the reader says what, the locator where.
        const std::size_t byte = json_fault_byte(json_text);
        throw control::part_error(name + ": not readable at " + line_and_column(json_text, byte > 0 ? byte - 1 : 0) +
                                  ": " + e.what());
    }
    parsed_script script;
    if (document.is_array()) {
        script.steps = parse_steps(document, false, name);
        return script;
    }
    const place top{name, "script"};
    if (!document.is_object()) fail(top, "a script is an array of steps or an object with \"steps\"");
    if (!document.contains("steps")) fail(top, "the object has no \"steps\"");
    for (const auto& [key, item] : document.items()) {
        if (key == "steps" || key == "rules") {
            if (!item.is_array()) fail(top, "\"" + key + "\" must be an array");
            (key == "steps" ? script.steps : script.rules) = parse_steps(item, key == "rules", name);
        } else if (key == "strict") {
            if (!item.is_boolean()) fail(top, "\"strict\" must be true or false");
            script.strict = item.get<bool>();
        } else if (key != "comment") {
            fail(top, "unknown key \"" + key + "\"");
        }
    }
    return script;
}

}  // namespace vantu::script
