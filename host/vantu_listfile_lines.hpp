// The shaped line writers of the listing files, each built on fltxtc (host/vantu_listfile.hpp):
// a text with an integer, a line buffer followed by such a text, a text at a column, two texts at
// two columns, a label followed by a text; and stfill, which fills a text with a character. Like
// every writer they count the line in the caller's line counter; a unit that is not open takes
// nothing.
#pragma once

#include "host/vantu_listfile.hpp"

#include <string>
#include <string_view>

// A column is the number of characters before the text (column 11: after 11 blanks).
// The text, the integer (item 'I') and the trailing text.
void fltx1c(int unit, std::string_view text, int value, std::string_view trailing, int& line);
// The line buffer as it stands, then the text, the integer and the trailing text.
void fltx2c(int unit, std::string_view buffer, std::string_view text, int value, std::string_view trailing, int& line);
// The text at the column.
void fltx7c(int unit, int column, std::string_view text, int& line);
// The first text at the first column and the second at the second; when the first text reaches
// the second column, one blank keeps the two apart.
void fltx8c(int unit, int first_column, std::string_view first, int second_column, std::string_view second, int& line);
// The label at the column, the text right after it.
void filtx8(int unit, int column, std::string_view label, std::string_view text, int& line);
// The text becomes `length` characters long, those from `from` on (0-based) set to `fill`:
// stfill(t, '-', 0, 59) makes a rule of 59 hyphens, stfill(t, ' ', n, 22) blank-fills a field
// after its first n characters. A negative `from` counts as 0; a `length` below `from` cuts the
// text there.
void stfill(std::string& text, char fill, int from, int length);
