// Host calls behind master entities and symbol placement: the current part file name, the part
// context (saved and restored around reads of another part's catalogue), the resolution of
// masters that refer to another part file or to a view, views and their transformations, the
// drawing mode, a list menu with a status-line item, and the bell.
//
// Views (class 15, types 3, 4 and 8) hold, in words: the view kind, the 6-character name in two
// text words, 9 reals of the view matrix (row after row) and 3 reals of its origin.
#pragma once

#include <string>
#include <string_view>

// The file name of the current part (as loaded or given to the host; "" when none).
void gtpfnm(std::string& name);
// Saves the part context (a stack); restores the last saved one. rtcrpr: status -1 when nothing
// was saved.
void svcrpr(int& status);
void rtcrpr(int& status);
// Opens the catalogue of another part file for name look-ups: status 0, or -1 when the file does
// not exist. The stand-in keeps one entity database, so the look-ups still see this part.
void opncat(std::string_view part_file, int& status);
// Resolves a master that refers to another part file (class 14, type 2 or 5) or to a view
// (type 3) to an entity of this part: resolved_id > 0, or 0 for a master placed with the unit
// frame. Status 0, or -1 when the host cannot resolve it.
void setnpf(int master_id, int& resolved_id, int& status);
// The view's matrix (row after row) and origin. Status 0, or -1 when id is no view.
void viewtr(int view_id, float (&matrix)[9], float (&origin)[3], int& status);
// The view's 6-character name and kind. Status 0, or -1 when id is no view.
void gvvnmt(int view_id, std::string& name, int& view_kind, int& status);
// 1 when the drawing is in 2-D mode, else 0.
int d2mode();
// The current view's transformation ("WVPTR"): its 3x3 matrix, row after row. Status 0, or -1
// for another name.
void wvgetc(std::string_view name, float (&matrix)[9], int& status);
// Clears the selection highlight.
void slclr();
// Sounds the bell.
void bell();
// A list menu: the "@"-separated lines, and an item shown on the status line ("" none) that is
// cleared after the choice. choice: the line (from 1), -3 the status-line item, -1 cancel,
// -2 back. Answered by the script as a menu whose last choice is the status-line item.
void dmsmnu(std::string_view lines, std::string_view status_item, int& choice);
// Mode 1: the id of the current application (host flag "application", 0 by default), which a
// master's owner attribute "PR" names. Other modes leave it untouched.
void gsappl(int mode, int& application);
// The host's modal message `number` of its catalogue with one text filled in (the stand-in
// records it in the trace as "number text").
void msg_modal(int number, std::string_view text);
