// Attributes of the host's display file of the tool path: the procedure block writer sets the
// blank attribute and the font, colour and pen of the blocks drawn next.
#pragma once

// Sets the blank attribute of the blocks drawn next (0: shown).
void ncd_update_blank_attribute(int blank);
// Sets the line font, colour and pen of the blocks drawn next; a font of -1 keeps the font.
void ncd_update_current_attrs(int font, int colour, int pen);
