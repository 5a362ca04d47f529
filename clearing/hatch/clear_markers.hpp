// The LAYER markers of the clearing passes: the hatch clearing brackets the passes of every Z
// level between an opening marker that carries the level's Z (followed by one move to the tool's
// current position) and a closing marker. The block listings and the manual editor's layer steps
// find the levels by them.
#pragma once

// The LAYER bracket: kind 2 of the marker stack, code 3 opens, code 4 closes.
inline constexpr int kLayerBracket = 2, kLayerOpen = 3, kLayerClose = 4;

// Opens the LAYER with the level Z, then writes one linear move (even of zero length) to the
// current position of DSP8 with the given dimension mode: with mode 3 the tool axis, otherwise
// the normal. Status of the marker writer or of the move.
void clr_mrkr_start_move(int dimension, float level_z, int& status);
// Closes the LAYER. Status of the marker writer.
void clr_mrkr_end(int& status);
