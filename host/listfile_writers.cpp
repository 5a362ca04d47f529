// The shaped line writers of the listing files (host/vantu_listfile.hpp): each composes its items
// and hands them to fltxtc, the one routine that appends a line to a unit.
#include "host/vantu_listfile_lines.hpp"

#include "host/core/trace.hpp"

#include <algorithm>
#include <vector>

namespace {

fl_item text_item(std::string_view text, int blanks = 0)
{
    fl_item item;
    item.code = 'X';
    item.count = blanks;
    item.text = std::string(text);
    return item;
}

fl_item int_item(int value)
{
    fl_item item;
    item.code = 'I';
    item.value = value;
    return item;
}

}  // namespace

void fltx2c(int unit, std::string_view buffer, std::string_view text, int value, std::string_view trailing, int& line)
{
    const std::vector<fl_item> items{text_item(buffer), text_item(text), int_item(value), text_item(trailing)};
    fltxtc(unit, items, line);
    vantu::trace_count("fltx2c");
}

void fltx1c(int unit, std::string_view text, int value, std::string_view trailing, int& line)
{
    fltx2c(unit, {}, text, value, trailing, line);
}

void filtx8(int unit, int column, std::string_view label, std::string_view text, int& line)
{
    const std::vector<fl_item> items{text_item(label, column), text_item(text)};
    fltxtc(unit, items, line);
    vantu::trace_count("filtx8");
}

void fltx7c(int unit, int column, std::string_view text, int& line) { filtx8(unit, column, text, {}, line); }

void fltx8c(int unit, int first_column, std::string_view first, int second_column, std::string_view second, int& line)
{
    const int first_end = std::max(first_column, 0) + static_cast<int>(first.size());
    const std::vector<fl_item> items{text_item(first, first_column),
                                     text_item(second, std::max(second_column - first_end, 1))};
    fltxtc(unit, items, line);
    vantu::trace_count("fltx8c");
}

void stfill(std::string& text, char fill, int from, int length)
{
    const std::size_t end = static_cast<std::size_t>(std::max(length, 0));
    const std::size_t start = std::min(static_cast<std::size_t>(std::max(from, 0)), end);
    text.resize(end, fill);
    std::fill(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), fill);
}
