// The edges of the shaped line writers that the listings' own tests do not reach: a first text
// running into the second column, a negative integer and column, and stfill's bounds.
#include "host/control.hpp"
#include "host/control/listfile.hpp"
#include "host/vantu_listfile_lines.hpp"

#include <gtest/gtest.h>

TEST(ListfileWriters, EdgesOfTheShapedLinesAndFills)
{
    vantu::control::reset();
    int status = 0, line = 0;
    aopen(19, "PART.BLOCK_1", 2, status);
    fltx8c(19, 3, "LONGER TEXT", 11, "B", line);
    fltx1c(19, "AT ", -3, "", line);
    filtx8(19, -2, "L:", "T", line);
    EXPECT_EQ(vantu::control::listing_lines(19), (std::vector<std::string>{"   LONGER TEXT B", "AT -3", "L:T"}));
    EXPECT_EQ(line, 3);
    vantu::control::reset();  // the unit goes without a file
    const struct {
        std::string text;
        int from, length;
        std::string result;
    } fills[] = {{"ABC", 2, 5, "AB***"}, {"ABCDEF", -1, 3, "***"}, {"ABCDEF", 4, 2, "AB"}, {"AB", 0, -1, ""}};
    for (const auto& f : fills) {
        std::string text = f.text;
        stfill(text, '*', f.from, f.length);
        EXPECT_EQ(text, f.result) << f.text << " from " << f.from;
    }
}
