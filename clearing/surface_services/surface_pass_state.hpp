// The working state of the surface-pass engine of area clearing: what the pass loop carries from
// one pass to the next (the last point written, the lift and link flags, the previous pass's end)
// and what the string search over surfaces and the surface-pass services read or leave for it
// (drop values, side step and direction, normals, the continuation of a hatch line). One instance
// lives for the whole module; the engine never resets it except where its routines say so.
#pragma once

// A surface block: the surface point S and its derivatives Su and Sv at (u, v), three floats each.
struct surface_block {
    float point[3] = {0.0f, 0.0f, 0.0f};
    float du[3] = {0.0f, 0.0f, 0.0f};
    float dv[3] = {0.0f, 0.0f, 0.0f};
};

// Where srflin stopped on a hatch line that a later call continues.
struct surface_line_continuation {
    int continue_flag = 0;  // 1: the next call goes on from the state below
    float normal[3] = {0.0f, 0.0f, 0.0f};
    float u = 0.0f;
    float v = 0.0f;
    surface_block block;
};

struct surface_pass_state {
    // Counts the pass loop's calls; every UPW2 interval of them a backup runs (BKUPNC).
    int pass_counter = 0;

    // The last point written (valid when last_point_valid is 1), where the next link starts.
    float last_point[3] = {0.0f, 0.0f, 0.0f};
    int last_point_valid = 0;
    int lift_flag = 0;  // 1: the next strings start with a lift
    // The last two points of the previous pass, for linking the passes end to start.
    float previous_pass_end[2][3] = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}};
    int previous_pass_valid = 0;  // 1 once a pass has ended since the clearing began
    int link_flag = 1;            // 1: a link is needed before the next strings
    // The pass point array of the pass being run (host array of flag, X, Y records); -1 between
    // runs.
    int point_array = -1;

    // The drop of drop_point_check: the machining tolerance and two further drop values handed to
    // LINNET. The tolerance also bounds the inward re-test step (0.01 to 0.1).
    float tolerance = 0.0f;
    float drop_values[2] = {0.0f, 0.0f};

    int pass_mode = 0;                           // srflin is called only when this is 1
    float side_direction[2] = {0.0f, 0.0f};      // read by the string step
    float side_step = 0.0f;                      // handed to the cutter reach
    float smallest_side = 0.0f;                  // lowered to the smallest reach along a string (gouge check on)
    float last_normal[3] = {0.0f, 0.0f, 0.0f};   // normal of the last point taken into a string
    float first_normal[3] = {0.0f, 0.0f, 0.0f};  // normal of the first point of the first string
    surface_line_continuation continuation;
};

extern surface_pass_state surface_pass;
