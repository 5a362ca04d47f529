// Tokens of the definitions files, line by line.
#include "tools/dd_tokens.hpp"

#include "host/vantu.hpp"

namespace {
constexpr std::size_t kMaxLine = 255;
constexpr std::size_t kTokenLine = 80;
constexpr std::size_t kMaxToken = 20;

bool is_separator(char c) { return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '=' || c == '('; }
}  // namespace

std::vector<std::string> dd_line_tokens(const std::string& line)
{
    std::vector<std::string> tokens;
    std::string current;
    auto flush = [&] {
        if (current.empty()) return;
        if (current.size() > kMaxToken) {
            msg_mdls(203, 38);
            current.resize(kMaxToken);
        }
        tokens.push_back(current);
        current.clear();
    };
    for (char c : line) {
        if (is_separator(c)) {
            flush();
        } else if (c == ')') {
            flush();
            tokens.emplace_back(")");
        } else {
            current += c;
        }
    }
    flush();
    return tokens;
}

bool dd_next_token(dd_token_reader& reader, std::string& token)
{
    while (reader.next >= reader.tokens.size()) {
        std::string line;
        if (!reader.file || !std::getline(*reader.file, line)) {
            msg_mdls(203, 200);
            if (reader.file) {
                reader.file->clear();
                reader.file->seekg(0);
            }
            reader.tokens.clear();
            reader.next = 0;
            reader.line_number = 0;
            return false;
        }
        ++reader.line_number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > kMaxLine) line.resize(kMaxLine);
        if (line.empty() || line.front() == '#' || line.front() == '%') continue;
        if (line.size() > kTokenLine) {
            msg_mdls(91, 8);
            line.resize(kTokenLine);
        }
        reader.tokens = dd_line_tokens(line);
        reader.next = 0;
    }
    token = reader.tokens[reader.next++];
    return true;
}
