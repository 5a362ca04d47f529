// The display services the procedure run needs around an execution: the tool's dimensions kept
// across it, the XOR tool display, the tool drawn at the current position, the display of one
// procedure (DSPROC), the block counter and the status-line fields of a procedure, and the resets
// of the display and pocket-drawing words at a procedure start. Least version until the tool-path
// display is built: the words are kept and the tool is drawn as its symbol instance; nothing else
// is painted. The display issue replaces this file, keeping these names.
#pragma once

// Saved dimensions of the current tool while an execution runs.
struct tool_dims_state {
    int saved = 0;                // 1 once a save was made
    float mill_diameter = 0.0f;
    float corner_radius = 0.0f;
    float cut_length = 0.0f;
};
tool_dims_state& tool_dims();

// When the current tool of PRM9 has the attribute "TY" 2: its mill diameter, corner radius and
// cutting length are saved, or written back into the current tool.
void tool_dims_save();
void tool_dims_restore();

// The tool as an XOR instance during an execution: on marks the display; off deletes the
// instance, draws the tool normally at the current position and clears the mark.
void tool_xor_on();
void tool_xor_off();
int tool_xor_shown();

// Draws the tool at the point with the default axis (0, 0, 1); instance: -1 when it cannot be
// drawn.
void draw_tool_default(int tool_id, const float (&point)[3], int& instance);
// Draws the current tool of PRM9 at the position and axis of DSP8 and makes it the tool instance.
void draw_tool_at_current();

// Displays one procedure of the tool path by display mode. Status 0.
void DSPROC(int mode, int& status);

// The block counter of the block display; 0 makes the next block display repaint the status line.
void displb_set_count(int n);
int displb_count();

// The fields of the machine status line that show a procedure: the 8-character label with "="
// and the value, and the block number ("BLK=").
struct status_fields {
    char label[9] = {};
    int value = 0;
    int block = 0;
};
status_fields& status_line_fields();
void status_show_label_int(int window, const char* label, int value, int width);
void MUTBLN(int window, int value);

// Resets at a procedure start: the five-word display state, the three display words of the NC
// display file, the pocket drawing phase and auxiliary flag, and the reduced-tool setting (flag
// and limit).
void disp_state_reset();
void display_words_reset();
void pk_draw_phase_reset();
void pk_aux_flag_reset();
void reduced_tool_set(int flag, float value);
void reduced_tool_get(int& flag, float& limit);
