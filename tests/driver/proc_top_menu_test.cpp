// The top lines of a parameter dialog by kind and optimizer switch, the title of a new procedure,
// and a template read that reads nothing.
#include "driver/proc_top_menu.hpp"
#include "driver/relations.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/optimizer_params.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

namespace control = vantu::control;

class TopMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        control::set_tracing(true);
        EDA2() = edit_state{};
        rel_switches() = relation_switches{};
        opt_params_current().set_ival(59, 1);
    }
    void TearDown() override { control::reset(); }

    // The page of the top lines as the host lists it.
    static std::string page()
    {
        std::string all;
        for (const std::string& line : control::page_lines()) all += line + " | ";
        return all;
    }
    static std::string title()
    {
        std::string last;
        for (const auto& e : control::trace_entries())
            if (e.name == "modumc" && e.arguments.find('=') != std::string::npos) last = e.arguments;
        return last;
    }
};

int g_reads = 0;
void read_nothing(int&, int&, int&, int&, int&, int& status)
{
    ++g_reads;
    status = 11;
}
void put_nothing(int&, int&, int&, int& status) { status = 0; }

}  // namespace

TEST_F(TopMenu, LinesByKindAndOptimizerSwitch)
{
    struct row {
        int kind, optimizer;
        int count;
        std::vector<int> map;  // words 2 to 8
        bool optimizer_page;
    } rows[] = {
        {103, 1, 4, {2, 0, 0, 0, 0, 0, 0}, false},  // kind 3: blank machining and service lines
        {100, 1, 4, {2, 3, 4, 0, 0, 0, 0}, false},  // no template, no optimizer lines
        {0, 1, 8, {2, 3, 4, 5, 6, 7, 0}, false},    // optimizer OFF: its page line is blank
        {0, 2, 8, {2, 3, 4, 5, 6, 7, 8}, true},
        {10, 2, 7, {2, 3, 4, 5, 6, 0, 0}, false},  // kind plus 10: no optimizer lines
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.kind * 10 + r.optimizer);
        opt_params_current().set_ival(59, r.optimizer);
        int map[kTopMenuItems] = {}, count = 0, status = 0;
        proc_top_menu(r.kind, 1, nullptr, map, count, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(count, r.count);
        EXPECT_EQ(std::vector<int>(map + 2, map + 9), r.map);
        const std::string p = page();
        EXPECT_EQ(p.find("TEMPLATE") != std::string::npos, r.kind < 100);
        EXPECT_EQ(p.find("OPTIMIZER ...") != std::string::npos, r.optimizer_page);
        int answer = 0;
        modif1(answer);  // close the page before the next row
    }
}

TEST_F(TopMenu, NewProcedureTitleAndATemplateThatReadsNothing)
{
    int status = 0, level = 0, next = 17;
    gtlstn(1, level, status);
    gsblkn(2, level, next, status);
    int map[kTopMenuItems] = {}, count = 0;
    proc_top_menu(0, 1, nullptr, map, count, status);
    EXPECT_NE(title().find("=17"), std::string::npos) << title();
    EDA2().word_no(edit_state::kEditing) = 1;
    EDA2().word_no(edit_state::kProcedureNumber) = 4;
    int answer = 0;
    modif1(answer);
    proc_top_menu(0, 1, nullptr, map, count, status);
    EXPECT_NE(title().find("=4"), std::string::npos) << "an edited procedure shows its own number";

    control::define_relation(3301, 30.0, true);
    rel_switches().shift_3301 = true;
    NPT1().set_real(tp_header_state::kMacsysOrigin + 2, 5.0f);
    control::template_open("tpl", false);
    control::load_script_text(R"([{"page": 5}])", "template apply");
    int machining[kMachItemFlags] = {};
    int tool_changed = 0, redisplay = 0;
    g_reads = 0;
    proc_top_menu_do(0, 0, machining, map, put_nothing, put_nothing, read_nothing, answer, tool_changed, redisplay);
    EXPECT_EQ(answer, 5);
    EXPECT_EQ(g_reads, 1);
    EXPECT_EQ(redisplay, 0);
    EXPECT_EQ(control::call_count("init_BlockUseMode"), 0) << "nothing read: no values fetched";
    double value = 0;
    control::relation_value(3301, value);
    EXPECT_EQ(value, 30.0) << "handed over and stored back";
    EXPECT_EQ(control::call_count("rel_nc_cng_expr"), 2);
}
