// Interaction-mode helpers: the mode-line layouts by screen height and the host calls each
// helper makes, in order.
#include "nc_services/interaction_modes.hpp"

#include "host/control.hpp"

#include <gtest/gtest.h>

namespace {

using calls = std::vector<std::string>;

// The traced host calls since the last clear, as "name(arguments)".
calls traced()
{
    calls out;
    for (const vantu::control::trace_entry& e : vantu::control::trace_entries())
        out.push_back(e.name + "(" + e.arguments + ")");
    return out;
}

class InteractionModes : public ::testing::Test {
protected:
    void SetUp() override
    {
        vantu::control::reset();
        ui_display = ui_display_state{};
    }
    // The layout for a screen of the given height, then a fresh trace.
    static void init_for_height(int height)
    {
        vantu::control::set_flag("screen_height", height);
        mode_line_init();
        vantu::control::clear_trace();
        vantu::control::set_tracing(true);
    }
};

TEST_F(InteractionModes, LayoutRowsFollowTheScreenHeight)
{
    struct row {
        int height, plain_row, third_row;
    };
    const row rows[] = {{1000, 22, 6}, {1001, 28, 7}, {768, 22, 6}, {1024, 28, 7}};
    for (const row& r : rows) {
        vantu::control::reset();
        vantu::control::set_flag("next_mode", 5);
        vantu::control::set_flag("screen_height", r.height);
        mode_line_init();
        EXPECT_EQ(ui_display.plain.row, r.plain_row) << r.height;
        EXPECT_EQ(ui_display.third.row, r.third_row) << r.height;
        EXPECT_EQ(ui_display.picking.row, 22) << r.height;
        EXPECT_EQ(vantu::control::get_flag("next_mode"), 0) << "the host's next mode starts at 0";
    }
}

TEST_F(InteractionModes, InitFillsTheWholeLayoutBlock)
{
    init_for_height(1000);
    const ui_display_state& s = ui_display;
    EXPECT_EQ((std::vector<int>{s.plain.mode_id, s.plain.row, s.plain.column}), (std::vector<int>{-1, 22, 4}));
    EXPECT_EQ((std::vector<int>{s.picking.mode_id, s.picking.row, s.picking.column}), (std::vector<int>{-1, 22, 4}));
    EXPECT_EQ((std::vector<int>{s.third.mode_id, s.third.row, s.third.column}), (std::vector<int>{-1, 6, 12}));
    EXPECT_EQ((std::vector<int>{s.restart_highlight_set, s.end_highlight_set, s.layout_word_3, s.layout_word_13,
                                s.step_countdown, s.block_display_key, s.block_display_count}),
              (std::vector<int>{1, 0, 3, 13, 0, -1, 0}));
}

TEST_F(InteractionModes, BeginWithoutPromptStartsThePlainLayoutAndTakesTheHostsNextMode)
{
    init_for_height(1001);
    int current = 3, status = -9;
    begin_pick_mode(0, 5, current, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(current, 5);
    EXPECT_EQ(traced(), (calls{"modint(-1, 28, 4, 5)", "ncr_mdnxt_get()", "mdnxt_set(0)"}));
}

TEST_F(InteractionModes, RestartingTheCurrentModeClearsHighlightSetOne)
{
    init_for_height(1000);
    int current = 5, status = -9;
    begin_pick_mode(0, 5, current, status);
    EXPECT_EQ(current, 5);
    EXPECT_EQ(traced(), (calls{"gsclr(2, 1)", "modint(-1, 22, 4, 5)", "ncr_mdnxt_get()", "mdnxt_set(0)"}));
}

TEST_F(InteractionModes, NoCurrentModeEndsAnyModeFirst)
{
    init_for_height(1000);
    int current = 0, status = -9;
    begin_pick_mode(0, 2, current, status);
    EXPECT_EQ(current, 2);
    EXPECT_EQ(traced(), (calls{"gsclr(2, 0)", "modint(0, 0, 0, 0)", "ncr_mdnxt_set(0)", "modint(-1, 22, 4, 2)",
                               "ncr_mdnxt_get()", "mdnxt_set(0)"}));
}

TEST_F(InteractionModes, BeginWithPromptUsesThePickingLayoutAndABlankPrompt)
{
    init_for_height(1001);
    int current = 4, status = -9;
    begin_pick_mode(1, 6, current, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(current, 4) << "the prompted start leaves the current mode";
    EXPECT_EQ(traced(), (calls{"modint(-1, 22, 4, 6)", "ofmod(1)", "ofwric( )"}));
}

TEST_F(InteractionModes, SwitchTakesTheCallersColumnInBothLayouts)
{
    init_for_height(1001);
    int current = 3, status = -9;
    pick_mode_switch(0, 9, 3, current, status);
    pick_mode_switch(1, 11, 3, current, status);
    EXPECT_EQ(traced(), (calls{"gsclr(2, 1)", "modint(-1, 28, 9, 3)", "ncr_mdnxt_get()", "mdnxt_set(0)",
                               "modint(-1, 22, 11, 3)", "ofmod(1)", "ofwric( )"}));
}

TEST_F(InteractionModes, ThirdLayoutAndPromptEndings)
{
    init_for_height(1001);
    int status = -9;
    modint_third_layout(8, status);
    EXPECT_EQ(status, 0);
    pick_mode_prompt(1, status);
    pick_mode_prompt(0, status);
    EXPECT_EQ(traced(), (calls{"modint(-1, 7, 12, 8)", "ofwric( )", "ofmod(2)", "gsclr(2, 0)", "modint(0, 0, 0, 0)",
                               "ncr_mdnxt_set(0)"}));
}

// A negative host status is handed back and the later calls are skipped.
TEST_F(InteractionModes, HostFailureStopsTheHelper)
{
    struct row {
        const char* failing;
        int with_prompt;
        calls expected;
    };
    const row rows[] = {
        {"modint", 0, {"modint(-1, 22, 4, 5)"}},
        {"modint", 1, {"modint(-1, 22, 4, 5)"}},
        {"ofmod", 1, {"modint(-1, 22, 4, 5)", "ofmod(1)"}},
        {"ofwric", 1, {"modint(-1, 22, 4, 5)", "ofmod(1)", "ofwric( )"}},
    };
    for (const row& r : rows) {
        vantu::control::reset();
        init_for_height(1000);
        vantu::control::inject_fault(r.failing, 1, 1, -4);
        int current = 3, status = 0;
        begin_pick_mode(r.with_prompt, 5, current, status);
        EXPECT_EQ(status, -4) << r.failing;
        EXPECT_EQ(traced(), r.expected) << r.failing;
    }
    vantu::control::reset();
    init_for_height(1000);
    vantu::control::inject_fault("ofwric", 1, 1, -4);
    int status = 0;
    pick_mode_prompt(1, status);
    EXPECT_EQ(status, -4);
    EXPECT_EQ(traced(), (calls{"ofwric( )"}));
}

}  // namespace
