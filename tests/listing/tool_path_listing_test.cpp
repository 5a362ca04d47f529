// NCLIST: the tool-path listing file with its heading, procedures with their moves in sub-lists,
// procedures without moves, the procedure ends and end lines, and its failures.
#include "listing_support.hpp"

#include "driver/proc_block_support.hpp"
#include "host/control/masters.hpp"
#include "host/control/tp_registry.hpp"
#include "listing/lst_state.hpp"
#include "listing/nclist.hpp"
#include "toolpath/tp_sublist.hpp"

#include <filesystem>
#include <fstream>

using namespace listing_test;

namespace {

// A procedure block of NC function `nc` whose moves, if any, are in its sub-list.
void append_procedure(int number, int nc, const std::vector<std::vector<word>>& moves)
{
    proc_test::proc_block b;
    b.number = number;
    b.type = nc;
    b.global(41, {2026, 1, 2}).global(42, {12, 30, 45}).global(20, {0});
    b.global(29,
             {text4_to_word("SIDE"), text4_to_word("    "), text4_to_word("    "), text4_to_word("    "),
              text4_to_word("    ")},
             8);
    b.flag(51, 0).flag(82, 1);
    b.append();
    if (moves.empty()) return;
    int status = 0;
    tp_sublist_open(status);
    ASSERT_GE(status, 0);
    for (const auto& m : moves) append_block(m);
    tp_sublist_close(status);
    ASSERT_GE(status, 0);
}

std::vector<std::string> file_lines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class ToolPathListing : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        lst_state() = listing_state{};
        folder = tools_test::temp_folder() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(folder);
        control::set_output_directory(folder);
        fresh();
        control::set_part_file_name("/parts/BRACKET");
    }
    // No listing file of an earlier call: the file name asks before it overwrites one.
    void fresh() { std::filesystem::remove(folder + "/BRACKET_TP_LIST"); }
    std::string folder;
};

}  // namespace

TEST_F(ToolPathListing, ProceduresMovesEndsAndTheKeptPosition)
{
    append_block(line_block(9, 0, 0, 0));
    append_procedure(1, 50, {line_block(1, 1, 2, 3), line_block(2, 4, 5, 6)});
    append_procedure(2, 52, {});
    int status = 0, before = 0;
    ljump(-1, before);
    NCLIST(-1, 1);
    const std::string name = control::listing_file_name(kListingUnit);
    const auto lines = file_lines(folder + "/" + name);
    EXPECT_EQ(lines, control::listing_lines(kListingUnit));
    ASSERT_GE(lines.size(), 8u) << name;
    EXPECT_EQ(lines[0], "           TOOL PATH LISTING");
    EXPECT_EQ(lines[1], "           =================");
    EXPECT_EQ(lines[2], "           PART FILE NAME: \"" + name + "\"");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.begin() + 7),
              (std::vector<std::string>{" ", "   BLOCK", "   NUMBER           BLOCK DESCRIPTION",
                                        "   ------           -----------------"}));
    const std::string hyphens(60, '-');
    const std::vector<std::string> tail(lines.begin() + 7, lines.end());
    auto at = [&](const std::string& text) { return std::find(tail.begin(), tail.end(), text) - tail.begin(); };
    const auto end1 = at(" END PROCEDURE NUMBER 1"), end2 = at(" END PROCEDURE NUMBER 2");
    ASSERT_LT(end1, static_cast<long>(tail.size()));
    ASSERT_LT(end2, static_cast<long>(tail.size()));
    EXPECT_EQ(tail[static_cast<std::size_t>(end1) - 1],
              "   1-     2                     X =     4.0000   Y =     5.0000   Z =     6.0000");
    EXPECT_EQ(tail[static_cast<std::size_t>(end1) + 1], hyphens);
    EXPECT_EQ(tail[static_cast<std::size_t>(end2) + 1], hyphens);
    EXPECT_EQ(tail[static_cast<std::size_t>(end2) - 1], "           COMMENT      : \"SIDE                \" ")
        << "code 52 ends at once";
    EXPECT_EQ(std::vector<std::string>(tail.end() - 3, tail.end()),
              (std::vector<std::string>{" ", " ", " END OF TOOL PATH"}));
    EXPECT_EQ(proc_table().entries[1].nc_function, 50);
    EXPECT_EQ(proc_table().entries[2].nc_function, 52);
    EXPECT_EQ(control::lines_of("usrer4").back(), "OUTPUT TO FILE " + name);
    int after = 0;
    ljump(0, after);
    EXPECT_EQ(after, before) << "the list position is kept";
    (void)status;
}
TEST_F(ToolPathListing, FullFormCountsTheBlocksOfEachProcedure)
{
    append_procedure(1, 50, {line_block(1, 1, 2, 3), line_block(2, 4, 5, 6)});
    NCLIST(-1, 0);
    const auto lines = control::listing_lines(kListingUnit);
    ASSERT_GT(lines.size(), 7u);
    EXPECT_EQ(lines[7], " TOTAL PROCEDURE BLOCKS =    1");
    EXPECT_EQ(lines[17], " SIMPLE LIN. ");
    const auto total = std::find(lines.begin(), lines.end(), "TOTAL NUMBER OF BLOCKS IN PROCEDURE NUMBER  1 =    2");
    ASSERT_NE(total, lines.end());
    EXPECT_EQ(*(total - 1), "");
    EXPECT_EQ(*(total - 2), " ");
    EXPECT_EQ(*(total + 1), " END PROCEDURE NUMBER 1");
}

TEST_F(ToolPathListing, EmptyListBadBlockAndUnopenableFile)
{
    NCLIST(-1, 1);
    EXPECT_EQ(control::listing_lines(kListingUnit).size(), 7u) << "the heading only";
    EXPECT_EQ(control::lines_of("userrc").back(), "TOOL PATH LIST IS EMPTY");
    EXPECT_EQ(control::lines_of("usrer4").back(), "OUTPUT TO FILE " + control::listing_file_name(kListingUnit));

    fresh();
    append_block(line_block(1, 0, 0, 0));
    append_block({99, 2, 67});
    append_block(line_block(3, 0, 0, 0));
    NCLIST(-1, 1);
    const auto lines = control::listing_lines(kListingUnit);
    EXPECT_EQ(control::lines_of("erou1c").back(), "PRTBLK - ERROR IN BLOCK. BTYPE = 99");
    EXPECT_EQ(control::lines_of("eroutc").back(), "NCLIST, ERRORS IN CREATING TOOL PATH LIST");
    EXPECT_EQ(
        std::vector<std::string>(lines.end() - 4, lines.end()),
        (std::vector<std::string>{"   0-     1                     X =     0.0000   Y =     0.0000   Z =     0.0000",
                                  " ", " ", " END OF TOOL PATH"}))
        << "the walk ends at the bad marker, the end lines are written";
    const auto errors = control::lines_of("erou1c");
    EXPECT_NE(std::find(errors.begin(), errors.end(), "PRBT99 - UNEXPECTED MARKER TYPE 67"), errors.end());

    fresh();
    control::inject_fault("aopen", 1, 1, -1);
    const long closes = control::call_count("aclose");
    NCLIST(-1, 1);
    EXPECT_EQ(control::lines_of("errou4").back(),
              "NCLIST, CANNOT OPEN FILE " + control::listing_file_name(kListingUnit));
    EXPECT_EQ(control::call_count("aclose"), closes);
}

TEST_F(ToolPathListing, StoredToolPathsThatCannotBeListed)
{
    NCLIST(44, 1);
    EXPECT_EQ(control::lines_of("eroutc").back(), "nclist_ent, PROBLEMS IN OPENNING ENTITY");
    EXPECT_EQ(control::listing_lines(kListingUnit).back(), " END OF TOOL PATH") << "the file gets its end lines";

    fresh();
    ASSERT_TRUE(control::declare_tool_path(45, {}, {3}));
    NCLIST(45, 0);
    EXPECT_EQ(control::lines_of("erou1c").back(), "nclist_ent, NOT A TOOL PATH ENTITY. id = 45");
    EXPECT_EQ(control::listing_lines(kListingUnit)[7], " TOTAL PROCEDURE BLOCKS =    2");
}
