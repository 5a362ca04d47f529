// The SERVICE page of the procedure dialogs: the tool-path header texts, the tool and motion
// display mode (TLER), the listings (tool path, procedure headers, tool list, procedure list), the
// criteria and relation lists, the part box, post-processor messages, the go-to-point dialog, the
// origin, the backups and the clearance heights (HEI8). The procedure top menu opens it.
#pragma once

inline constexpr int kServiceItemFlags = 9, kServiceOptionFlags = 7;

// list_level: non-zero on the stored tool path as a whole (the top menu passes 0); current_list:
// non-zero when the listings work on the current tool path; no_display: EDA2 word 5 (groups 1 to
// 5 hidden, one answer); goto_mode: the service kind handed to GO TO POINT. item_flags and
// option_flags show the items (option flag 3 is 1 on every return). status: the page's last
// answer, negative when the interaction cannot start. Reads and writes TLER, HEI8, UPW2 (word 0
// the backup switch 1 OFF / 2 ON, word 1 the passes between backups), the save-approximation
// choice; reads NPT1 and CLP1; the procedure's segment-27 flag words are put back on return.
void service_menu(int& list_level, int& current_list, int& no_display, int& goto_mode,
                  int (&item_flags)[kServiceItemFlags], int (&option_flags)[kServiceOptionFlags], int& status);
