// User messages whose text holds "|" line breaks. The host shows at most 80 characters of a user
// line, so a long message written as one line loses its end: each "|" line goes to the user on
// its own, cut at 80. The lane engine and the pocket drawing send their broken texts through it.
#pragma once

#include <string_view>

inline constexpr int kUserLineChars = 80;

// Sends each "|" line of the text to the user (userrc), cut at kUserLineChars characters.
void userrc_lines(std::string_view text);
