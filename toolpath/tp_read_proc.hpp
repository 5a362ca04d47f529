// Reading a procedure block (type 12): its head, and the state its motion blocks need before they
// can be read or shown: the read transformation, the heights flags, the display words of DSP8,
// the flag segment and the machine table.
#pragma once

#include "host/words.hpp"

#include <array>

struct tp_proc_block {
    int number = 0;
    int proc_type = 0;
    int display_mode = 1;                       // segment 24 item 31: 1, or 2 and 3 (the reader's status 1, 2)
    int transformation_id = -1;                 // item 45; -1 none
    int transformation_mode = 0;                // item 46: 2 ignores the id unless read with WHERE 1, 4, 6, 10
    int absolute = 0;                           // item 48 is 1: the absolute height replaces the incremental rule
    std::array<word, 10> absolute_height{};     // first 10 words of item 49
    std::array<word, 10> incremental_height{};  // first 10 words of item 50
    word item129 = 0;                           // item 129
    word sublist_word = 0;                      // the third value word of top-level item 1 (the sub-list link)
    int mchprm_id = 0;                          // entity form: the MCHPRM entity of the machine parameters
};

// Reads the global-parameter items of segment 24 that reading needs; the position stands after
// the segment's code word. Other items are skipped. Status 1 or 2 from item 31.
void tpread_seg24(int where, tp_proc_block& block, int& status);
// Reads item 1 after its code word: its count and type words and its values; keeps the third.
void tpread_seg1(int where, tp_proc_block& block, int& status);

// Reads the procedure block whose type word was read: WHERE 2 and 3 the list, 4 the list (the
// procedure's transformation then holds), 1, 5 and 6 the open entity; 8 to 13 act as 1 to 6 and
// hand the procedure type and block number to the host. Loads the read transformation, DSP8's
// display words, the flag segment (proc_flags) and the machine table (PRM9). Status 0, or 1 or 2
// from item 31 when nothing failed; negative on the first failure.
void tpread_proc(int where, tp_proc_block& block, int& status);
