// PROCTL: the procedure list with its heading, the procedure blocks in the header form, the
// parameters each NC function lists while the host holds the file, a nested tool path appended to
// the open file, and its failures.
#include "listing_support.hpp"

#include "driver/proc_block_support.hpp"
#include "host/control/masters.hpp"
#include "host/control/tp_registry.hpp"
#include "listing/lst_state.hpp"
#include "listing/proctl.hpp"

#include <filesystem>

using namespace listing_test;

namespace {

constexpr int kOutputUnit = 21;

void append_procedure(int number, int nc)
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
}

std::vector<word> header_words(const char* name = "TP01")
{
    std::vector<word> header{0, 0, text4_to_word(name), text4_to_word("    "), 23};
    for (int i = 0; i < 16; ++i) header.push_back(r(i == 6 || i == 10 || i == 14 ? 1.0f : 0.0f));
    header.insert(header.end(), {0, 0, 700, 0, 0, 0, 0, 0});
    return header;
}

void append_header() { append_block(header_words()); }

class ProcedureList : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        lst_state() = listing_state{};
        folder = tools_test::temp_folder() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(folder);
        std::filesystem::remove(folder + "/BRACKET_PROC_LIST");
        control::set_output_directory(folder);
        control::set_part_file_name("/parts/BRACKET");
    }
    std::string folder;
};

}  // namespace

TEST_F(ProcedureList, HeadingBlocksAndParametersOfTheProceduresOutsideTheDriversGroup)
{
    append_header();
    append_procedure(1, 50);
    append_procedure(2, 10);  // the driver's group: no parameter listing
    control::set_tracing(true);
    PROCTL(0, 2);
    const auto lines = control::listing_lines(kOutputUnit);
    ASSERT_GT(lines.size(), 8u);
    EXPECT_EQ(
        std::vector<std::string>(lines.begin(), lines.begin() + 7),
        (std::vector<std::string>{"             P R O C E D U R E  L I S T", "             " + std::string(26, '='),
                                  " ", "             PART FILE NAME: \"BRACKET_PROC_LIST\"", " ", " ", " "}));
    EXPECT_EQ(lines[7], "  MACSYS NAME     : \"        \" ") << "the header in the procedure-header form";
    const auto count = [&](const std::string& text) { return std::count(lines.begin(), lines.end(), text); };
    EXPECT_EQ(count("  PROCEDURE NUMBER = 1"), 1);
    EXPECT_EQ(count("  PROCEDURE NUMBER = 2"), 1);
    EXPECT_EQ(count("     PARAMETERS OF NC FUNCTION 50"), 1);
    EXPECT_EQ(count("     PARAMETERS OF NC FUNCTION 10"), 0);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
              (std::vector<std::string>{" ", " ", "END OF TOOL PATH", " "}));
    std::vector<std::string> order;
    for (const auto& e : control::trace_entries())
        if (e.name == "ofmod" || e.name == "segrun") order.push_back(e.name + " " + e.arguments);
    EXPECT_EQ(order, (std::vector<std::string>{"ofmod 2", "segrun 50", "ofmod 1"}));
    EXPECT_EQ(control::lines_of("usrer4").back(), "OUTPUT TO FILE BRACKET_PROC_LIST");
    EXPECT_EQ(proc_table().entries[2].nc_function, 10);
    EXPECT_EQ(lst_state().proc_list_unit, -1);
}

TEST_F(ProcedureList, MoreProceduresThanTheTableHoldsAndAnUnopenableFile)
{
    append_header();
    for (int n = 1; n <= proc_summary_table::kProcedures + 1; ++n) append_procedure(n, 10);
    PROCTL(0, 2);
    EXPECT_EQ(control::lines_of("eroutc").back(), "PROCTL, ERRORS IN LIST");
    const auto lines = control::listing_lines(kOutputUnit);
    EXPECT_NE(lines.back(), " ") << "no end lines after the error";
    EXPECT_EQ(control::lines_of("usrer4").back(), "OUTPUT TO FILE BRACKET_PROC_LIST") << "the file is closed";

    std::filesystem::remove(folder + "/BRACKET_PROC_LIST");
    control::inject_fault("aopen", 1, 1, -1);
    PROCTL(0, 2);
    EXPECT_EQ(control::lines_of("eroutc").back(), "PROCLT, CANNOT OPEN THE FILE");
}

TEST_F(ProcedureList, NestedToolPathAppendsToTheOpenFileAndNoToolPathIsListedTwice)
{
    const int outer = control::add_entity(9, 3, sized(header_words("OUT1")));
    const int inner = control::add_entity(9, 3, sized(header_words("INN1")));
    ASSERT_TRUE(control::declare_tool_path_entries(outer, {}, {{2, inner}}));
    ASSERT_TRUE(control::declare_tool_path_entries(inner, {}, {{2, outer}}));
    PROCTL(outer, 1);
    const auto lines = control::listing_lines(kOutputUnit);
    const auto count = [&](const std::string& text) { return std::count(lines.begin(), lines.end(), text); };
    EXPECT_EQ(count("             P R O C E D U R E  L I S T"), 1);
    EXPECT_EQ(count("  TOOL PATH NAME  : \"OUT1    \" "), 1)
        << "the outer tool path once, though the inner one names it";
    EXPECT_EQ(count("  TOOL PATH NAME  : \"INN1    \" "), 1) << "the inner tool path, appended";
    EXPECT_EQ(count("END OF TOOL PATH"), 1);
    EXPECT_EQ(control::call_count("aopen"), 1);
    EXPECT_EQ(control::lines_of("usrer4"), (std::vector<std::string>{"OUTPUT TO FILE BRACKET_PROC_LIST"}));
    EXPECT_EQ(lst_state().proc_list_unit, -1);
    EXPECT_TRUE(lst_state().proc_list_paths.empty());
}
