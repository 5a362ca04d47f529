// The mode fields of the host's screen and its pull-down menu: the block picking of the
// trimming tool shows its pick mode in a mode field and asks for the mode in a pull-down menu.
#pragma once

#include <string_view>

// The mode fields of the screen's message area, 1 to kModeFields (apart from the machine status
// line of vantu_statusline.hpp).
inline constexpr int kModeFields = 4;

// Clears mode field `field` (another field: nothing).
void statbl(int field);
// Shows text in mode field `field`, cut to width characters (width below 1: nothing shown);
// another field: nothing.
void statmc(int field, std::string_view text, int width);

// A pull-down menu of "@"-separated choices, answered as menuc: choice out the item (1-based),
// -1 exit (the script's cancel), -2 back.
void pdmenc(std::string_view text, int& choice);
