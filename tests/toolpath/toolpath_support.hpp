// Helpers of the tool-path tests: a fresh host, blocks written as list lines, and the messages
// of the error channel.
#pragma once

#include "host/control.hpp"
#include "host/control/nc.hpp"
#include "host/control/template.hpp"
#include "host/vantu.hpp"
#include "host/vantu_nc.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tp_test {

inline void fresh()
{
    vantu::control::reset();
    vantu::control::clear_messages();
}

// Appends a closed line with the words and leaves the cursor on it, word 0.
inline void append_block(const std::vector<word>& words)
{
    int status = 0;
    lcreat(1, status);
    lputd(static_cast<int>(words.size()), words.data(), status);
    lclos(status);
    lacces(0, status);
}

inline word r(float value) { return real_to_word(value); }

inline std::vector<std::string> errors() { return vantu::control::lines_of("eroutc"); }
inline std::vector<std::string> errors1() { return vantu::control::lines_of("erou1c"); }

// The words of every line of the top list, in order.
inline std::vector<std::vector<word>> top_lines()
{
    std::vector<std::vector<word>> lines;
    for (const auto& line : vantu::control::toolpath_top()) lines.push_back(line.words);
    return lines;
}

inline std::vector<word> current_line_words()
{
    auto position = vantu::control::toolpath_cursor();
    return vantu::control::toolpath_line_at(position.lines)->words;
}

}  // namespace tp_test
