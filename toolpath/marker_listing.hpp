// The marker lines of the tool-path listing: each marker block (type 99) is printed as "OPEN " or
// "CLOSE", the name of its marker pair and its extra word, in the listing's three 24-character
// columns. The block printer of the listing calls PRBT99 for every marker block.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <string>

// The name of the marker pair of a code (1 to 66); false for any other code.
bool marker_name(int code, std::string& name);

// The listing line of a marker block: "|", three columns of 24 characters each followed by "|":
// "OPEN " or "CLOSE"; the pair's name; the layer Z ("Z = " and the value) or the integer value
// ("VALUE = " and the value) when the code carries one, else blanks. A code that is no marker
// code reports "PRBT99 - UNEXPECTED MARKER TYPE" with the code, leaves the line empty and gives -1.
void PRBT99(const tp_marker_block& marker, std::string& line, int& status);
