// Shared set-up of the display and listing tests: a fresh host and fresh NC state blocks, the
// display state at its load values, blocks appended to the list, a tool with a symbol master, and
// the display file read back.
#pragma once

#include "host/control.hpp"
#include "host/vantu.hpp"
#include "listing/dspblk.hpp"
#include "listing/dspblk_draw.hpp"
#include "listing/live_display.hpp"
#include "nc_services/display_break.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/tp_sublist.hpp"
#include "tools/tools_test_support.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace listing_test {

namespace control = vantu::control;

inline word r(float value) { return real_to_word(value); }

// Appends a closed line with the words and leaves the cursor on it.
inline void append_block(const std::vector<word>& words)
{
    int status = 0;
    lcreat(1, status);
    lputd(static_cast<int>(words.size()), words.data(), status);
    lclos(status);
    lacces(0, status);
}

// A block as an entity holds it: its size first.
inline std::vector<word> sized(std::vector<word> block)
{
    block.insert(block.begin(), static_cast<word>(block.size()));
    return block;
}

inline std::vector<word> line_block(int number, float x, float y, float z) { return {2, number, r(x), r(y), r(z)}; }
inline std::vector<word> param_block(int number, int prmtyp, float value) { return {1, number, prmtyp, 0, r(value)}; }

// A tool of the class whose symbol master is a plain master (the unit frame at the origin).
inline int tool_with_master(int tool_class, const std::string& name)
{
    std::vector<word> master{77};
    for (float v : {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f}) master.push_back(r(v));
    master.push_back(0);
    tool_block().DMSRID = control::add_entity(14, 1, master);
    const int tool = tools_test::make_tool(tool_class, name);
    tool_block().DMSRID = -1;
    return tool;
}

// The blocks of the display file whose font is the given one.
inline int blocks_in_font(int font)
{
    int n = 0;
    for (const auto& b : control::ncd_blocks()) n += b.font == font ? 1 : 0;
    return n;
}

class DisplayTest : public tools_test::ToolsTest {
protected:
    void SetUp() override
    {
        ToolsTest::SetUp();
        control::clear_messages();
        DSP8() = tool_position_state{};
        LSP2() = move_writer_state{};
        DSM4() = modal_values{};
        WRMB() = wire_modal_values{};
        NPT1() = tp_header_state{};
        NPT1().at(tp_header_state::kMachineType) = 23;
        TLER() = tool_display_state{};
        TRS1() = tp_transform_state{};
        GCY4() = cycle_state{};
        RAXN() = rotation_axes_state{};
        BLSK() = sublist_stack{};
        PRM9() = machine_params{};
        CLP1() = proc_colour_pen{};
        proc_flags() = proc_geom_pairs{};
        proc_table() = proc_summary_table{};
        dspblk() = dspblk_state{};
        live_display() = live_display_state{};
        display_countdown_state() = display_countdown{};
        display_copy_transform() = display_copy{};
    }
};

}  // namespace listing_test
