// The line-net and cutter-location parameter block (linnet_params), least version: the fields
// that the motion output, the procedure start, the curve display and the cutter location read.
// The line-net front end completes the block and replaces this file.
#pragma once

// Value of `selector` with which curve_ent_show takes the host's current model attributes.
inline constexpr int kLinnetSelectorModelAttributes = 3;

struct linnet_params {
    float surface_tolerance = 0.0f;  // sampling step; 5 x it is the default diameter
    float surface_offsets[2] = {0.0f, 0.0f};
    float top_level = 0.0f;  // T0 of NC functions 34 and 38
    float level_step = 0.0f;
    float minimum_clearance = 0.0f;
    int approach_type = 0;  // 2: twirl approach
    int selector = 0;       // 1 for NC function 48: near limit 0; 3: model attributes
    int twirl_spline_selector = 0;

    // The cutter of the cutter location.
    int cutter_type = 0;  // 1 ball, 2 flat end, 3 bull-nose, plus 10 when tapered
    float diameter = 0.0f;
    float corner_radius = 0.0f;
    float cut_length = 0.0f;
    float taper = 0.0f;                       // radians
    float flank_rounding = 0.0f;              // radius of the arc over a tapered flank's top edge:
                                              // the stock of a cutter grown by one (stock_cutter)
    int tilted_axis = 0;                      // 0: the tool axis is +z
    float tool_axis[3] = {0.0f, 0.0f, 1.0f};  // the cutter frame's axis when tilted
    int edge_flag = 0;                        // set by the location when the contact lay on an edge
    int shared_mode = 0;                      // the mode word shared with the locating routines

    // The current string: its end points and the vectors stored for them (the tool axes at the
    // two ends, and a second pair), interpolated with offset_point_d.
    float string_start[3] = {0.0f, 0.0f, 0.0f};
    float string_end[3] = {0.0f, 0.0f, 0.0f};
    float start_axis[3] = {0.0f, 0.0f, 1.0f};
    float end_axis[3] = {0.0f, 0.0f, 1.0f};
    float start_vector[3] = {0.0f, 0.0f, 0.0f};
    float end_vector[3] = {0.0f, 0.0f, 0.0f};

    // The line-net set-up of linnet_set_params: its mode, two vectors, count, limit and value,
    // and the absolute and incremental heights of HEI8 at the time.
    int net_mode = 0;
    float net_a[3] = {0.0f, 0.0f, 0.0f};
    float net_b[3] = {0.0f, 0.0f, 0.0f};
    int net_count = 0;
    float net_limit = 0.0f;
    float net_value = 0.0f;
    float net_heights[2] = {0.0f, 0.0f};
};

// The module's one block (at load as initialised above).
extern linnet_params linnet_params_block;

// Count value that linnet_set_params stores as 1.
inline constexpr int kLinnetCountAsOne = 10;

// Stores the line-net set-up (the count 10 as 1) with the absolute and incremental heights of
// HEI8.
void linnet_set_params(int mode, const float* a, const float* b, int count, float limit, float value);
