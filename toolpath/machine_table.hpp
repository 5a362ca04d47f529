// The machine table: PRM9 (machine parameters), the machine type of the table (item 0) and the
// machine-table extension (items 55 to 64); its reader RMCHTB and segment-23 writer wmchtb, the
// value kinds NTBDEF, and the MCHPRM entity reader.
#pragma once

#include "host/words.hpp"

#include <array>

// PRM9, 23 words, saved and restored with the NC state blocks under "PRM9".
struct machine_params {
    static constexpr int kWords = 23;
    // Words by meaning (the machine-table item in brackets).
    static constexpr int kBaseFeed = 0;       // r [1]
    static constexpr int kCuttingSpeed = 1;   // r [2]
    static constexpr int kFeedPercent2 = 3;   // i [4] feed mode 2
    static constexpr int kFeedPercent3 = 4;   // i [5] feed mode 3
    static constexpr int kFeedPercent25 = 5;  // i [51]
    static constexpr int kFeedPercent26 = 6;  // i [52]
    static constexpr int kSpindleSpeed = 7;   // i [6]
    static constexpr int kDirection = 8;      // i [7] 1 positive, 2 negative, other none
    static constexpr int kCoolant = 9;        // i [8]
    static constexpr int kToolId = 11;        // i [10] -1 none
    static constexpr int kCutterComp = 12;    // i [11] 0 off, 1 on
    static constexpr int kNibblePitch = 13;   // r NPITCH (parameter type 51)
    static constexpr int kNibble = 14;        // i NIBBL (52)
    static constexpr int kPunch = 15;         // i PUNCH (53)
    static constexpr int kIndex = 16;         // r INDEX (54)
    static constexpr int kUcs = 17;           // i the value of parameter type 55
    static constexpr int kStoredFeed = 21;    // r [53] -2.0 none
    static constexpr int kMotionForm = 22;    // i [54]
    std::array<word, kWords> words{};

    float real(int index) const { return word_to_real(words[static_cast<std::size_t>(index)]); }
    void set_real(int index, float value) { words[static_cast<std::size_t>(index)] = real_to_word(value); }
    void from_words(const word* in, int n);
    void to_words(word* out) const;
};

// Item 0 (the machine type recorded in the table) and the extension, items 55 to 64 in words
// 0-9 (items 57 to 60 reals), which the host keeps through plg_mchtbl_mdput/plg_mchtbl_mdget.
struct machine_table_extra {
    word machine_type = 0;
    std::array<word, 10> ext{};
};

machine_params& PRM9();
machine_table_extra& mch_table_ext();

// Value kind of a machine-table item: 1 real, 0 integer (unknown items reported, 0).
int NTBDEF(int item);

// Reads a machine table into PRM9, item 0 and the extension. length: in for WHERE 10, else out.
void RMCHTB(int where, int& length, int& status);
// Writes segment 23 for machine-parameter type M; length returns the segment's length.
void wmchtb(int where, int machine_param_type, int& length, int& status);
// Reads the machine table of a MCHPRM entity (class 9, type 5).
void get_mchprm(int entity_id, int& length, int& status);
