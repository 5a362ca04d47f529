// User messages with "|" breaks: each line goes to the user on its own, cut at 80 characters.
#include "host/control.hpp"
#include "nc_services/user_lines.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(UserLines, EachBarLineIsSentOnItsOwnCutAt80)
{
    const std::string long_line(95, 'x');
    struct row {
        std::string text;
        std::vector<std::string> lines;
    };
    const std::vector<row> rows = {
        {"ONE LINE", {"ONE LINE"}},
        {"FIRST | SECOND", {"FIRST ", " SECOND"}},
        {long_line + "|END", {long_line.substr(0, 80), "END"}},
        {"TRAILING|", {"TRAILING", ""}},
    };
    for (const row& r : rows) {
        vantu::control::reset();
        userrc_lines(r.text);
        EXPECT_EQ(vantu::control::texts_of("userrc"), r.lines) << r.text;
    }
}
