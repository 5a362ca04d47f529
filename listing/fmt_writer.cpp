// The formatted writer: the format is parsed into a tree of items, then the items are
// applied to the values in order, with repeat counts and the restart when values remain.
#include "listing/fmt_writer.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr int kFailed = -1;
// Bounds that keep a malformed or hostile format from running away.
constexpr int kMostRepeat = 1000;
constexpr int kMostWidth = 1000;
constexpr std::size_t kMostLines = 10000;

struct item {
    char kind = 0;  // 'x' blanks, 't' text, 'i', 'f', 'a', '/' new line, 'g' group, 'p' tab to column width
    int repeat = 1;
    int width = 0;  // 0 with 'a': the whole text
    int decimals = 0;
    std::string text;
    std::vector<item> group;
};

struct parser {
    std::string_view s;
    std::size_t at = 0;

    void blanks()
    {
        while (at < s.size() && s[at] == ' ') ++at;
    }
    bool peek(char c)
    {
        blanks();
        return at < s.size() && s[at] == c;
    }
    std::optional<int> number()
    {
        blanks();
        if (at >= s.size() || !std::isdigit(static_cast<unsigned char>(s[at]))) return std::nullopt;
        int n = 0;
        while (at < s.size() && std::isdigit(static_cast<unsigned char>(s[at])) && n <= kMostWidth)
            n = n * 10 + (s[at++] - '0');
        return n;
    }
    bool text(std::string& out)
    {
        ++at;  // the opening quote
        for (; at < s.size(); ++at) {
            if (s[at] != '\'') {
                out += s[at];
                continue;
            }
            if (at + 1 < s.size() && s[at + 1] == '\'') {
                out += '\'';
                ++at;
                continue;
            }
            ++at;
            return true;
        }
        return false;
    }
    // Items up to the closing parenthesis of the group, which is consumed.
    bool group(std::vector<item>& items, int depth)
    {
        if (depth > kMostRepeat) return false;
        for (;;) {
            blanks();
            if (at >= s.size()) return false;
            if (s[at] == ')') {
                ++at;
                return true;
            }
            if (s[at] == ',') {
                ++at;
                continue;
            }
            if (s[at] == '/') {
                ++at;
                item slash;
                slash.kind = '/';
                items.push_back(std::move(slash));
                continue;
            }
            item it;
            const std::optional<int> count = number();
            if (count && (*count < 1 || *count > kMostRepeat)) return false;
            blanks();
            if (at >= s.size()) return false;
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[at])));
            if (c == 'x') {
                ++at;
                it.kind = 'x';
                it.width = count.value_or(1);
            } else if (c == '\'') {
                if (count || !text(it.text)) return false;
                it.kind = 't';
            } else if (c == 't' && !count) {
                ++at;
                const std::optional<int> column = number();
                if (!column || *column < 1) return false;
                it.kind = 'p';
                it.width = *column;
            } else if (c == '(') {
                ++at;
                it.kind = 'g';
                it.repeat = count.value_or(1);
                if (!group(it.group, depth + 1)) return false;
            } else if (c == 'i' || c == 'a' || c == 'f') {
                ++at;
                it.kind = c;
                it.repeat = count.value_or(1);
                const std::optional<int> width = number();
                if (c != 'a' && (!width || *width < 1)) return false;
                it.width = width.value_or(0);
                if (c == 'f') {
                    if (!peek('.')) return false;
                    ++at;
                    const std::optional<int> decimals = number();
                    if (!decimals || *decimals >= it.width) return false;
                    it.decimals = *decimals;
                }
            } else {
                return false;
            }
            items.push_back(std::move(it));
        }
    }
};

std::string stars(int width) { return std::string(static_cast<std::size_t>(width), '*'); }

double as_number(const fmt_value& v, bool& ok)
{
    ok = !std::holds_alternative<std::string>(v);
    if (const int* i = std::get_if<int>(&v)) return *i;
    if (const double* d = std::get_if<double>(&v)) return *d;
    return 0.0;
}

std::string right(const std::string& text, int width)
{
    if (static_cast<int>(text.size()) > width) return stars(width);
    return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

std::string integer_field(const fmt_value& v, int width)
{
    bool ok = false;
    const double value = as_number(v, ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 2147483647.0) return stars(width);
    return right(std::to_string(static_cast<long long>(value)), width);
}

std::string fixed_field(const fmt_value& v, int width, int decimals)
{
    bool ok = false;
    const double value = as_number(v, ok);
    if (!ok || !std::isfinite(value)) return stars(width);
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return right(text, width);
}

std::string text_field(const fmt_value& v, int width)
{
    std::string text;
    if (const std::string* t = std::get_if<std::string>(&v))
        text = *t;
    else
        text = std::get_if<int>(&v) ? std::to_string(std::get<int>(v)) : std::to_string(std::get<double>(v));
    if (width == 0) return text;
    const auto w = static_cast<std::size_t>(width);
    // As FORMAT does: a longer text gives its first characters, a shorter one is right-aligned.
    if (text.size() >= w) return text.substr(0, w);
    return std::string(w - text.size(), ' ') + text;
}

struct writer {
    std::span<const fmt_value> values;
    std::size_t next = 0;
    std::vector<std::string> lines{std::string()};
    std::size_t column = 0;  // where the next field goes on the last line (Tc moves it)

    // Writes the text at the column, over what a tab back left there.
    void put(const std::string& text)
    {
        std::string& line = lines.back();
        if (line.size() < column) line.resize(column, ' ');
        line.replace(column, std::min(text.size(), line.size() - column), text);
        column += text.size();
    }

    // Applies the items; false once a data descriptor finds no value left.
    bool run(const std::vector<item>& items)
    {
        for (const item& it : items) {
            for (int r = 0; r < it.repeat; ++r) {
                if (!apply(it)) return false;
            }
        }
        return true;
    }
    bool apply(const item& it)
    {
        switch (it.kind) {
        case 'x': put(std::string(static_cast<std::size_t>(it.width), ' ')); return true;
        case 't': put(it.text); return true;
        case 'p': column = static_cast<std::size_t>(it.width - 1); return true;
        case '/': return new_line();
        case 'g': return run(it.group);
        default: break;
        }
        if (next >= values.size()) return false;
        const fmt_value& v = values[next++];
        if (it.kind == 'i')
            put(integer_field(v, it.width));
        else if (it.kind == 'f')
            put(fixed_field(v, it.width, it.decimals));
        else
            put(text_field(v, it.width));
        return true;
    }
    bool new_line()
    {
        if (lines.size() >= kMostLines) return false;
        lines.emplace_back();
        column = 0;
        return true;
    }
};

bool has_data(const std::vector<item>& items)
{
    for (const item& it : items)
        if (it.kind == 'i' || it.kind == 'f' || it.kind == 'a' || (it.kind == 'g' && has_data(it.group))) return true;
    return false;
}

}  // namespace

std::vector<std::string> fmt_lines(std::string_view format, std::span<const fmt_value> values, int& status)
{
    parser p{format};
    std::vector<item> items;
    status = kFailed;
    if (!p.peek('(')) return {};
    ++p.at;
    if (!p.group(items, 0)) return {};
    p.blanks();
    if (p.at != format.size()) return {};
    status = 0;
    writer w{values};
    while (w.run(items) && w.next < values.size() && has_data(items) && w.new_line()) {}
    return w.lines;
}

std::string fmt_line(std::string_view format, std::span<const fmt_value> values)
{
    int status = 0;
    std::vector<std::string> lines = fmt_lines(format, values, status);
    return lines.empty() ? std::string() : lines.front();
}
