// The EXECUTION menu of an interrupted execution (exec_pause_menu): resume, step a given number
// of displayed blocks, or stop; the tool display during the rest of the execution; the manual
// editor. Reads "UITR", the machining type and the NC function; reads and writes TLER, the host's
// fast-display flag and the execution display words.
#include "driver/exec_pause_menu.hpp"

#include "driver/exec_run.hpp"

#include "driver/edit_seams.hpp"
#include "driver/proc_messages.hpp"
#include "host/vantu.hpp"
#include "listing/status_line.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/display_break.hpp"
#include "nc_services/host_helpers.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/prog_line.hpp"
#include "nc_services/unwind_guard.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"

namespace {

constexpr int kTrimming = 33;
constexpr int kStatusWindow = 2;
constexpr int kUitrKind = 3;
constexpr int kGet = 1, kSet = 2;
constexpr int kMarkPosition = 2, kBackToMark = 1;
constexpr int kNo = 0;
constexpr int kMaxStepCount = 10000;
constexpr int kInterruptLine = 3, kResumeLine = 4;
constexpr int kStopAnswer = 2;
constexpr int kHighlightSets = 2, kHighlightSet = 1;
// The host's interaction mode of the page.
constexpr int kMenuInteraction = 1;

// Page answers and lines.
constexpr int kAccept = 0, kQuit = -1, kCancel = -2;
constexpr int kManualEditLine = 4;

// The execution choices (1-based): resume, by step when offered, stop last.
constexpr int kResume = 1;
constexpr const char* kThreeChoices = "EXECUTION:RESUME@EXECUTION:BY STEP@EXECUTION:STOP";
constexpr const char* kTwoChoices = "EXECUTION:RESUME@EXECUTION:STOP";
constexpr const char* kToolChoices =
    "TOOL:  DISPLAY@TOOL:  TRACE@TOOL:  NO DISPLAY@MOTION:NO FAST DSP@MOTION:NO DISPLAY";

// TLER values and the tool choices (1-based) that show them.
constexpr int kTlerNoMotion = 3, kTlerNoFast = 4;
constexpr int kChoiceNoFast = 4, kChoiceNoMotion = 5;

int tler() { return TLER().at(tool_display_state::kMode); }
void set_tler(int value) { TLER().at(tool_display_state::kMode) = value; }

int fast_display()
{
    int value = 0;
    gs_fast_display(kGet, value);
    return value;
}

void set_fast_display(int value) { gs_fast_display(kSet, value); }

bool uitr_is_set()
{
    word uitr = 0;
    int status = 0;
    mdgetn_code(text4_to_word("UITR"), kUitrKind, 1, &uitr, status);
    return status == 0 && uitr == 1;
}

// The tool display choice that shows the present TLER.
int preselected_tool_choice()
{
    if (fast_display()) {
        set_tler(kTlerNoFast);
        return kChoiceNoFast;
    }
    switch (tler()) {
    case 0:
    case 1:
    case 2: return tler() + 1;
    case kTlerNoMotion: return kChoiceNoMotion;
    case kTlerNoFast: set_tler(2); return 3;
    default: return 1;
    }
}

struct menu_choices {
    bool three = false;  // BY STEP offered
    int execution = kResume;
    int tool = 1;
    bool manual_edit = false;
    bool tool_line = false;

    int by_step() const { return three ? 2 : 0; }
    int stop() const { return three ? 3 : 2; }
};

// Starts the page and places its lines; false when the host cannot start it.
bool show_page(menu_choices& c, int& step_count)
{
    int status = 0;
    modint(kMenuInteraction, ui_display.plain.row, ui_display.plain.column, 0, status);
    if (status < 0) return false;
    modmc(c.three ? kThreeChoices : kTwoChoices, c.execution);
    if (c.execution == c.by_step())
        modic("COUNT", step_count, 1, kMaxStepCount);
    else
        modumc(" ", 0);
    if (c.tool_line)
        modmc(kToolChoices, c.tool);
    else
        modumc(" ", 0);
    if (c.manual_edit) {
        int text_line = 0;
        modmc("MANUAL EDIT", text_line);
    }
    return true;
}

// STOP accepted: the answer is told to the host; any answer but NO stops the execution. Answers
// false for NO (the page is shown again), true when the stop found no restart point to go back to
// (the menu is then left as on quit).
bool ask_stop()
{
    int answer = kNo;
    const int operation = nc_host_operation();
    if ((operation == 10 || operation == 15) && nc_selected_procs() > 1)
        rplyal("STOP EXECUTION?", answer);
    else
        irepyc("STOP EXECUTION?", answer);
    gs_interpt(kStopAnswer, answer);
    if (answer == kNo) return false;
    reset_interaction_mode();
    exec_stop_unwind();
    return true;
}

void manual_edit()
{
    int status = 0;
    const bool trimming = machining_type() == kTrimming;
    if (trimming) edit_seams().goto_last_added_block(kMarkPosition, status);
    // Browsing only: the procedure being written, no rights but the seventh word, the cursor
    // starting on the last motion, nothing blanked at the end.
    const std::array<int, 7> browse{0, 0, 0, 0, 0, 0, 1};
    int start_at_end = 1, changed = 0;
    edit_seams().manedt(-1, browse, start_at_end, 0, changed, status);
    if (trimming) edit_seams().goto_last_added_block(kBackToMark, status);
}

// Runs the page until it is left; answers true when it was accepted with BY STEP.
bool run_page(menu_choices& c)
{
    exec_display_words& w = exec_words();
    for (;;) {
        if (!show_page(c, w.step_count)) return false;
        int answer = 0;
        modif1(answer);
        if (answer == kAccept && c.execution == c.stop()) {
            if (ask_stop()) return false;
            continue;
        }
        if (answer == kAccept || answer == kQuit) {
            reset_interaction_mode();
            return answer == kAccept && c.execution == c.by_step();
        }
        if (answer == kCancel) {
            reset_interaction_mode();
            exec_stop_unwind();
            return false;
        }
        if (answer == kManualEditLine && c.manual_edit)
            manual_edit();
        else
            gsclr(kHighlightSets, kHighlightSet);
    }
}

// Applies the tool display choice unless it is the one in force.
void apply_tool_choice(int choice, int mode)
{
    const int c = choice - 1;
    const int now = tler();
    if ((now <= 2 && c == now) || (now == kTlerNoMotion && c == 4) || (now == kTlerNoFast && c == 3)) return;
    exec_display_words& w = exec_words();
    set_fast_display(0);
    if (c >= 0 && c <= 2)
        set_tler(c);
    else if (c == 3) {
        set_tler(kTlerNoFast);
        set_fast_display(1);
    } else if (c == 4) {
        set_tler(kTlerNoMotion);
    }
    w.display_changed = 1;
    if (tler() != kTlerNoFast) {
        w.tool_visible = 1;
        if (mode == kMenuNoMoves) w.motions_hidden = 0;
    } else {
        w.motions_hidden = 1;
        if (mode == kMenuNoMoves) w.tool_visible = 0;
    }
}

// The tool is shown while TLER is below 2, not shown above.
void show_or_hide_tool()
{
    const int instance = tm_inst_id(-1);
    if (tler() < 2 && instance < 0)
        draw_tool_at_current();
    else if (tler() > 1 && instance >= 0)
        tm_inst_delete();
}

}  // namespace

void exec_pause_menu(int mode)
{
    int held = 0;
    rel_table_init_get(held);
    bool hold_given_back = false;
    auto give_back_hold = [&] {
        if (!hold_given_back && held) rel_table_init_set(held);
        hold_given_back = true;
    };
    give_back on_exit(give_back_hold);
    if (!uitr_is_set()) return;
    if (machining_type() == kTrimming) {
        reset_interaction_mode();
        edit_seams().trim_menu_reset();
    } else {
        int key = 0;
        modkey(key);
        if (key > 0) return;
    }
    std::string prompt;
    rdprmc(prompt);
    give_back_hold();
    msg_line_show(kInterruptLine, 0, 0);
    if (LSP2().at(move_writer_state::kStringClosed) == 0) PCLSST(-1);

    exec_display_words& w = exec_words();
    menu_choices c;
    c.tool = preselected_tool_choice();
    if (mode == kMenuMovesWritten) ncd_get_last_block_key(-1, w.last_block);
    status_repaint(kStatusWindow);
    c.three = mode == kMenuMovesWritten && machining_type() != kTrimming;
    c.execution = w.step_mode && mode == kMenuMovesWritten ? c.by_step() : kResume;
    c.tool_line = machining_type() != 34 && machining_type() != 35;
    c.manual_edit = mode == kMenuMovesWritten && proc_nc_function() != 38;
    // A stop leaves by an exception: the page's interaction is ended on that road too.
    unwind_only end_page([] { reset_interaction_mode(); });

    const bool by_step = run_page(c);
    msg_line_show(kResumeLine, 0, 0);
    if (by_step) set_display_countdown(w.step_count);
    w.step_mode = by_step ? 1 : 0;
    if (c.tool_line) apply_tool_choice(c.tool, mode);
    show_or_hide_tool();
    reset_interaction_mode();
    prog_redraw();
    prmpxc(prompt);
    if (mode == kMenuMovesWritten) {
        block_key now;
        ncd_get_last_block_key(-1, now);
        int status = 0;
        if (!(now == w.last_block)) ncd_set_block_position(w.last_block, status);
    }
}
