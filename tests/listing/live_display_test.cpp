// The live display of the block just written: refused modes, the status line's cadence, the break
// at motion blocks with the step countdown, and the tool instance that follows the moves.
#include "listing_support.hpp"

#include "host/control/script.hpp"
#include "listing/tool_display.hpp"

using namespace listing_test;

namespace {

struct shown_block {
    std::vector<word> words;
    int status;
};

// Appends the block and shows it in the mode; answers the break flag (cleared before).
int show(const std::vector<word>& words, int mode, int& status)
{
    append_block(words);
    int flag = 0;
    DISPLB(mode, flag, status);
    return flag;
}

}  // namespace

using LiveDisplay = DisplayTest;

TEST_F(LiveDisplay, InvalidModesAreRefusedWithoutDisplay)
{
    append_block(line_block(0, 1, 2, 3));
    for (int mode : {4, -1}) {
        int flag = 7, status = 0;
        DISPLB(mode, flag, status);
        EXPECT_EQ(status, -1) << mode;
        EXPECT_EQ(flag, 7) << "the break flag is left alone";
        EXPECT_EQ(control::lines_of("erou1c").back(), "DISPLB, INVALID MODE TYPE. MODE = " + std::to_string(mode));
    }
    EXPECT_TRUE(control::ncd_blocks().empty());
    EXPECT_EQ(control::status_paints(), 0);
}

TEST_F(LiveDisplay, StatusLineAtTheFirstMovingBlockThenEveryHundredth)
{
    struct row {
        int count;   // displb_set_count
        int lines;   // line blocks after one parameter block
        int paints;  // repaints of the position fields
        int counter_after;
        const char* x_field;  // field 1 as the last repaint left it
    };
    const row rows[] = {{0, 1, 1, 1, "X=1.000     "},
                        {0, 100, 1, 0, "X=1.000     "},
                        {0, 101, 2, 1, "X=101.000   "},
                        {-1, 3, 3, -1, "X=3.000     "}};
    for (const row& x : rows) {
        SetUp();
        displb_set_count(x.count);
        int status = 0;
        show(param_block(0, 1, 100.0f), 1, status);
        EXPECT_EQ(control::status_paints(), 0) << "a parameter block moves nothing";
        for (int i = 1; i <= x.lines && status == 0; ++i) show(line_block(i, static_cast<float>(i), 0, 0), 1, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(control::status_paints(), x.paints) << x.count << " " << x.lines;
        EXPECT_EQ(live_display().counter, x.counter_after);
        EXPECT_EQ(control::status_field(2, 1), x.x_field);
    }
}

TEST_F(LiveDisplay, SpaceOrAnExpiredCountdownBreaksAtMotionBlocksOnly)
{
    struct row {
        const char* script;
        int countdown;
        std::vector<int> breaks;  // per block: parameter, line, line, line
    };
    const row rows[] = {
        {R"([{"key": "SPACE", "after": 0}])", 0, {0, 1, 0, 0}},
        {R"([{"key": "SPACE", "after": 1}])", 0, {0, 0, 1, 0}},
        {"[]", 3, {0, 0, 0, 1}},
        {R"([{"key": "SPACE", "after": 0}])", 3, {0, 1, 0, 1}},
    };
    for (const row& x : rows) {
        SetUp();
        control::load_script_text(x.script, "keys");
        set_display_countdown(x.countdown);
        std::vector<int> breaks;
        int status = 0;
        breaks.push_back(show(param_block(0, 3, 0.0f), 1, status));
        for (int i = 1; i <= 3; ++i) breaks.push_back(show(line_block(i, static_cast<float>(i), 0, 0), 1, status));
        EXPECT_EQ(breaks, x.breaks) << x.script << " countdown " << x.countdown;
        EXPECT_EQ(display_countdown_state().armed, 0);
    }
    int flag = 0, status = 0;
    control::load_script_text(R"([{"key": "SPACE", "after": 0}])", "keys");
    append_block(line_block(9, 9, 9, 9));
    DISPLB(2, flag, status);
    EXPECT_EQ(flag, 0) << "the editor's mode does not poll";
}

TEST_F(LiveDisplay, ToolInstanceFollowsTheMovesAndModeThreeDrawsItFirst)
{
    const int tool = tool_with_master(kMill, "CUTTER");
    DSM4().at(modal_values::kTool) = tool;
    int status = 0;
    show(line_block(0, 0, 0, 0), 3, status);
    ASSERT_EQ(status, 0);
    const int instance = control::tool_instance();
    ASSERT_GT(instance, 0) << "mode 3 draws the tool when none is shown";
    EXPECT_EQ(live_display().counter, 1) << "the counter advances though nothing moved";
    show(line_block(1, 10, 5, 0), 1, status);
    show(line_block(2, 10, 5, 0), 1, status);  // no move: no instance move
    ASSERT_EQ(control::instance_moves().size(), 1u);
    EXPECT_EQ(control::instance_moves()[0].mode, 4) << "execution moves with figure-move mode 4";
    EXPECT_EQ(control::tool_instance_position(), (std::array<float, 3>{10, 5, 0}));
    show(line_block(3, 20, 5, 0), 2, status);
    EXPECT_EQ(control::instance_moves().back().mode, 1) << "the editor moves with mode 1";
    EXPECT_EQ(DSP8().vec(tool_position_state::kInstancePoint), (std::array<float, 3>{20, 5, 0}));
    EXPECT_EQ(LSP2().vec(move_writer_state::kLastPoint), (point3{10, 5, 0})) << "the move writer's last point";
}

TEST_F(LiveDisplay, ToolWithoutMasterDrawsNothingAndXorSwitchesOnce)
{
    const int plain = tools_test::make_tool(kMill, "PLAIN");
    int instance = 5;
    DISPT1(plain, {0, 0, 0}, {0, 0, 1}, instance);
    EXPECT_EQ(instance, -1);
    const int tool = tool_with_master(kMill, "XOR");
    PRM9().words[machine_params::kToolId] = tool;
    tool_xor_on();
    tool_xor_on();
    EXPECT_EQ(control::call_count("EnableNCToolXOR"), 1);
    EXPECT_EQ(control::tool_xor_mode(), 1);
    EXPECT_GT(control::tool_instance(), 0);
    tool_xor_off();
    tool_xor_off();
    EXPECT_EQ(control::call_count("DisableNCToolXOR"), 1);
    EXPECT_EQ(tool_xor_state(), 0);
}
