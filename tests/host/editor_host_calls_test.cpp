// Host calls of the manual editor and its services: marked menu lines, the catalogue's texts,
// the split-by-tool flag, the recorded wait, and parameters of entities by mode, class, type and
// code.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace control = vantu::control;

TEST(EditorHostCalls, MarkedMenuLinesKeepTheirLimits)
{
    control::reset();
    int choice = 2, count = 3, status = 0;
    float delay = 0.5f;
    modint(5, 0, 0, 0, status);
    modmc2("MOVE TOOL", choice, 1);
    mdmpc2("SHOW ALL    >@SHOW BLOCK  >", choice, 1);
    modic2("COUNT", count, 1, 9999, 1);
    modrc2("DELAY", delay, 0.0f, 10.0f, 0);
    EXPECT_EQ(
        control::page_lines(),
        (std::vector<std::string>{"1 MOVE TOOL (marked)", "2 SHOW ALL    >@SHOW BLOCK  > = 2 (SHOW BLOCK) (marked)",
                                  "3 COUNT = 3 [1, 9999] (marked)", "4 DELAY = 0.5 [0, 10]"}));
    control::load_script_text(R"([{"page": {"line": 3, "value": 10000}}, {"page": {"line": 3, "value": 12}}])",
                              "count");
    modif1(status);
    EXPECT_EQ(count, 12) << "10000 refused by the limits";
}

TEST(EditorHostCalls, CatalogueTextsSplitFlagAndWait)
{
    control::reset();
    msg_mdls(317, 11);
    msg_prompt(317, 20);
    msg_mdls(317, 35);
    EXPECT_EQ(control::lines_of("msg_mdls"),
              (std::vector<std::string>{"message 317/11 ATTENTION: TOOL CHANGED", "message 317/35"}));
    EXPECT_EQ(control::lines_of("msg_prompt").front(), "prompt 317/20 INDICATE A BLOCK OF THE PROCEDURE");

    int split = 1;
    split_by_tool_get_set(2, split);
    split = 0;
    split_by_tool_get_set(1, split);
    EXPECT_EQ(split, 1);

    control::set_tracing(true);
    host_wait(0.5f);
    ASSERT_EQ(control::trace_entries().size(), 1u);
    EXPECT_EQ(control::trace_entries()[0].arguments, "0.500") << "recorded, and instant in the tests";
}

TEST(EditorHostCalls, ParametersOfEntitiesByModeClassTypeAndCode)
{
    control::reset();
    control::set_proc_param(kParamOpenProcedure, 9, 4, 43, {1200});
    control::set_proc_param(41, 9, 7, 308, {501, 502, 503});
    const struct {
        int mode, id, type, code, capacity;
        int status, count;
        std::vector<word> values;
    } rows[] = {
        {kParamGetInteger, kParamOpenProcedure, 4, 43, 1, 0, 1, {1200}},
        {kParamGetInteger, 41, 7, 308, 4, 0, 3, {501}},
        {kParamGetArray, 41, 7, 308, 2, 0, 3, {501, 502}},
        {kParamGetArray, 41, 4, 308, 4, 1, 0, {}},
        {kParamGetArray, 42, 7, 308, 4, 1, 0, {}},
        {kParamSet, 41, 7, 308, 1, 0, 1, {-7}},
        {kParamGetArray, 41, 7, 308, 4, 0, 1, {-7}},
        {kParamSet, 43, 4, 121, 2, 0, 2, {-7, -7}},
        {kParamGetInteger, 43, 4, 121, 1, 0, 2, {-7}},
        {kParamSet, 43, 4, 121, 0, -1, 0, {}},
        {5, 41, 7, 308, 1, -1, 0, {}},
    };
    for (const auto& row : rows) {
        std::vector<word> values(4, -7);
        int count = -1, status = 9;
        gs_param(row.mode, row.id, 9, row.type, row.code, values.data(), row.capacity, count, status);
        EXPECT_EQ(status, row.status) << row.mode << "/" << row.id << "/" << row.type;
        EXPECT_EQ(count, row.count) << row.mode << "/" << row.id;
        values.resize(row.values.size());
        EXPECT_EQ(values, row.values) << row.mode << "/" << row.id;
    }
}

}  // namespace
