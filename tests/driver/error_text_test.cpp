// Error-line wrappers: the copy is bounded by the caller's length, by 80 and by the text.
#include "driver/error_text.hpp"

#include "host/control.hpp"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::vector<std::string> sent() { return vantu::control::texts_of("errout"); }

class ErrorText : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }
};

TEST_F(ErrorText, LongTextIsCutAt80)
{
    std::string text;
    for (int i = 0; i < 120; ++i) text += static_cast<char>('A' + i % 26);
    errout_text(text, 120, 0);
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0], text.substr(0, 80));
}

TEST_F(ErrorText, CallersLengthBoundsTheCopy)
{
    errout_text("CANNOT READ FROM FILE", 6, 0);
    EXPECT_EQ(sent(), std::vector<std::string>{"CANNOT"});
}

// A length beyond the text's end: only the text goes out, and not a byte past it is read (a
// text in a heap block of exactly its size, without terminator, so the sanitizer build would
// catch an over-read).
TEST_F(ErrorText, LengthBeyondTheTextNeverReadsPastIt)
{
    const std::string source = "SHORT TEXT";
    auto block = std::make_unique<char[]>(source.size());
    source.copy(block.get(), source.size());
    errout_text(std::string_view(block.get(), source.size()), 120, 0);
    errout_text(std::string_view("ENDS HERE\0HIDDEN TAIL", 21), 80, 0);
    EXPECT_EQ(sent(), (std::vector<std::string>{"SHORT TEXT", "ENDS HERE"}));
}

TEST_F(ErrorText, NegativeOrZeroLengthSendsAnEmptyLine)
{
    errout_text("TEXT", -3, 0);
    errout_text("TEXT", 0, 0);
    EXPECT_EQ(sent(), (std::vector<std::string>{"", ""}));
}

TEST_F(ErrorText, TerminatedTextGoesOutWholeUpTo80)
{
    errout_cstr("TOOL PATH IS NOT OPEN", 0);
    errout_cstr(nullptr, 0);
    std::string long_text(100, 'X');
    errout_cstr(long_text.c_str(), 0);
    EXPECT_EQ(sent(), (std::vector<std::string>{"TOOL PATH IS NOT OPEN", "", std::string(80, 'X')}));
}

}  // namespace
