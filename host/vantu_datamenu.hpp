// The host's data menu: a list of entries shown beside the graphics from which the user picks.
#pragma once

#include <string_view>

// Starts an empty data menu whose entries are `width` characters wide; dmdefc adds one entry (cut
// to the width); dmshow shows the menu. The entries stand until the next dminz5.
void dminz5(int width);
void dmdefc(std::string_view text);
void dmshow();
// Takes the user's input from the data menu: item receives the picked entry (1 and up), or -1
// (leave) or -2 (stop); values (count words, mode: the kind of input) are left untouched (the
// stand-in's data menu carries no entry data). Answered by the script as a menu event of call
// "dminpt" whose text lists the entries defined; without a step the user leaves (-1).
void dminpt(int& item, int* values, int count, int mode);
