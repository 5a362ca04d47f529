// The text area of the main window: single lines of text drawn at a column and row, blanked
// again, and a line of text typed by the user at a place in it. The post-processor message
// dialogs show and read their texts here. Columns and rows count from 1.
#pragma once

#include <string>
#include <string_view>

// Draws the text at (column, row).
void drtext(std::string_view text, int column, int row);
// Draws the first `length` characters of the text after the block number `number` at (column,
// row): "<number> <text>".
void dsptx7(std::string_view text, int length, int number, int column, int row);
// Blanks `width` columns from (column, row).
void dblnkr(int column, int row, int width);
// Reads a line typed at (column, row), at most `capacity` characters: count receives the
// characters read (0 for an empty line), -1 when the input was cancelled (text untouched).
// Answered by the script as a text event of call "rtextr".
void rtextr(int column, int row, int capacity, std::string& text, int& count);
