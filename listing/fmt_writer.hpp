// The formatted writer of the listings: values written through a FORMAT record such as
// "(1x,'TOTAL PROCEDURE BLOCKS =',i5)". Edit descriptors: nX blanks, quoted text ('' stands for
// one quote), iN integers, fW.D fixed reals, aN and a texts, / a new line (a comma after it is
// optional), Tc the next field at column c (later fields overwrite), and repeat counts before a
// descriptor or a parenthesised group. Numbers are right-aligned in their fields. A number too
// wide for its field fills the field with "*". When the values outlast the format it starts
// again on a new line; it stops at the first data descriptor left without a value.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

using fmt_value = std::variant<int, double, std::string>;

// The lines the values make. Status 0; -1 (no lines) for a format that cannot be read.
std::vector<std::string> fmt_lines(std::string_view format, std::span<const fmt_value> values, int& status);
// The same for one line: the first line, or empty text for a bad format.
std::string fmt_line(std::string_view format, std::span<const fmt_value> values);
