// Post-processor messages and codes between the procedures of the tool path: text blocks (type
// 4) of at most 80 characters whose first character gives the kind (blank a message, "$" a code
// with sequence number, "*" a code without, "@" the name of a user-defined block). INSMSG inserts
// them at a chosen place, EDTMSG walks through them and deletes or replaces them; both work in
// the host's dynamic menu and a one-line text area of the main window. The display and message
// menu of the go-point dialogs calls INSMSG; msg_blank_apply serves the procedure driver.
#pragma once

#include <string>

// The text area of a dialog: its left column and row, and its width (the window's last column
// less the left column, at most 84).
struct msg_text_area {
    int column = 0;
    int row = 0;
    int width = 0;
};
// The areas of the insertion (0) and the editing (1) dialogs.
msg_text_area msg_area(int dialog);

// The dialogs' own words: the start procedure handed to the target selection (in/out).
struct msg_dialog_state {
    int target_start = 1;
};
msg_dialog_state& msg_dialog();

// Inserts messages and codes, before the chosen target procedure when target_select is set, else
// at the list position (before the messages directly preceding it); entered becomes 1 when any
// was written. Status 0; -3 with "INSMSG, ERRORS IN LIST" on a list failure.
void INSMSG(int target_select, int& entered, int& status);
// Edits the messages of the tool path. Status 0; -1 with "EDTMSG, ERRORS IN LIST".
void EDTMSG(int& status);

// The number of blocks of the class (tp_list_access.hpp: 4 text, 8 procedure) in the top list;
// the list position is kept.
void count_class_blocks(int block_class, int& count, int& status);
void count_msg_blocks(int& count, int& status);
// Shows the next (direction 1) or previous message; current is its block number, -1 when the
// search ran off the list ("LAST MESSAGE EXCEEDED", "FIRST MESSAGE EXCEEDED"). Status -1 for a
// stored text whose count lies outside 2 to 80, or the status of a failing step.
void msg_show_next(int direction, int column, int row, int width, int& current, int& status);
// Reads a text of the kind and writes its block: new after the list position (current -1), or
// in place of the current message (the old block deleted forward or back by direction). Status 0;
// -2 when nothing was typed (nothing written); -3 when a list step failed.
void msg_enter(int kind, int column, int row, int width, int direction, int& current, int& status);
// Moves the list position back before the message blocks that directly precede the place after
// it, so that a block written next goes before them.
void msg_skip_back(int& status);
// Blanks the procedure's blocks in the display once while an existing procedure is edited (EDA2
// words 1, 2 and 11 from module data "EDA2"); both words end as 0.
void msg_blank_apply(int& request, int& second);
