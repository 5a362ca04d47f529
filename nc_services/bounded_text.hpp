// The characters a fixed-length text field or a (text, length) pair really holds: at most the
// given count, and never past the end of the view or a terminator inside it. The error lines,
// the message window and the NC state text fields all read their texts through it, so a wrong
// length from a caller never reads past the text.
#pragma once

#include <algorithm>
#include <string_view>

// The first `length` characters of text (none for a length of 0 or less), cut at the first
// terminator.
inline std::string_view bounded_text(std::string_view text, int length)
{
    if (length <= 0) return {};
    const std::string_view piece = text.substr(0, std::min(static_cast<std::size_t>(length), text.size()));
    return piece.substr(0, piece.find('\0'));
}
