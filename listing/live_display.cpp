// DISPLB (see the header).
#include "listing/live_display.hpp"

#include "host/vantu.hpp"
#include "listing/block_handlers.hpp"
#include "listing/dspblk.hpp"
#include "listing/status_line.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"

namespace {

using T = tool_position_state;

constexpr int kRemove = 0, kExecution = 1, kEditor = 2, kEditorWithTool = 3;
constexpr int kNoNumberShift = 10;
constexpr int kJustWritten = 3;
constexpr int kRefreshAlways = -1, kCycle = 100;
constexpr int kExecutionMove = 4, kPlainMove = 1;
constexpr int kStatusWindow = 2;
constexpr int kQueryInstance = -1;

bool moved()
{
    const tool_position_state& d = DSP8();
    const auto at = d.vec(T::kPosition), before = d.vec(T::kPrevPosition);
    const auto axis = d.vec(T::kAxis), axis_before = d.vec(T::kPrevAxis);
    return !(eqpt3(at.data(), before.data()) && eqpt3(axis.data(), axis_before.data()));
}

// The live display: the tool instance, the status line and the counter.
void follow_with_tool(int mode)
{
    const tool_position_state& d = DSP8();
    int instance = tm_inst_id(kQueryInstance);
    if (mode == kEditorWithTool && instance <= 0) {
        DISPT1(DSM4().at(modal_values::kTool), d.vec(T::kPosition), d.vec(T::kAxis), instance);
        if (instance > 0) tm_inst_id(instance);
    } else if (!moved()) {
        return;
    } else {
        TOLMOV(instance, d.vec(T::kPosition), d.vec(T::kAxis), mode == kExecution ? kExecutionMove : kPlainMove);
    }
    int& counter = live_display().counter;
    if (counter < 1) status_repaint(kStatusWindow);
    if (counter != kRefreshAlways) counter = (counter + 1) % kCycle;
}

}  // namespace

live_display_state& live_display()
{
    static live_display_state state;
    return state;
}

void DISPLB(int mode, int& break_flag, int& status)
{
    if (mode < kRemove || mode > kEditorWithTool) {
        erou1c("DISPLB, INVALID MODE TYPE. MODE = ", mode);
        status = -1;
        return;
    }
    shift_current_to_previous();
    display_copy& copy = display_copy_transform();
    int ignored = 0;
    cltrin(kCopyTransformation, copy.matrix.data(), copy.translation.data(), ignored);
    ncd_pull_color_font_pen();
    int block_mode = live_display().counter < 1 ? mode : mode + kNoNumberShift;
    int source = kJustWritten, type = 0, asked = 0;
    DSPBLK(block_mode, source, type, asked, status);
    if (status < 0) {
        ncd_push_color_font_pen();
        status = -1;
        return;
    }
    if (mode != kRemove) follow_with_tool(mode);
    if (mode == kExecution) ncd_flush_blocks();
    ncd_push_color_font_pen();
    if (asked != 0) break_flag = 1;
    status = 0;
}

void displb_set_count(int value) { live_display().counter = value; }
