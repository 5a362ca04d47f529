// connect_params: the connection and approach settings that the trimming and editing code fills
// (set_connect_params, edit/editor/connect_tables.hpp) before it writes a connection, and that the
// approach and retract motions of the motion output read: the surface retract and approach
// (SRFRET, SRFAPR), the Z approach (ZAPR), the end-of-string retract (STREND), the rapid move
// (FAST2M) and the milling statement (MILST2). Zero at load.
#pragma once

#include "host/words.hpp"

#include <array>

struct connect_params {
    int approach_kind = 0;                 // 1 "SRF. Z UP APP." .. 7 "SRF. HOR. TAN. APP."
    float approach_distance = 0.0f;        // DEL Z-UP: the height of the Z-up moves
    float lateral_distance = 0.0f;         // SRF. APPROACH: the length of the surface approach
    float arc_radius = 0.0f;               // SRF. ARC RADIUS of the approach and retract arcs
    float check_tolerance = 0.0f;          // REF.SRF.TOL.: the arc chord and the cutter location
    float check_values[2] = {0.0f, 0.0f};  // the two line-net words, handed to the touch query
    int gouge_check = 0;                   // surface mode: non-zero takes the reference-surface branch
    int list_counts[2] = {0, 0};           // counts of the procedure's two reference-surface lists; kept only
    std::array<word, 2> height_words{};    // two words of HEI8 (through-clear word, incremental height); kept only
    // Skip-next-retract: set by SRFRET and MILST2, consumed and cleared by STREND and FAST2M.
    int direct_link = 0;
    // Surface-retract-written: set by the Z-up retract of SRFRET, read by MILST2.
    int direct_link_request = 0;
};

// The module's one block.
connect_params& connect_params_block();
