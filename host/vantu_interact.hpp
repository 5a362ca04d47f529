// Host interaction: interaction modes and the mode line, parameter translations, and the
// dialogs (menus, parameter pages, questions, picks, points, key polls) that a script answers
// in the stand-in.
#pragma once

#include <string_view>

// ---- interaction modes and the mode line ------------------------------------------------------
// Starts interaction mode `mode` with its mode line at (row, column); modint(0, 0, 0, 0, ...)
// ends the current mode.
void modint(int mode, int row, int column, int flag, int& status);
void ofmod(int mode, int& status);               // 1 mode-line output on, 2 off
void ofwric(std::string_view text, int& status); // writes the mode-line prompt
void gsclr(int what, int set);                   // clears highlight set `set`
void ncr_mdnxt_get(int& mode);
void ncr_mdnxt_set(int mode);
void mdnxt_set(int mode);

// ---- parameter translations -------------------------------------------------------------------
void nu_trns_add(int message, int parameter, int kind, int second_message, int& status);
void nu_trns_sort(int& status);
void nu_trns_rels();
