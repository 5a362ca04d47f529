// Small state words that the pocket drawing and entry code share with the display: the drawing
// phase, the reduced-tool flag and limit, an auxiliary pocket flag, and the entry value and entry
// parameter of the pocket. All are 0 at load; procedure start-up resets the phase, the flag and
// the reduced tool.
#pragma once

struct pocket_draw_words {
    int phase = 0;         // the pocket drawing sets 2, then 1, around the move into a pocket
    int reduced_tool = 0;  // clean with the reduced tool while set
    float reduced_limit = 0.0f;
    int aux_flag = 0;
    int entry_value = 0;
    int entry_param = 0;
};
pocket_draw_words& pocket_draw();

void pk_draw_phase_reset();
void pk_draw_phase_set(int& value);
void pk_draw_phase_get(int& value);
void reduced_tool_set(int flag, float& limit);
void reduced_tool_get(int& flag, float& limit);
void pk_aux_flag_reset();
void pk_aux_flag_get(int& value);
// mode 1 answers the word, mode 2 stores it; another mode changes neither word nor argument.
void pk_entry_value_gs(int mode, int& value);
void pk_entry_param_gs(int mode, int& value);
