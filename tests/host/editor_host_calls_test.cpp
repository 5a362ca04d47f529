// Host calls of the manual editor and its services: marked menu fields, the catalogue's texts,
// the window mode and tool hiding, the split-by-tool flag, the recorded wait, parameters of
// entities by mode, class, type and code, and the stored surface identifiers brought up to date.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

namespace control = vantu::control;

class EditorHostCalls : public ::testing::Test {
protected:
    void SetUp() override { control::reset(); }
};

TEST_F(EditorHostCalls, MarkedMenuLinesSayTheyAreMarkedAndKeepTheirLimits)
{
    int choice = 2, count = 3;
    float delay = 0.5f;
    int status = 0;
    modint(5, 0, 0, 0, status);
    modmc2("MOVE TOOL", choice, 1);
    modmc2("DELETE", choice, 0);
    mdmpc2("SHOW ALL    >@SHOW BLOCK  >", choice, 1);
    modic2("COUNT", count, 1, 9999, 1);
    modrc2("DELAY", delay, 0.0f, 10.0f, 0);
    const std::vector<std::string> expected = {
        "1 MOVE TOOL (marked)", "2 DELETE", "3 SHOW ALL    >@SHOW BLOCK  > = 2 (SHOW BLOCK) (marked)",
        "4 COUNT = 3 [1, 9999] (marked)", "5 DELAY = 0.5 [0, 10]"};
    EXPECT_EQ(control::page_lines(), expected);

    control::load_script_text(R"([{"page": {"line": 4, "value": 10000}}, {"page": {"line": 4, "value": 12}}])",
                              "count");
    modif1(status);
    EXPECT_EQ(count, 12) << "10000 is refused by the field's limits, 12 taken";
}

TEST_F(EditorHostCalls, CatalogueMessagesShowTheirTexts)
{
    const struct {
        std::function<void()> show;
        const char* channel;
        const char* line;
    } rows[] = {
        {[] { msg_mdls(317, 36); }, "msg_mdls",
         "message 317/36 WARNING  : SURFACE PROCEDURE - EDITED MOTIONS ARE NOT CHECKED AGAINST THE SURFACES"},
        {[] { msg_mdls(317, 11); }, "msg_mdls", "message 317/11 ATTENTION: TOOL CHANGED"},
        {[] { msg_prompt(317, 10); }, "msg_prompt", "prompt 317/10 STEPPING - PRESS <SPACE> TO STOP"},
        {[] { msg_prompt(317, 20); }, "msg_prompt", "prompt 317/20 INDICATE A BLOCK OF THE PROCEDURE"},
        {[] { msg_mdls(317, 35); }, "msg_mdls", "message 317/35"},
        {[] { msg_mdls(310, 20, "COPY_CURRENT_PROC"); }, "msg_mdls", "message 310/20 COPY_CURRENT_PROC"},
    };
    for (const auto& row : rows) {
        control::clear_messages();
        row.show();
        ASSERT_EQ(control::lines_of(row.channel).size(), 1u) << row.line;
        EXPECT_EQ(control::lines_of(row.channel).front(), row.line);
    }
    std::string text;
    msg_get(317, 33, text);
    EXPECT_EQ(text, "NOTE: NOTHING TO DIVIDE - THE PROCEDURE USES ONE TOOL");
    msg_get(317, 99, text);
    EXPECT_EQ(text, "text 317/99");
}

TEST_F(EditorHostCalls, WindowModeToolHidingSplitFlagAndTheWait)
{
    EXPECT_EQ(get_win_mode(), 0);
    control::set_flag("win_mode", 1);
    EXPECT_EQ(get_win_mode(), 1);
    EnableHideTool();
    nc_tool_disp_hide(0);
    EXPECT_TRUE(control::tool_hidden());
    nc_tool_disp_hide(1);
    EXPECT_FALSE(control::tool_hidden());

    int split = 7;
    split_by_tool_get_set(1, split);
    EXPECT_EQ(split, 0);
    split = 1;
    split_by_tool_get_set(2, split);
    split = 0;
    split_by_tool_get_set(1, split);
    EXPECT_EQ(split, 1);
    control::reset();
    split_by_tool_get_set(1, split);
    EXPECT_EQ(split, 0) << "a reset clears the flag";

    control::set_tracing(true);
    host_wait(0.5f);
    host_wait(-1.0f);
    ASSERT_EQ(control::trace_entries().size(), 2u);
    EXPECT_EQ(control::trace_entries()[0].name, "host_wait");
    EXPECT_EQ(control::trace_entries()[0].arguments, "0.500");
    EXPECT_EQ(control::trace_entries()[1].arguments, "-1.000");
}

TEST_F(EditorHostCalls, ParametersOfEntitiesByModeClassTypeAndCode)
{
    control::set_proc_param(kParamOpenProcedure, 9, 4, 43, {1200});
    control::set_proc_param(41, 9, 7, 308, {501, 502, 503});
    control::set_proc_param(41, 9, 7, 43, {3});
    const struct {
        int mode, id, type, code, capacity;
        int status, count;
        std::vector<word> values;
    } rows[] = {
        {kParamGetInteger, kParamOpenProcedure, 4, 43, 1, 0, 1, {1200}},
        {kParamGetInteger, 41, 7, 43, 1, 0, 1, {3}},
        {kParamGetInteger, 41, 7, 308, 4, 0, 3, {501}},   // an integer is one word
        {kParamGetArray, 41, 7, 308, 4, 0, 3, {501, 502, 503}},
        {kParamGetArray, 41, 7, 308, 2, 0, 3, {501, 502}},
        {kParamGetArray, 41, 7, 308, 0, 0, 3, {}},        // the size alone
        {kParamGetArray, 41, 4, 308, 4, 1, 0, {}},        // another type: absent
        {kParamGetArray, 42, 7, 308, 4, 1, 0, {}},        // another entity: absent
        {kParamGetInteger, 41, 7, 43, 0, -1, 0, {}},
        {kParamSet, 41, 7, 43, 1, -1, 0, {}},
        {kParamGetArray, 41, 7, 308, -1, -1, 0, {}},
    };
    for (const auto& row : rows) {
        std::vector<word> values(4, -7);
        int count = -1, status = 9;
        gs_param(row.mode, row.id, 9, row.type, row.code, values.data(), row.capacity, count, status);
        EXPECT_EQ(status, row.status) << row.mode << "/" << row.id << "/" << row.code << "/" << row.capacity;
        EXPECT_EQ(count, row.count) << row.code;
        values.resize(row.values.size());
        EXPECT_EQ(values, row.values) << row.code;
    }
}

TEST_F(EditorHostCalls, StoredSurfaceIdentifiersAreBroughtUpToDate)
{
    control::set_renumbered_surface(12, 112);
    const int old_ids[] = {11, 12, 13};
    int current[3] = {0, 0, 0}, status = 9;
    ncs_update_surfaces(old_ids, 3, current, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::vector<int>(current, current + 3), (std::vector<int>{11, 112, 13}));
    ncs_update_surfaces(old_ids, -1, current, status);
    EXPECT_EQ(status, -1);
    ncs_update_surfaces(nullptr, 2, current, status);
    EXPECT_EQ(status, -1);
}

}  // namespace
