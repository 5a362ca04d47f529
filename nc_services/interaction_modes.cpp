// Interaction-mode helpers over the host's modint and mode-line output.
#include "nc_services/interaction_modes.hpp"

#include "host/vantu.hpp"

ui_display_state ui_display;

namespace {

// Screens taller than this get the mode line lower down.
constexpr int kTallScreen = 1000;
// The host's highlight-clearing call works on highlight sets with this selector.
constexpr int kHighlightSets = 2;
constexpr int kOutputOn = 1, kOutputOff = 2;
constexpr const char* kBlankPrompt = " ";

// Starts the host interaction with a layout; the requested mode goes as modint's fourth word.
void start_interaction(const mode_line_layout& layout, int column, int mode, int& status)
{
    modint(layout.mode_id, layout.row, column, mode, status);
}

void start_with_prompt(int column, int mode, int& status)
{
    start_interaction(ui_display.picking, column, mode, status);
    if (status < 0) return;
    ofmod(kOutputOn, status);
    if (status < 0) return;
    ofwric(kBlankPrompt, status);
    if (status < 0) return;
    status = 0;
}

void start_without_prompt(int column, int mode, int& current_mode, int& status)
{
    if (current_mode == mode)
        gsclr(kHighlightSets, ui_display.restart_highlight_set);
    else
        current_mode = mode;
    start_interaction(ui_display.plain, column, mode, status);
    if (status < 0) return;
    status = 0;
    int next_mode = 0;
    ncr_mdnxt_get(next_mode);
    mdnxt_set(next_mode);
}

void start_pick_mode(int with_prompt, int column, int mode, int& current_mode, int& status)
{
    if (current_mode < 1) reset_interaction_mode();
    if (with_prompt)
        start_with_prompt(column, mode, status);
    else
        start_without_prompt(column, mode, current_mode, status);
}

}  // namespace

void mode_line_init()
{
    bool tall = modhix() > kTallScreen;
    ui_display.plain = {-1, tall ? 28 : 22, 4};
    ui_display.picking = {-1, 22, 4};
    ui_display.third = {-1, tall ? 7 : 6, 12};
    ui_display.restart_highlight_set = 1;
    ui_display.end_highlight_set = 0;
    ui_display.layout_word_3 = 3;
    ui_display.layout_word_13 = 13;
    ui_display.step_countdown = 0;
    ui_display.block_display_key = -1;
    ui_display.block_display_count = 0;
    ncr_mdnxt_set(0);
}

void begin_pick_mode(int with_prompt, int mode, int& current_mode, int& status)
{
    const mode_line_layout& layout = with_prompt ? ui_display.picking : ui_display.plain;
    start_pick_mode(with_prompt, layout.column, mode, current_mode, status);
}

void pick_mode_switch(int with_prompt, int column, int mode, int& current_mode, int& status)
{
    start_pick_mode(with_prompt, column, mode, current_mode, status);
}

void modint_third_layout(int mode, int& status)
{
    start_interaction(ui_display.third, ui_display.third.column, mode, status);
}

void pick_mode_prompt(int flag, int& status)
{
    if (!flag) {
        reset_interaction_mode();
        return;
    }
    ofwric(kBlankPrompt, status);
    if (status < 0) return;
    ofmod(kOutputOff, status);
}

void reset_interaction_mode()
{
    gsclr(kHighlightSets, ui_display.end_highlight_set);
    int status = 0;
    modint(0, 0, 0, 0, status);
    ncr_mdnxt_set(0);
}
