// Interaction modes, the mode line and the parameter translations of the host stand-in.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

namespace control = vantu::control;

TEST(HostModeLine, ModintStartsAndEndsModesAndKeepsTheCurrentOne)
{
    control::reset();
    EXPECT_FALSE(control::interaction_active());
    int status = 5;
    modint(-1, 28, 4, 0, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(control::interaction_active());
    EXPECT_EQ(control::current_mode(), -1);
    modint(3, 7, 12, 1, status);
    EXPECT_EQ(control::current_mode(), 3);
    modint(0, 32, 1, 1, status);  // mode 0 with a mode-line place still starts a mode
    EXPECT_TRUE(control::interaction_active());
    modint(0, 0, 0, 0, status);
    EXPECT_FALSE(control::interaction_active());
    EXPECT_EQ(control::current_mode(), 0);
    const auto& starts = control::mode_starts();
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[0].mode, -1);
    EXPECT_EQ(starts[0].row, 28);
    EXPECT_EQ(starts[0].column, 4);
    EXPECT_EQ(starts[1].row, 7);
    EXPECT_EQ(starts[1].column, 12);
    EXPECT_EQ(starts[1].flag, 1);
    EXPECT_EQ(starts[2].row, 32);
}

TEST(HostModeLine, RefusedModintKeepsTheModeAndItsPage)
{
    control::reset();
    control::load_script_text("[]", "none");
    int status = 0, value = 1;
    modint(-1, 22, 4, 0, status);
    modmc("A@B", value);
    control::inject_fault("modint", 1, 1, -4);
    modint(5, 22, 4, 0, status);
    EXPECT_EQ(status, -4);
    EXPECT_EQ(control::current_mode(), -1);
    EXPECT_EQ(control::mode_starts().size(), 1u);
    EXPECT_EQ(control::page_lines().size(), 1u);
    EXPECT_EQ(control::faults_fired().size(), 1u);
}

TEST(HostModeLine, OutputSwitchPromptsAndHighlightClears)
{
    control::reset();
    int status = 9;
    EXPECT_EQ(control::mode_line_output(), 0);
    ofmod(1, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::mode_line_output(), 1);
    ofmod(2, status);
    EXPECT_EQ(control::mode_line_output(), 2);
    ofmod(3, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::mode_line_output(), 2);
    ofwric(" ", status);
    ofwric("PICK PNT.TO MODIFY", status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(control::mode_line_prompts().size(), 2u);
    EXPECT_EQ(control::mode_line_prompts()[1], "PICK PNT.TO MODIFY");
    control::inject_fault("ofwric", 1, 1, -2);
    ofwric("LOST", status);
    EXPECT_EQ(status, -2);
    EXPECT_EQ(control::mode_line_prompts().size(), 2u);
    gsclr(2, 1);
    gsclr(2, 0);
    ASSERT_EQ(control::highlight_clears().size(), 2u);
    EXPECT_EQ(control::highlight_clears()[0].what, 2);
    EXPECT_EQ(control::highlight_clears()[0].set, 1);
    EXPECT_EQ(control::highlight_clears()[1].set, 0);
}

TEST(HostModeLine, NextModeLivesInTheFlagRegistry)
{
    control::reset();
    int mode = -9;
    ncr_mdnxt_get(mode);
    EXPECT_EQ(mode, 0);
    ncr_mdnxt_set(4);
    ncr_mdnxt_get(mode);
    EXPECT_EQ(mode, 4);
    mdnxt_set(6);
    EXPECT_EQ(control::get_flag("next_mode"), 6);
    control::set_flag("next_mode", 2);
    ncr_mdnxt_get(mode);
    EXPECT_EQ(mode, 2);
    control::reset();
    ncr_mdnxt_get(mode);
    EXPECT_EQ(mode, 0);
}

TEST(HostModeLine, CallsAreTracedInOrderWithTheirArguments)
{
    control::reset();
    control::set_tracing(true);
    int status = 0;
    gsclr(2, 0);
    modint(0, 0, 0, 0, status);
    ncr_mdnxt_set(0);
    modint(-1, 22, 4, 0, status);
    ofmod(1, status);
    ofwric(" ", status);
    prexec();
    const std::vector<std::string> expected = {"gsclr", "modint", "ncr_mdnxt_set", "modint",
                                               "ofmod", "ofwric", "prexec"};
    EXPECT_EQ(control::trace_names(), expected);
    EXPECT_EQ(control::trace_entries()[3].arguments, "-1, 22, 4, 0");
    EXPECT_EQ(control::trace_entries()[0].arguments, "2, 0");
    control::set_tracing(false);
}

// ---- parameter translations -------------------------------------------------------------------

namespace {
struct row_in {
    int parameter, message, kind, second;
};
void add_rows(const std::vector<row_in>& rows, int& status)
{
    for (const row_in& r : rows) {
        nu_trns_add(r.message, r.parameter, r.kind, r.second, status);
        if (status != 0) return;
    }
}
const std::vector<row_in> kRows = {
    {3209, 607, 2, 615}, {3212, 639, 2, 642}, {3202, 629, 3, -1}, {3212, 643, 2, 646},
    {603, 1270, 2, -1},  {3100, 824, 5, -1},  {3100, 769, 5, -1}, {3201, 644, 1, -1},
};
}  // namespace

TEST(HostTranslations, RowsKeptInOrderWithDuplicates)
{
    control::reset();
    int status = 9;
    add_rows(kRows, status);
    EXPECT_EQ(status, 0);
    const auto& rows = control::translation_rows();
    ASSERT_EQ(rows.size(), kRows.size());
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        EXPECT_EQ(rows[i].parameter, kRows[i].parameter) << i;
        EXPECT_EQ(rows[i].message, kRows[i].message) << i;
        EXPECT_EQ(rows[i].kind, kRows[i].kind) << i;
        EXPECT_EQ(rows[i].second_message, kRows[i].second) << i;
    }
    EXPECT_FALSE(control::translations_sorted());
}

TEST(HostTranslations, SortIsStableByParameterAndReleaseEmptiesTheTable)
{
    control::reset();
    int status = 0;
    add_rows(kRows, status);
    nu_trns_sort(status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(control::translations_sorted());
    const std::vector<std::pair<int, int>> expected = {
        {603, 1270}, {3100, 824}, {3100, 769}, {3201, 644}, {3202, 629}, {3209, 607}, {3212, 639}, {3212, 643},
    };
    const auto& rows = control::translation_rows();
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].parameter, expected[i].first) << i;
        EXPECT_EQ(rows[i].message, expected[i].second) << i;
    }
    ASSERT_EQ(control::end_report().size(), 1u);
    EXPECT_EQ(control::end_report()[0], "parameter translations not released: 8 rows");
    nu_trns_add(1049, 412, 1, -1, status);
    EXPECT_FALSE(control::translations_sorted());
    nu_trns_rels();
    EXPECT_TRUE(control::translation_rows().empty());
    EXPECT_TRUE(control::end_report().empty());
}

TEST(HostTranslations, InjectedFaultAtRowKLeavesTheRowsBefore)
{
    for (long k = 1; k <= static_cast<long>(kRows.size()); ++k) {
        control::reset();
        control::inject_fault("nu_trns_add", k, 1, -3);
        int status = 0;
        add_rows(kRows, status);
        EXPECT_EQ(status, -3) << k;
        EXPECT_EQ(control::translation_rows().size(), static_cast<std::size_t>(k - 1)) << k;
    }
}

TEST(HostTranslations, BadKindAndFullTableAreRefused)
{
    control::reset();
    int status = 0;
    for (int kind : {0, 4, 6, -1}) {
        nu_trns_add(607, 3209, kind, -1, status);
        EXPECT_EQ(status, -1) << kind;
    }
    EXPECT_TRUE(control::translation_rows().empty());
    for (std::size_t i = 0; i < control::kMaxTranslationRows; ++i) {
        nu_trns_add(1, static_cast<int>(i), 1, -1, status);
        ASSERT_EQ(status, 0) << i;
    }
    nu_trns_add(1, 99999, 1, -1, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::translation_rows().size(), control::kMaxTranslationRows);
}
