// The execution wrapper (exec_run), the callback call that protects the tool's dimensions
// (exec_callback_call) and the stop (exec_stop_unwind). The restart point is the catch of
// execution_stop in exec_run; the frames in between give back what they took through guards.
// Reads and writes TLER, LSP2 and "UITR"; reads PRM9, DSP8, HEI8 and the machining type.
#include "driver/exec_run.hpp"

#include "driver/edit_seams.hpp"
#include "host/vantu.hpp"
#include "listing/status_line.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/prog_line.hpp"
#include "nc_services/tool_position.hpp"
#include "nc_services/unwind_guard.hpp"
#include "toolpath/exec_break_menu.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/updown_buffers.hpp"
#include "tools/tool_utilities.hpp"

namespace {

constexpr int kStatusWindow = 2;
constexpr int kToolPresent = 10;  // PRM9 word of machine-table item 9
constexpr int kUitrKind = 3;
constexpr int kRapid = 4;
constexpr int kWithNormals = 2, kWithToolAxis = 3;
constexpr int kMotionDisplayRead = 1;
constexpr int kTrimming = 33;

// Machining types whose tool keeps its dimensions through an execution (they change them on
// purpose) and whose tool is not drawn by the wrapper.
bool tool_types_excepted() { return machining_type() == 34 || machining_type() == 35; }

// Machining types with a tool field in the machine status line during the execution.
bool shows_tool_field()
{
    switch (machining_type()) {
    case 2:
    case 3:
    case 11:
    case 14:
    case 15:
    case 29:
    case 39: return true;
    default: return false;
    }
}

void write_uitr(int value)
{
    const word w = value;
    int status = 0;
    mdptnc("UITR", kUitrKind, 1, &w, status);
}

// A run from the start: the move writer, the display words and the progress line.
void start_execution(int interactive)
{
    exec_display_words& w = exec_words();
    clr_tp_flag();
    w.tool_visible = TLER().at(tool_display_state::kMode) < 2 ? 1 : 0;
    LSP2().at(move_writer_state::kStringClosed) = 1;
    w.display_changed = 0;
    w.motions_hidden = w.tool_visible ? 0 : 1;
    prog_clear_texts();
    if (interactive) {
        prmptc("<SPACE> TO PAUSE");
        prog_set_activity(kActivityExecuting);
    } else {
        prexec();
    }
    w.step_count = 1;
    w.step_mode = 0;
    write_uitr(interactive ? 1 : 0);
    if (PRM9().words[kToolPresent] != 0 && shows_tool_field()) {
        w.status_line_tool = 1;
        status_show_tool(kStatusWindow);
    }
}

// The display words the user's changes leave for the block update.
void report_display(int& display_changed, int& display_mode)
{
    const exec_display_words& w = exec_words();
    if (!w.display_changed) return;
    display_changed = 1;
    display_mode = w.tool_visible ? (w.motions_hidden ? 3 : 1) : 2;
}

// Steps 5 to 7: the execution is over.
void end_execution()
{
    write_uitr(0);
    if (TLER().at(tool_display_state::kMode) > 1 && tm_inst_id(-1) < 0 && !tool_types_excepted())
        draw_tool_at_current();
    prog_close();
    prmptc("EXECUTION END");
    exec_words().status_line_tool = 0;
    status_show_tool(kStatusWindow);
}

// Runs mode 1 under the restart point; a stop comes back here and the callback cleans up.
void run_under_restart_point(execute_callback execute, int& suspended, int& status)
{
    exec_display_words& w = exec_words();
    try {
        w.restart_active = 1;
        give_back clear_restart([&w] { w.restart_active = 0; });
        exec_callback_call(execute, kExecuteRun, status);
        return;
    } catch (const execution_stop& stop) {
        if (stop.restart != kExecRestart) throw;
    }
    suspended = 1;
    exec_callback_call(execute, kExecuteCleanUp, status);
}

}  // namespace

exec_display_words& exec_words()
{
    static exec_display_words w;
    return w;
}

void exec_callback_call(execute_callback execute, int mode, int& status)
{
    const bool protect = !tool_types_excepted();
    if (protect && mode == kExecuteRun) tool_dims_save();
    if (mode == kExecuteCleanUp) proc_reset_flag();
    give_back restore([protect] {
        if (protect) tool_dims_restore();
    });
    int callback_mode = mode;
    execute(callback_mode, status);
}

void exec_run(execute_callback execute, int interactive, int restart, int& suspended, int& display_changed,
              int& display_mode, int& status)
{
    // The host may end the run from inside the callback: "UITR" and the progress line are given
    // back on that road too.
    unwind_only on_abort([] {
        write_uitr(0);
        prog_close();
    });
    if (restart == 0) {
        start_execution(interactive);
        run_under_restart_point(execute, suspended, status);
    } else {
        suspended = 1;
        exec_callback_call(execute, kExecuteCleanUp, status);
    }
    report_display(display_changed, display_mode);
    end_execution();
}

void exec_stop_unwind()
{
    set_exec_disp_mode(kExecDisplayNormal);
    int motion_display = 0;
    gs_exec_disp_value(kMotionDisplayRead, motion_display);
    if (motion_display != 0 && machining_type() != kTrimming) {
        int lines = 0, not_found = 1, status = 0;
        llines(lines);
        if (lines > 0) tp_marker_find(-1, not_found, status);
        if (lines > 0 && status >= 0 && not_found == 0) {
            set_mch_change_mode(kRapid);
            const tool_position_state& d = DSP8();
            const point3 axis{d.real(tool_position_state::kAxis), d.real(tool_position_state::kAxis + 1),
                              d.real(tool_position_state::kAxis + 2)};
            const point3 above{d.real(tool_position_state::kPosition), d.real(tool_position_state::kPosition + 1),
                               HEI8().real(heights_state::kClearance)};
            PLINE_entry(axis[2] != 1.0f ? kWithToolAxis : kWithNormals, above, axis, status);
        }
    }
    // Only a restart point that is set can be jumped to.
    if (machining_type() == kTrimming) {
        if (edit_seams().trim_restart_active()) throw execution_stop{kTrimRestart};
    } else if (exec_words().restart_active) {
        throw execution_stop{kExecRestart};
    }
}
