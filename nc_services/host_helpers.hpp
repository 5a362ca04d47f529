// Small host calls as the module's code uses them.
#pragma once

#include "host/words.hpp"

// Reads count words of the module-data record whose 4-character key is packed in a word.
// Status 0, or non-zero when the record is missing (values untouched).
void mdgetn_code(word key, int type, int count, word* values, int& status);
// One data-menu input: item receives the picked entry, or -1 / -2 when the user backs out.
void dminpt_single(int& item);
// The local time: year (four digits), month 1..12, day 1..31, hour, minute, second.
void get_date_time(int (&out)[6]);
