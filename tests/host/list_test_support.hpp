// Helpers of the tool-path list tests: building small trees, placing the cursor and the module's
// own block numbering (take the level's counter and advance it), built only on the host's calls.
#pragma once

#include "host/control.hpp"
#include "host/vantu.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace list_test {

inline void fresh() { vantu::control::reset(); }

inline int call_lacces(int code)
{
    int status = 0;
    lacces(code, status);
    return status;
}

inline int call_ljump(int n)
{
    int status = 0;
    ljump(n, status);
    return status;
}

inline const vantu::control::toolpath_line& top_line(std::size_t index)
{
    return vantu::control::toolpath_top().at(index);
}
inline std::size_t top_size() { return vantu::control::toolpath_top().size(); }

// Appends a closed line holding `words` at the end of the current level.
inline void append_line(const std::vector<word>& words)
{
    int status = 0;
    lcreat(1, status);
    EXPECT_EQ(status, 0);
    lputd(static_cast<int>(words.size()), words.data(), status);
    EXPECT_EQ(status, 0);
    lclos(status);
}

// A fresh host whose top list holds lines of the given lengths (words 1, 2, ...); the cursor
// stands at the end of the top list, as after opening a part.
inline void lines_of_length(const std::vector<int>& lengths)
{
    std::string json = R"({"toolpath": {"lines": [)";
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        json += i ? ",{\"words\":[" : "{\"words\":[";
        for (int w = 1; w <= lengths[i]; ++w) json += (w > 1 ? "," : "") + std::to_string(w);
        json += "]}";
    }
    json += "]}}";
    vantu::control::load_part_text(json, "lines_of_length");
}

inline void three_lines() { lines_of_length({2, 3, 4}); }

// Puts the cursor on line `index` of the top list (word 0); index == size is the end of the
// list, which only a part reload reaches from outside (it keeps the tree, not the markers).
inline void place_cursor(int index)
{
    if (index >= static_cast<int>(top_size())) {
        vantu::control::load_part_text(vantu::control::save_part_text(), "reload");
        return;
    }
    int status = 0;
    lacces(2, status);
    ASSERT_GE(status, 0);
    ljump(index, status);
}

// The block number the module gives its next block at the current level.
inline int next_block_number()
{
    int level = 0, number = 0, status = 0;
    gtlstn(1, level, status);
    gsblkn(1, level, number, status);
    int next = number + 1;
    gsblkn(2, level, next, status);
    return number;
}

}  // namespace list_test
