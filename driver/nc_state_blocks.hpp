// The NC state blocks the procedure driver owns: CLP1 (procedure colour and pen), EDA2 (the
// procedure edit state), PLN1 (planes) and TPFO (one word for the trimming code), and the
// go-motion choice that the restore resets. Saved and restored by driver/nc_state_store.cpp.
#pragma once

#include "driver/nc_word_block.hpp"

// CLP1: the procedure's colour and pen, written once per run by the preparation step, with the
// tool path the listings treat as current and the level the header texts name.
struct proc_colour_pen : nc_word_block<6> {
    static constexpr int kToolPath = 0;
    static constexpr int kLevel = 1;
    static constexpr int kColour = 3;
    static constexpr int kPen = 4;
};

// EDA2: the edit state of the procedure, 20 words numbered from 1 by its readers.
struct edit_state : nc_word_block<20> {
    static constexpr int kEditing = 1;
    static constexpr int kProcedureNumber = 2;
    static constexpr int kToolPathMoved = 4;
    static constexpr int kViewOnly = 5;
    static constexpr int kNoQuestions = 12;
    static constexpr int kSuspend = 13;

    // Word n counted from 1 (1 to 20).
    word& word_no(int n) { return at(n - 1); }
    word word_no(int n) const { return at(n - 1); }
};

// PLN1: planes. A plane never survives into the next run: the save clears the count and the
// entity ids first.
struct plane_state : nc_word_block<16> {
    static constexpr int kCount = 0;         // 0: none
    static constexpr int kPointId = 1;       // the point picked by the part-plane dialog
    static constexpr int kFirstEntity = 2;   // -1: none
    static constexpr int kSecondEntity = 3;  // -1: none
    static constexpr int kPlane = 4;         // 4 reals
    static constexpr int kThirdEntity = 8;   // -1: none
    static constexpr int kClearingValues = 9;// words 9-15, read by the clearing code

    // What the save does before it writes the block.
    void clear_for_save();
};

// TPFO: one word of tool-path state that the trimming code reads; restored, never saved here.
struct tpfo_state : nc_word_block<1> {};

proc_colour_pen& CLP1();
edit_state& EDA2();
plane_state& PLN1();
tpfo_state& TPFO();

// The go-motion choice of the go-point dialog: 1 GO AT FEED.
inline constexpr int kGoAtFeed = 1;
int& go_motion_choice();
