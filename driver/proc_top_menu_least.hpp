// The common top lines of a procedure parameter dialog and the carrying out of the top item the
// user chose. The pocket dialog calls both. Least version: the title line, the free text, the
// machining-parameters and service lines are placed and recognised, but no top item does more
// than show the page again; the driver-periphery issue completes them and replaces this file,
// keeping these names.
#pragma once

// Item map words: the line of each top item (0 absent).
inline constexpr int kTopMenuItems = 9;
inline constexpr int kTopFreeText = 2, kTopMachining = 3, kTopService = 4;

// Starts the interaction and places the top lines; item_count answers the lines placed, after
// which the dialog's own lines follow. Status 0, or the host's negative status.
void proc_top_menu(int kind, int page_count, const int* flags, int (&item_map)[kTopMenuItems], int& item_count,
                   int& status);
// Runs the page: answer the line chosen (0 accept, -1, -2 leave, -3 show again). A top item
// gives redisplay 0 (the page is shown again); tool_changed answers whether the current tool
// changed.
void proc_top_menu_do(int kind, const int (&item_map)[kTopMenuItems], int& answer, int& tool_changed, int& redisplay);
