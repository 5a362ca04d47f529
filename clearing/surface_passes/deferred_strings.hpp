// The strings a pass loop holds back while it links passes end to start: each record keeps the
// lift flag, copies of the points and point counts of the strings, the pass number and the three
// motion codes, until deferred_strings_flush writes them (the link was not made) or drops them.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <array>

// One held-back call of the UP/DOWN motion output: its arrays are host arrays owned by the record.
struct deferred_record {
    int lift_flag = 0;
    int points = -1;  // 3 floats per point of the strings with a positive count; -1: none
    int string_count = 0;
    int counts = -1;  // one word per string; -1: none
    int pass_number = 0;
    std::array<int, 3> motion_codes{0, 0, 0};
};

inline constexpr int kDeferredOpen = 10, kDeferredGrowth = 10;

struct deferred_strings_state {
    int handle = -1;  // host array of deferred_record; -1: no list
    int count = 0;
    int capacity = 0;
};
deferred_strings_state& deferred_strings();

// Appends a record for the strings (point_counts[s] points each, one after another in points).
// Status 0, or the host's negative status when an array cannot be had (nothing appended then).
void deferred_strings_add(int lift_flag, const point3* points, int string_count, const int* point_counts,
                          int pass_number, int code1, int code2, int code3, int& status);
// With write non-zero, writes every record in order through the UP/DOWN motion output (motion
// code 3, the record's lift flag as its approach, normals (0, 0, 1), its pass number and motion
// codes); then closes every record's arrays and the list. Status: the first negative status of a
// write; the list is closed anyway.
void deferred_strings_flush(int write, int& status);

// Hands strings (point_counts[s] points each, one after another) to the UP/DOWN motion output as
// one statement of motion code 3, the lift flag as its approach, every direction (0, 0, 1), with
// the pass number and the three motion codes (start marker, end marker, bracket) its markers
// carry. The pass linking and the flush above write through it.
void link_strings_out(int lift_flag, const point3* points, int string_count, const int* point_counts, int pass_number,
                      const std::array<int, 3>& motion_codes, int& status);
