// The pocket options and per-level state: pocket initialisation (NPKINI) fills them from the
// parameter block at the start of each region, init_pocket_globals for other callers' contours;
// the execute callback steps the level words, and the lane engine and the drawing read them.
// Fields marked "engine" belong to the lane engine and the drawing code, which complete them.
// The block is plain data kept with the geometry kernel, which reads pocket_dimension (points in
// 2-D or 3-D) and current_z (the debug drawing); the pocket owns and fills it.
#pragma once

struct pocket_state {
    // The point found by the entry-point search (x, y, z and three words of the drawing code);
    // read by the drawing and the hatch polygon build.
    double entry_data[6] = {};
    // Clean offset of the lanes: min(3 x tolerance, 0.01) for offset pocketing, 0 for hatching.
    double working_tolerance = 0.0;
    double first_level_z = 0.0;    // top Z minus the Z step
    double final_depth = 0.0;      // bottom Z
    double z_step = 0.0;           // 0: a single level
    double clear_height = 0.0;     // clearing height of the parameters, above the level
    double approach_height = 0.0;  // clear_height plus the Z step
    // The approach value of the parameters: the clearance above the level to which the point
    // mover's approach between chains rises and from which it plunges.
    double approach_clearance = 0.0;
    double current_z = 0.0;  // Z of the level being cut; set by the execute callback
    double approach_length = 0.0;
    double retract_length = 0.0;
    double lead_values[3] = {};  // engine: arc radius, straight lead-in and lead-out lengths
    double ramp_angle = 0.0;     // degrees; 90 means no ramp
    double helix_radius = 0.0;   // engine: radius of a helical entry (nothing sets it)
    double minimum_value = 0.0;  // 0 on the pocket's own road; a caller's start value otherwise
    // Region reference point, from the region table or the path-start search of the drawing.
    double region_ref_point[3] = {};
    // engine: start point and Z of the path (written by DRAWPK; x and y also by the boundary
    // walk of the hatching as the tool moves)
    double path_start[3] = {};
    double last_position[3] = {};  // engine: last position written by DRAWPK
    // engine: the start point the user indicated (x, y) and its offset vector (dx, dy); the
    // start-point entry flag says that it is in use, the start-point-used flag that the entry
    // motion came from it (DRAWPK clears it at its start).
    double start_point[2] = {};
    double start_offset[2] = {};
    int start_point_entry = 0;
    int start_point_used = 0;
    // engine: contour-pass word of the drawing (at least 1: lanes of status 1 and group 0 are
    // contour-pass lanes that chkocont splits into open strings).
    int contour_pass = 0;
    int multi_offset = 0;     // 1: single-offset chains (see NPKINI)
    int surface_flag = 0;     // 0: the pocket lies in a plane
    int draft_present = 0;    // 1: the offsets follow the draft angles level by level
    int second_stage = 0;     // 1: the lanes are cut in a second stage from the entry point
    int ramp_flag = 0;        // 1 when the ramp angle is not 90
    int reverse_islands = 0;  // engine: 0 reverses the island lanes before cutting
    int lead_mode = 0;        // lead of the contour pass: 0 none, 1 straight, 2 arc
    int entry_found = 0;      // 1 when the entry-point search found a point in the region
    // +1 or -1: the side of the offsets, the crossing sense of the region hatching and the mode
    // of scale-and-combine.
    int direction_sign = 1;
    int single_offset = 0;  // 1: a pending loop is kept unchanged when its re-offset is empty
    // 1 one offset per contour, 99 offsets until the pocket is full, -11 the contour pass of
    // the per-level lanes; -1, 1 or -2 from the direction switch of another caller.
    int offsets_mode = 0;
    int level_count = 0;    // levels of the region; at least 1 after initialisation
    int level_counter = 0;  // level being cut, from 1; stepped by the execute callback
    int approach_kind = 0;  // 1 or 2, handed to the approach block
    int cut_direction = 0;  // -1 reverses the cutting direction
    int drawing_mode = 0;   // 1 writes the tool path; 10 while the path start is searched
    int entry_shift = 0;    // engine: overrun percentage of the entry move
    // engine: feed flags of the pocket moves (DRAWPK clears both at its start): the stored feed
    // (feed mode 27) wins over the percentage feed (25); the rapid-lead flag writes lead arcs at
    // rapid.
    int stored_feed = 0;
    int percentage_feed = 0;
    int rapid_lead = 0;
    // engine: set when the cut lanes are drawn from the first upward and read forward
    int order_flag = 0;
    // 2 for a planar pocket (set by pocket initialisation); 3, or 4 with normals, select the
    // surface paths. Point equality of the engine ignores z when it is 2.
    int pocket_dimension = 0;
    // Group option of the pocket parameters: when set, the lane tests pass over lanes recorded
    // as pieces of a group.
    int group_option = 0;
    // Extent flag (0 or 1) that outer_extent_check keeps.
    int extent_flag = 0;
    // Strict gouge flag: set by the entry code while it retries from an indicated point; a gouge
    // of the region hatching is then a refusal (status 1).
    int strict_gouge = 0;
    // Link flag of the pocket drawing: the boundary walk links with kind 2 instead of 1.
    int drawing_link_flag = 0;
    // The two offset-method flags: with the contour check word 1, either asks the pocket
    // computation for its cleaning passes. Nothing in this module sets them.
    int offset_method[2] = {0, 0};
    // Island-link flag of the connection tests; cleared at the start of every computation.
    int island_link = 0;
};

// The module's one pocket state block (zeroed at load, filled when a pocket run starts).
extern pocket_state pocket_state_block;
