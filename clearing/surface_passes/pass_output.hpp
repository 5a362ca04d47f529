// The hand-over of surface strings from the surface pass loop to the UP/DOWN motion output: one
// call per segment (or per one-point link) with the lift flag, the strings from their chosen
// start, their normals and per-point values, the pass number, the three motion codes and the
// feed mode. The call goes through a replaceable entry so that tests can watch what the loop
// writes; it is filled with surface_strings_write at load.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <array>

// Motion codes of surface strings: inside a pass and at its end.
inline constexpr std::array<int, 3> kInnerMotionCodes{15, 16, 8};
inline constexpr std::array<int, 3> kLastMotionCodes{5, 6, 3};
// Feed modes: the base feed and a percentage of it; kFeedKept leaves the mode in force.
inline constexpr int kBaseFeed = 1, kPercentFeed = 25, kFeedKept = 0;

struct surface_strings_call {
    int lift_flag = 0;                // 1: retract and approach before the first string
    int statement_code = 3;           // the milling statement's code (-3 on the first pass)
    const point3* points = nullptr;   // the strings' points one after another
    const point3* normals = nullptr;  // one per point
    const float* values = nullptr;    // one per point (may be null)
    const int* counts = nullptr;      // points of each string
    int string_count = 0;
    int pass_number = 0;
    std::array<int, 3> motion_codes = kLastMotionCodes;
    int feed_mode = kBaseFeed;
};

// Sets the feed mode (unless kFeedKept) and writes the strings as one milling statement through
// updown_motion (directions the tool axis), its markers carrying the motion codes (start marker,
// end marker, bracket) and the pass number. Status: updown_motion's.
void surface_strings_write(const surface_strings_call& call, int& status);

struct surface_pass_output {
    void (*write)(const surface_strings_call& call, int& status) = surface_strings_write;
};
// The entry the pass loop writes through; assign it to watch the calls.
surface_pass_output& surface_pass_output_table();
