// Interaction modes with a mode line: every dialog that lets the user pick entities or points
// starts, switches and ends its host interaction mode through these routines, so all of them
// use the same mode-line rows and columns.
#pragma once

// One mode-line layout: the first three arguments of the host's modint.
struct mode_line_layout {
    int mode_id;
    int row;
    int column;
};

// The mode-line layouts and their companions, set by mode_line_init at every NC state restore.
struct ui_display_state {
    mode_line_layout plain;     // picking without a prompt: row 28 on a screen above 1000 pixels, else 22
    mode_line_layout picking;   // picking with a prompt in the mode line: row 22
    mode_line_layout third;     // row 7 on a screen above 1000 pixels, else 6; column 12
    int restart_highlight_set;  // highlight set cleared when a mode restarts (1)
    int end_highlight_set;      // highlight set cleared when a mode ends (0)
    int layout_word_3;          // fixed words of the layout block (3 and 13), kept for its readers
    int layout_word_13;
    int step_countdown;     // BY STEP countdown of the execution menu (0)
    int block_display_key;  // block-display state: key (-1) and count (0)
    int block_display_count;
};

extern ui_display_state ui_display;

// Fills the layouts from the host's screen height and sets the host's next mode to 0.
void mode_line_init();
// Starts (or restarts) interaction mode `mode`. Without prompt: the plain layout; restarting
// the current mode clears highlight set 1 instead of changing the current mode; on success the
// host's next mode is taken over. With prompt: the picking layout, mode-line output on and a
// blank prompt. A current mode below 1 first ends any mode. A negative host status is returned
// and the later steps skipped.
void begin_pick_mode(int with_prompt, int mode, int& current_mode, int& status);
// As begin_pick_mode with the caller's column in place of the layout's.
void pick_mode_switch(int with_prompt, int column, int mode, int& current_mode, int& status);
// Starts interaction mode `mode` with the third layout.
void modint_third_layout(int mode, int& status);
// Flag set: writes the prompt and switches mode-line output off. Flag 0: ends the mode.
void pick_mode_prompt(int flag, int& status);
// Clears highlight set 0, ends the host interaction and sets the host's next mode to 0.
void reset_interaction_mode();
