// connect_params: the connection and approach settings that the trimming and reconnection code
// fills before it writes a connection, read by the approach and retract motions. Least version
// until the trimming is built: the fields the motion output reads, all zero at load; nothing here
// fills them.
#pragma once

struct connect_params {
    int approach_kind = 0;                 // K: 1 "SRF. Z UP APP." .. 7 "SRF. HOR. TAN. APP."
    float approach_distance = 0.0f;        // D1: the Z-up distance
    float lateral_distance = 0.0f;         // D2
    float arc_radius = 0.0f;               // R
    float check_tolerance = 0.0f;          // E
    float check_values[2] = {0.0f, 0.0f};  // handed to the touch query with E
    int gouge_check = 0;                   // G: non-zero checks the lateral moves against the surfaces
    int further[4] = {0, 0, 0, 0};         // not read by the motion output
    // L: set by SRFRET and MILST2, consumed and cleared by STREND and FAST2M.
    int direct_link = 0;
    // Set by the Z-up retract of SRFRET, read by MILST2, cleared by SRFRET on entry.
    int direct_link_request = 0;
};

// The module's one block.
connect_params& connect_params_block();
