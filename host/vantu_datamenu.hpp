// The host's data menu: a list of entries shown beside the graphics from which the user picks.
// The dynamic menu fills it with texts of the caller (dmmini, dmdefn, dmshow) and marks entries
// (dmatt); dminpt takes the user's choice.
#pragma once

#include <string_view>

// The data menu: a column of names (dminz5 starts an empty one whose entries are `width`
// characters wide; dmdefc adds one entry, cut to the width) or a dynamic menu (dmmini, dmdefn,
// dmatt); dmshow shows it. The entries stand until the next dminz5 or dmmini.
void dminz5(int width);
void dmdefc(std::string_view text);
// Takes the user's input from the data menu: item receives the picked entry (1 and up), or -1
// (leave) or -2 (stop); values (count words, mode: the kind of input) are left untouched (the
// stand-in's data menu carries no entry data). Answered by the script as a menu event of call
// "dminpt" whose text lists the entries defined ("data menu: A@B"); a step may name an entry by
// its text; without entries they go by number only. Without a step the user leaves (-1).
void dminpt(int& item, int* values, int count, int mode);

// Starts an empty dynamic menu (not shown yet).
void dmmini();
// Defines entry `item` (1 to 40) with its text; an entry beyond the defined ones leaves empty
// entries before it. Status 0; -1 for an item outside 1..40 (nothing defined).
void dmdefn(int item, std::string_view text, int& status);
// Shows the menu as defined.
void dmshow();
// Marks entry `item`: attribute 1 highlights it, 0 shows it plainly; other entries keep theirs.
void dmatt(int item, int attribute);
