// Host calls of a procedure run where the driver's tests do not reach: the translation table
// started empty, the relation-table hold that must be given back, the procedure's colour and pen,
// the template operations with and without a template file, the block key, the prompt kept and
// shown again, and the texts of the run's mode line.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

namespace {

namespace control = vantu::control;

TEST(RunServices, TranslationTableStartsEmptyAtEveryStart)
{
    control::reset();
    int status = 0;
    nu_trns_add(10, 20, 1, -1, status);
    nu_trns_init(status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(control::translation_rows().empty());
}

TEST(RunServices, RelationHoldIsReportedUntilGivenBack)
{
    control::reset();
    int held = 0;
    rel_table_init_get(held);
    EXPECT_EQ(held, 1);
    EXPECT_EQ(control::end_report().size(), 1u);
    rel_table_init_set(held);
    EXPECT_TRUE(control::end_report().empty());
    rel_table_init_set(held);
    EXPECT_EQ(control::texts_of("host_error").size(), 1u) << "a hold given back twice";
}

TEST(RunServices, ProcedureColourAndPenAreSetAndPutBack)
{
    control::reset();
    control::set_edited_proc_colour_pen(4, 2);
    int colour = 0, pen = 0;
    gs_proc_color_pen(1, colour, pen);
    EXPECT_EQ(std::make_pair(colour, pen), std::make_pair(4, 2));
    gs_proc_color_pen(3, colour, pen);
    colour = 7;
    gs_proc_color_pen(3, colour, pen);
    EXPECT_EQ(control::proc_colour_pen(), std::make_pair(7, 2));
    gs_proc_color_pen(4, colour, pen);
    EXPECT_EQ(control::proc_colour_pen(), std::make_pair(4, 2));
}

std::vector<int> g_wheres;
void read_double(int& where, int&, int&, int&, int&, int& status)
{
    g_wheres.push_back(where);
    status = 0;
}
void put_double(int&, int& where, int&, int& status)
{
    g_wheres.push_back(where);
    status = 0;
}

TEST(RunServices, TemplateOperationsCallTheModuleOnlyWithATemplateFile)
{
    control::reset();
    g_wheres.clear();
    int status = 0;
    template_MultiMngTpRead_PROCdata(50, read_double, status);
    EXPECT_EQ(status, -1);
    template_MultiTPWrite_PROCdata(50, put_double, put_double, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(g_wheres.empty());
    control::template_open("pocket.tpl", false);
    template_MultiMngTpRead_PROCdata(50, read_double, status);
    template_MultiTPWrite_PROCdata(50, put_double, put_double, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(g_wheres, (std::vector<int>{10, 11, 11}));
    control::template_close();
}

TEST(RunServices, BlockKeyPutsTheListBackOnItsBlock)
{
    control::reset();
    int status = 0;
    for (int i = 0; i < 3; ++i) {
        lcreat(1, status);
        lclos(status);
    }
    int at = 0;
    ljump(-2, at);
    block_key key;
    ncd_get_last_block_key(-1, key);
    EXPECT_EQ(key.level, 1);
    ljump(5, at);
    ncd_set_block_position(key, status);
    EXPECT_EQ(status, 0);
    ljump(0, at);
    EXPECT_EQ(at, key.line);
}

TEST(RunServices, PromptShownAgainIsThePromptScriptsSee)
{
    control::reset();
    std::string prompt;
    rdprmc(prompt);
    EXPECT_EQ(prompt, "");
    prmptc("<SPACE> TO PAUSE");
    msg_prompt(319, 40);
    rdprmc(prompt);
    EXPECT_EQ(prompt, "prompt 319/40 READING THE PROCEDURE");
    prmpxc("<SPACE> TO PAUSE");
    control::load_script_text(R"({"steps": [{"question": "yes", "expect": "TO PAUSE"}]})", "script");
    int answer = 0;
    irepyc("GO ON?", answer);
    EXPECT_EQ(answer, 1) << "the restored prompt matches the step's expect";
}

TEST(RunServices, ModeLineAndFunctionNameTexts)
{
    control::reset();
    usrer5("CREATING", "POCKET  ", "PROCEDURES", 8, 8, 10);
    EXPECT_EQ(control::texts_of("usrer5"), std::vector<std::string>{"CREATING POCKET PROCEDURES"});
    std::string text;
    mktxtc("WIREPOCKET    ", 8, text);
    EXPECT_EQ(text, "WIREPOCK");
    mktxtc("DRELAN  ", 12, text);
    EXPECT_EQ(text, "DRELAN");
}

}  // namespace
