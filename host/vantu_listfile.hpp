// The text files of the listings, written line by line on output units: a file is opened on a
// unit, lines are appended with filtxt (a ready line) or fltxtc (a line made of items), and the
// file is written into the output folder when the unit is closed. Every writer counts the lines
// in the caller's line counter.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

// Opens `name` (a file name without folder, at most 255 characters) on the unit for writing
// (mode 2). Status 0; -1 for another mode, a bad name or a unit already open.
void aopen(int unit, std::string_view name, int mode, int& status);
// Writes the unit's file into the output folder and closes the unit. Status 0; -1 when the unit
// is not open or the file cannot be written.
void aclose(int unit, int& status);

// Appends one line: the first n characters of text (all of it for n below 0). A unit that is not
// open takes nothing (one line on the host's error channel).
void filtxt(int unit, std::string_view text, int n, int& line);

// One item of a line: 'B' count blanks; 'T' the text; 'X' count blanks then the text; 'I' the
// integer in as many digits as it takes; 'R' a plain real and 'U' a length (the caller has
// already divided it by the unit factor), both with four decimals and no padding ("-2.5000");
// 'C' a date and time (day, month, year, hour, minute, second) as "DD.MM.YYYY HH:MM:SS".
struct fl_item {
    char code = 'T';
    int count = 0;
    std::string text;
    int value = 0;
    float real = 0.0f;
    std::array<int, 6> date{};
};
// Appends one line made of the items, in order.
void fltxtc(int unit, std::span<const fl_item> items, int& line);
