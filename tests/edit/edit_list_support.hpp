// Helpers of the editor tests: a tool-path list built block by block with the module's writers
// (each block after the one before, the list left on it), and the list read back as short texts.
#pragma once

#include "host/control.hpp"
#include "host/vantu.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/tp_block_open.hpp"
#include "toolpath/tp_words.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace edit_test {

// A line block (type 2, 22 or 222) at x = number, with direction (0, 1, 0).
inline void line(int number, int type = 2)
{
    int status = 0;
    put_line_block(kWhereList, type, number, {static_cast<float>(number), 0, 0}, {0, 1, 0}, status);
    ASSERT_EQ(status, 0);
}

// A point string (7, 27 or 227) of `points` points numbered from `first`, point k at x = first +
// k, y = 1, with direction (0, 0, -1).
inline void string(int type, int first, int points)
{
    int status = 0;
    const int words = type == 7 ? 4 : 7;
    BLKOPN(kWhereList, type, 1 + words * points, status);
    for (int k = 0; k < points; ++k)
        put_line_point(kWhereList, type, first + k, {static_cast<float>(first + k), 1, 0}, {0, 0, -1}, status);
    BLKCLS(kWhereList);
    ASSERT_EQ(status, 0);
}

inline void marker(int code, int number, float z = 0.0f)
{
    int status = 0;
    put_marker_block(kWhereList, code, z, 0, number, status);
    ASSERT_EQ(status, 0);
}

// A parameter block of an integer value.
inline void parameter(int number, int prmtyp, int value)
{
    int status = 0;
    tp_param_block block;
    block.number = number;
    block.prmtyp = prmtyp;
    block.int_value = value;
    put_param_block(kWhereList, block, status);
    ASSERT_EQ(status, 0);
}

// Every top-level block as "type/number" ("-" for a block without one): markers add ":code",
// strings "x" and their points.
inline std::vector<std::string> blocks()
{
    std::vector<std::string> texts;
    for (const auto& l : vantu::control::toolpath_top()) {
        std::string text = std::to_string(l.words.at(0)) + "/" + (l.words.size() > 1 ? std::to_string(l.words[1]) : "-");
        const int type = l.words[0];
        if (type == 99) text += ":" + std::to_string(l.words.at(2));
        if (type == 7 || type == 27 || type == 227)
            text += "x" + std::to_string((static_cast<int>(l.words.size()) - 1) / (type == 7 ? 4 : 7));
        texts.push_back(text);
    }
    return texts;
}

// The 0-based index of the top-level line the list stands on.
inline int current_line() { return vantu::control::toolpath_cursor().lines.at(0); }

// Puts the list on the top-level line (0-based).
inline void go_to_line(int index)
{
    int status = 0;
    lacces(2, status);
    if (index > 0) ljump(index, status);
}

}  // namespace edit_test
