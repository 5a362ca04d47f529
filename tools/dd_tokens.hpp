// The token reader of the definitions files ("ddinput.att", "USER.DEF"): text lines of up to 255
// characters, cut to 80; "#" and "%" lines are comments; blank , ; = ( separate tokens, and ")"
// is a token of its own; tokens are cut to 20 characters.
#pragma once

#include <istream>
#include <string>
#include <vector>

struct dd_token_reader {
    std::istream* file = nullptr;
    int line_number = 0;
    std::vector<std::string> tokens;  // tokens of the current line
    std::size_t next = 0;
};

// Splits one line into tokens (the line already cut to 80 characters).
std::vector<std::string> dd_line_tokens(const std::string& line);
// The next token; false at the end of the file (host message 203/200, and the file is rewound).
bool dd_next_token(dd_token_reader& reader, std::string& token);
