// The host's data menu: a list of entries shown beside the graphics from which the user picks.
#pragma once

// Takes the user's input from the data menu: item receives the picked entry (1 and up), or -1
// (leave) or -2 (stop); values (count words, mode: the kind of input) are left untouched (the
// stand-in's data menu carries no entry data). Answered by the script as a menu event of call
// "dminpt"; without a step the user leaves (-1).
void dminpt(int& item, int* values, int count, int mode);
