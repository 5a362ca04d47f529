// The target procedure selection: the paged list of 25 procedures, a row pick and CONTINUE, a
// display pick of a key block, CANCEL, the rows' marks, and the row mapping of PCKPGT.
#include "driver/proc_block_support.hpp"
#include "driver/target_proc_select.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_texts.hpp"

#include <gtest/gtest.h>

namespace {

namespace control = vantu::control;

class TargetSelect : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        proc_table() = proc_summary_table{};
    }
    void TearDown() override { control::reset(); }

    // The tool-path header, then procedure blocks 1 to count, numbered 100 + n, with their table
    // entries.
    static void procedures(int count)
    {
        int status = 0;
        const word header[] = {0, 0, 0};
        lcreat(1, status);
        lputd(3, header, status);
        lclos(status);
        for (int n = 1; n <= count; ++n) {
            proc_test::proc_block b;
            b.number = 100 + n;
            b.append();
            proc_summary_entry& e = proc_table().entries[static_cast<std::size_t>(n)];
            e.number = n;
            e.nc_function = 50;
        }
    }
    static std::vector<std::string> pages()
    {
        std::vector<std::string> texts;
        for (const auto& e : control::transcript_events())
            if (e.kind == "page") texts.push_back(e.prompt + " || " + e.text);
        return texts;
    }
};

}  // namespace

TEST_F(TargetSelect, PagedListOfTwentyFiveProcedures)
{
    procedures(25);
    // Page 1: title, TP=, rows 1-20 on lines 3-22, Pg Up 23, Pg Dn 24, CANCEL 25. Pg Dn moves to
    // rows 11-26 (lines 3-18: Pg Up 19, Pg Dn 20, CANCEL 21); line 3 picks procedure 11, after
    // which CONTINUE stands on line 21.
    control::load_script_text(R"([{"page": 24}, {"page": 3}, {"page": 21}])", "target");
    int chosen = 0, start = 1, status = 9;
    target_proc_select(chosen, start, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(chosen, 11);
    EXPECT_EQ(control::events_left(), 0u);
    const std::vector<std::string> p = pages();
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].rfind("MORE STR", 0), 0u) << p[0];
    EXPECT_NE(p[0].find("22 -----"), std::string::npos) << "row 20 on line 22";
    EXPECT_EQ(p[0].find("=21"), std::string::npos) << "row 21 is on the next page";
    EXPECT_EQ(p[1].rfind("MORE END", 0), 0u) << p[1];
    EXPECT_NE(p[1].find("3 -----"), std::string::npos);
    EXPECT_NE(p[1].find("=11 "), std::string::npos) << "the page starts at row 11";
    EXPECT_NE(p[1].find("18  "), std::string::npos) << "row 26, the end of the tool path, is blank";
    EXPECT_NE(p[2].find("21 CONTINUE"), std::string::npos);

    control::reset();
    proc_table() = proc_summary_table{};
    procedures(3);
    control::load_script_text(R"([{"page": 7}])", "cancel");  // rows 1-4 on lines 3-6, CANCEL 7
    start = 1;
    target_proc_select(chosen, start, status);
    EXPECT_EQ(status, -1) << "CANCEL";

    // Pick mode: a display pick of procedure 2's key block, then ESC.
    control::set_picked_key_block(102, 1, 102);
    control::load_script_text(R"([{"pick": 1}, {"pick": "exit"}])", "pick");
    start = 0;
    target_proc_select(chosen, start, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(chosen, 2);
}

TEST_F(TargetSelect, RowsAndTheRowMappingOfAPick)
{
    procedures(3);
    proc_summary_entry& e = proc_table().entries[2];
    e.state2 = 2;
    e.c = 1;
    e.state = 2;
    e.tool = -2;
    const std::string row = proc_list_row(2, 1);
    EXPECT_NE(row.find("~2 CU TOOL = MULTI TOOLS"), std::string::npos) << row;
    EXPECT_EQ(row.find('~'), 19u) << "after the 19-character status text";
    EXPECT_NE(proc_list_row(1, 0).find("=1"), std::string::npos);

    struct row_case {
        int answer, height, first, first_row;
        int status, procedure;
    } cases[] = {
        {3, 1, 1, 3, 0, 1},  {5, 1, 1, 3, 0, 3},  {6, 1, 1, 3, 0, 4},  // the row after the last: the end
        {7, 1, 1, 3, -1, 0}, {2, 1, 1, 3, -1, 0},                      // beyond the list, above the rows
        {7, 2, 1, 3, 0, 3},  {5, 0, 1, 3, -1, 0},                      // a row height of 0 is refused
    };
    for (const row_case& c : cases) {
        int procedure = 0, block = 9, status = 9;
        PCKPGT(c.answer, c.height, c.first, c.first_row, procedure, block, status);
        EXPECT_EQ(status, c.status) << c.answer << "/" << c.height;
        if (c.status == 0) {
            EXPECT_EQ(procedure, c.procedure) << c.answer << "/" << c.height;
        }
    }
    control::set_picked_key_block(0, 0, 0);
    int procedure = 0, block = 0, status = 0;
    PCKPGT(0, 1, 1, 3, procedure, block, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::lines_of("eroutc").back(), "PCKPGT, ILLEGAL KEY BLOCK");
    control::set_picked_key_block(103, 2, 140);
    PCKPGT(0, 1, 1, 3, procedure, block, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(procedure, 3);
    EXPECT_EQ(block, 140) << "a block deeper than the procedure block";
}
