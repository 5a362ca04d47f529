// Attributes of the host's display file of the tool path: the blank and fast-blank attributes and
// the font, colour and pen of the blocks drawn next (set by the procedure block writer, the block
// display and the drawing calls setlf, setclr and setpen), and a saved copy of them.
#pragma once

// Sets the blank attribute of the blocks drawn next (0: shown).
void ncd_update_blank_attribute(int blank);
// Sets the fast-move blank attribute of the blocks drawn next (1: hidden while the host does not
// show fast moves).
void ncd_update_fast_blank_attribute(int blank);
// Sets the line font, colour and pen of the blocks drawn next; a font of -1 keeps the font.
void ncd_update_current_attrs(int font, int colour, int pen);
// The drawing attributes one by one: line font, colour, pen.
void setlf(int font);
void setclr(int colour);
void setpen(int pen);
// Keeps a copy of the current colour, font and pen (pull) and puts it back (push); a push
// without a kept copy changes nothing.
void ncd_pull_color_font_pen();
void ncd_push_color_font_pen();
