// Error lines of at most 80 characters to the host's error channel.
#pragma once

#include <string_view>

// Sends a terminated text (a null text sends an empty line).
void errout_cstr(const char* text, int code);
// Sends the first `length` characters of text, at most 80, and never more than the text holds:
// the copy also stops at the end of the view and at a terminator inside it.
void errout_text(std::string_view text, int length, int code);
