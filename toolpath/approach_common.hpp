// What the approach and retract files share: the heights and switches they read, the feed modes
// and the single moves they write. Used only by the approach, retract and surface-link files.
#pragma once

#include "toolpath/tp_blocks.hpp"

// Feed modes (machine slot 1).
inline constexpr int kFeedBase = 1, kFeedPlunge = 3, kFeedRapid = 4, kFeedDown = 26, kFeedStored = 27;

// The heights and switches of HEI8 and the execution display mode, read once per call.
struct retract_heights {
    float clearance = 0.0f;        // C, HEI8 word 0
    float absolute = 0.0f;         // A, word 24
    float incremental = 0.0f;      // I, word 48
    float top_level = 0.0f;        // T, word 75 (1e9 or more: none)
    bool clearance_plane = false;  // word 73
    bool use_absolute = false;     // word 76
    int exec_mode = 1;             // the execution display mode
};
retract_heights read_heights();

// The host's NC function code and whether it is one of the surface functions 34, 38 and 48.
int nc_function_code();
bool surface_function(int code);

// The current position of DSP8.
point3 current_position();
point3 with_z(const point3& p, float z);

// Dimension mode 3 is reported with the routine's message and taken as 1.
int checked_dimension(const char* message, int dimension);

// One linear move at the feed in force (PLINE_entry).
void move_to(int dimension, const point3& point, const point3& direction, int& status);
// One move straight up to z at the current XY when the tool is not above z, otherwise across at
// the current z to the XY of target.
void rise_or_cross(int dimension, float z, const point3& target, const point3& direction, int& status);

// "WARNING, CLEARANCE PLANE MIGHT BE TOO LOW" while the clearance warning is armed; disarms it.
void warn_clearance_low();
