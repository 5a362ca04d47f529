// PROCHD: the procedure header list of the current tool path and of a stored one, and the cases
// that make no file (a view that is no MACSYS, an empty list) or cannot open it.
#include "listing_support.hpp"

#include "host/control/tp_display_host.hpp"
#include "host/control/tp_registry.hpp"
#include "listing/nclist.hpp"
#include "listing/proc_header_listing.hpp"
#include "listing/prochd.hpp"
#include "toolpath/tp_words.hpp"

#include <filesystem>

using namespace listing_test;

namespace {

const std::string kFile = "BRACKET_PROC_HDR";

class ProcedureHeaderList : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        folder = tools_test::temp_folder() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(folder);
        std::filesystem::remove(folder + "/" + kFile);
        control::set_output_directory(folder);
        control::set_part_file_name("/parts/BRACKET");
    }
    bool file_made() const { return std::filesystem::exists(folder + "/" + kFile); }
    std::string folder;
};

const std::vector<std::string> kHeading = {"           PROCEDURE HEADER LIST",
                                           "           ---------------------",
                                           "           PART FILE NAME: \"" + kFile + "\"",
                                           "           MACSYS NAME   : \"        \"",
                                           " ",
                                           " "};

}  // namespace

TEST_F(ProcedureHeaderList, CurrentAndStoredToolPathsUnderTheHeading)
{
    append_block(line_block(1, 1, 2, 3));
    append_block(line_block(2, 4, 5, 6));
    const int stored = control::add_entity(9, 3, sized(line_block(1, 1, 2, 3)));
    ASSERT_TRUE(control::declare_tool_path_entries(stored, {},
                                                   {{4, control::add_entity(9, 8, sized(line_block(2, 4, 5, 6)))}}));
    for (const int tool_path : {0, stored}) {
        SCOPED_TRACE(tool_path);
        std::filesystem::remove(folder + "/" + kFile);
        int status = 0;
        lacces(3, status);  // the list stays where the user left it
        PROCHD(tool_path);
        const auto lines = control::listing_lines(kListingUnit);
        ASSERT_GT(lines.size(), kHeading.size());
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6), kHeading);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), proch_separator()), 2) << "one after each line block";
        EXPECT_TRUE(file_made());
        EXPECT_EQ(control::lines_of("usrer4").back(), "OUTPUT TO FILE " + kFile);
        int type = 0, number = 0;
        lacces(0, status);
        tp_get_int(kWhereList, type, status);
        tp_get_int(kWhereList, number, status);
        EXPECT_EQ(number, 2) << "back on the last line";
    }
}

TEST_F(ProcedureHeaderList, NoFileWithoutMacsysOrBlocksAndAnUnopenableFile)
{
    struct row {
        const char* what;
        int view_kind;
        bool blocks;
        bool refuse_open;
        const char* channel;
        std::string message;
    };
    const std::vector<row> rows = {
        {"an empty list", 3, false, false, "userrc", "TOOL PATH LIST IS EMPTY"},
        {"a view that is no MACSYS", 2, true, false, "eroutc", "NOT IN MACSYS"},
        {"an unopenable file", 3, true, true, "errou4", "PROCHD, CANNOT OPEN FILE " + kFile},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        control::clear_messages();
        control::set_view_kind(0, r.view_kind);
        if (r.blocks) append_block(line_block(1, 1, 2, 3));
        if (r.refuse_open) control::inject_fault("aopen", 1, 1, -1);
        PROCHD(0);
        ASSERT_FALSE(control::lines_of(r.channel).empty());
        EXPECT_EQ(control::lines_of(r.channel).back(), r.message);
        EXPECT_FALSE(file_made());
        EXPECT_TRUE(control::lines_of("usrer4").empty());
    }
}
