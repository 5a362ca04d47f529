// The two NC texts of a procedure (the 20- and the 12-character text of the TXT2 record) and the
// copies the change analysis takes of them: reading them at every define step, taking the copies
// and telling whether the texts changed since.
#pragma once

// Both texts become "No Text" (terminated, blank-filled behind); with editing set (EDA2 word 1)
// the module-data record "TXT2" is then read over the whole record.
void txt2_read(int editing);

// The copies := the texts, blank-padded to 20 and 12 characters.
void nc_text_copies_take();

// 1 when the 12- or the 20-character text differs from its copy, else 0.
int nc_texts_changed();
