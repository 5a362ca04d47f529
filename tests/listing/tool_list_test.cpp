// TOLTBL: the tools of the current tool path counted and named once each, their parameter
// listings written by the tool dialog into the same file, a tool of class above 10 named without a
// listing, and the view that is no MACSYS.
#include "listing_support.hpp"

#include "driver/proc_block_support.hpp"
#include "host/control/masters.hpp"
#include "host/control/tp_display_host.hpp"
#include "listing/lst_state.hpp"
#include "listing/toltbl.hpp"
#include "toolpath/tp_sublist.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_lists.hpp"

#include <filesystem>

using namespace listing_test;

namespace {

constexpr int kOutputUnit = 21;

void append_procedure(int number, int nc, const std::vector<std::vector<word>>& moves)
{
    proc_test::proc_block b;
    b.number = number;
    b.type = nc;
    b.global(20, {0});
    b.flag(51, 0).flag(82, 1);
    b.append();
    if (moves.empty()) return;
    int status = 0;
    tp_sublist_open(status);
    for (const auto& m : moves) append_block(m);
    tp_sublist_close(status);
}

std::vector<word> tool_block(int number, int tool) { return {1, number, 100, 0, tool}; }

class ToolList : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        const std::string folder =
            tools_test::temp_folder() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(folder);
        std::filesystem::remove(folder + "/BRACKET_TOOLS_LIST");
        control::set_output_directory(folder);
        control::set_part_file_name("/parts/BRACKET");
    }
};

}  // namespace

TEST_F(ToolList, EachToolCountedAndNamedOnceWithItsListing)
{
    const int drill = tools_test::make_tool(1, "DRILL 8");
    const int mill = tools_test::make_tool(2, "END MILL 10");
    append_block(tool_block(1, drill));
    append_procedure(1, 50, {tool_block(1, mill), line_block(2, 0, 0, 0), tool_block(3, drill)});
    append_procedure(2, 52, {});
    int status = -9;
    TOLTBL(0, 2, status);
    EXPECT_EQ(status, 0);
    const auto lines = control::listing_lines(kOutputUnit);
    ASSERT_GT(lines.size(), 16u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 16),
              (std::vector<std::string>{
                  "             T O O L   L I S T", "             =================", " ",
                  "             PART FILE NAME: \"BRACKET_TOOLS_LIST\"", "             MACSYS NAME   : \"        \"",
                  "             TOOL PATH NAME: \"        \"", " ", "             NUMBER OF TOOLS = 2", " ", " ",
                  "             TOOL NAMES", "             ----------", "             DRILL 8             ",
                  "             END MILL 10         ", " ", " "}));
    EXPECT_GT(lines.size(), 22u) << "the dialog's listing pages follow";
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
              (std::vector<std::string>{" ", " ", "END OF TOOL PATH", " "}));
    EXPECT_EQ(control::lines_of("usrer4").back(), "OUTPUT TO FILE BRACKET_TOOLS_LIST");
    int count = -1;
    toollist_count(kToolListingSlot, count);
    EXPECT_EQ(count, 0) << "the slot is freed";
}

TEST_F(ToolList, AViewThatIsNoMacsysMakesNoFile)
{
    control::set_view_kind(0, 2);
    int status = 0;
    TOLTBL(0, 2, status);
    EXPECT_EQ(control::lines_of("eroutc").back(), "NOT IN MACSYS");
    EXPECT_EQ(control::call_count("aopen"), 0);
}

TEST_F(ToolList, AToolOfClassAboveTenKeepsItsNameLineWithoutAListing)
{
    const int cycle = tools_test::make_tool(kCycle, "CYCLE 1");
    const int mill = tools_test::make_tool(kMill, "END MILL 10");
    append_procedure(1, 50, {tool_block(1, mill), tool_block(2, cycle)});
    int status = -9;
    TOLTBL(0, 2, status);
    EXPECT_EQ(status, 0);
    const auto lines = control::listing_lines(kOutputUnit);
    const auto names = std::find(lines.begin(), lines.end(), "             ----------");
    ASSERT_GT(lines.end() - names, 3);
    EXPECT_EQ(*(names - 4), "             NUMBER OF TOOLS = 2");
    EXPECT_EQ(names[1], "             END MILL 10         ");
    EXPECT_EQ(names[3], " ") << "the cycle's name line comes second";
    // The mill page's first field (the tool's name) once: the cycle adds no listing page.
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("parameter 3002 ") != std::string::npos; }),
              1);
}
