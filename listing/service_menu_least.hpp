// The SERVICE page of the procedure dialogs, as the top menu of a parameter dialog opens it.
// Least version until the menus and listings are built: a page that changes nothing.
#pragma once

inline constexpr int kServiceItemFlags = 9, kServiceOptionFlags = 7;

// list_level: non-zero on the stored tool path as a whole (the top menu passes 0); current_list:
// non-zero when the listings work on the current tool path; no_display: EDA2 word 5; goto_mode:
// the service kind by machine type. status: the page's answer (0), negative when the interaction
// cannot start.
void service_menu(int& list_level, int& current_list, int& no_display, int& goto_mode,
                  int (&item_flags)[kServiceItemFlags], int (&option_flags)[kServiceOptionFlags], int& status);
