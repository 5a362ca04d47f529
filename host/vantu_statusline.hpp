// The machine status line of the host's main window and the NC state blocks handed to the host
// for it: fourteen text fields per window, painted between the paint brackets; the host keeps
// its own copies of the blocks the module hands over (mode 2) and gives them back (mode 1).
#pragma once

#include "host/words.hpp"

#include <string_view>

// Fields of the status line (numbered 1 to 14) and their width.
inline constexpr int kStatusFields = 14;
inline constexpr int kStatusFieldChars = 12;

// Shows text (at most length characters, blank-padded to kStatusFieldChars) in field `field` of
// group `group` (1, or 2 for field 13) of the window's status line; flag 1 shows it highlighted.
// A field outside 1..14 is refused (nothing shown).
void bmshow(int window, int group, int field, std::string_view text, int flag, int length);
// Brackets of one paint of the main window.
void win_start_paint_on_main_wnd();
void win_end_paint_on_main_wnd();
// Updates the host's graphics (mode 0: at once).
void grpupd(int mode);

// The host's copies of the NC state blocks the status line reads: mode 2 hands count words to
// the host, mode 1 takes the host's copy back (at most count words; nothing when it has none).
// gsncpt NPT1, gsdisp DSP8, gsdism DSM4, gsmach PRM9, gstlpr the current-tool block, gsrtxs RAXN.
void gsncpt(int mode, word* words, int count);
void gsdisp(int mode, word* words, int count);
void gsdism(int mode, word* words, int count);
void gsmach(int mode, word* words, int count);
void gstlpr(int mode, word* words, int count);
void gsrtxs(int mode, word* words, int count);
// The length of the tool name the status line shows: mode 2 sets it, mode 1 reads it.
void gstlgn2(int mode, int& length);
