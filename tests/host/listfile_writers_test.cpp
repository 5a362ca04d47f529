// The shaped line writers of the listing files: each row writes one line on an open unit and is
// judged by the whole line and the line counter; stfill by the text it leaves.
#include "host/control.hpp"
#include "host/control/listfile.hpp"
#include "host/vantu.hpp"
#include "host/vantu_listfile_lines.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace {

namespace control = vantu::control;
constexpr int kUnit = 19;

TEST(ListfileWriters, ShapedLinesAndFills)
{
    control::reset();
    const auto folder = std::filesystem::temp_directory_path() / "drelan_listfile_writers";
    control::set_output_directory(folder.string());
    int status = 0;
    aopen(kUnit, "PART.BLOCK_1", 2, status);
    ASSERT_EQ(status, 0);
    const std::string b11(11, ' ');
    const struct {
        std::function<void(int&)> write;
        std::string line;
    } rows[] = {
        {[](int& l) { fltx1c(kUnit, "END PROCEDURE NUMBER = ", 12, " ", l); }, "END PROCEDURE NUMBER = 12 "},
        {[](int& l) { fltx1c(kUnit, "AT ", -3, "", l); }, "AT -3"},
        {[](int& l) { fltx2c(kUnit, "   7  ", "PROCEDURE NUMBER = ", 7, " ", l); }, "   7  PROCEDURE NUMBER = 7 "},
        {[](int& l) { fltx7c(kUnit, 11, "TITLE", l); }, b11 + "TITLE"},
        {[](int& l) { fltx7c(kUnit, 0, "TITLE", l); }, "TITLE"},
        {[](int& l) { fltx8c(kUnit, 3, "NUMBER", 11, "BLOCK DESCRIPTION", l); }, "   NUMBER  BLOCK DESCRIPTION"},
        {[](int& l) { fltx8c(kUnit, 3, "LONGER TEXT", 11, "B", l); }, "   LONGER TEXT B"},
        {[](int& l) { filtx8(kUnit, 11, "PART FILE NAME: ", "\"p\"", l); }, b11 + "PART FILE NAME: \"p\""},
    };
    int line = 0;
    for (const auto& row : rows) {
        const int before = line;
        row.write(line);
        EXPECT_EQ(line, before + 1) << row.line;
        EXPECT_EQ(control::listing_lines(kUnit).back(), row.line);
    }
    aclose(kUnit, status);
    EXPECT_EQ(status, 0);
    line = 0;
    fltx7c(kUnit, 1, "closed", line);
    EXPECT_EQ(line, 0) << "a closed unit takes no line";
    std::filesystem::remove_all(folder);

    const struct {
        std::string text;
        char fill;
        int from, length;
        std::string result;
    } fills[] = {
        {"", '-', 0, 5, "-----"},
        {"ABC", ' ', 2, 5, "AB   "},
        {"ABCDEF", '*', -1, 3, "***"},
        {"ABCDEF", '*', 4, 2, "AB"},
    };
    for (const auto& f : fills) {
        std::string text = f.text;
        stfill(text, f.fill, f.from, f.length);
        EXPECT_EQ(text, f.result) << f.text << " from " << f.from;
    }
}

}  // namespace
