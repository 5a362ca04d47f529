// The line-net and cutter-location parameter block (linnet_params), least version: only the fields
// that the motion output, the procedure start and the curve display read. The cutter location
// completes the block and replaces this file.
#pragma once

// Value of `selector` with which curve_ent_show takes the host's current model attributes.
inline constexpr int kLinnetSelectorModelAttributes = 3;

struct linnet_params {
    float surface_tolerance = 0.0f;         // sampling step; 5 x it is the default diameter
    float surface_offsets[2] = {0.0f, 0.0f};
    float top_level = 0.0f;                 // T0 of NC functions 34 and 38
    float level_step = 0.0f;
    float minimum_clearance = 0.0f;
    int approach_type = 0;                  // 2: twirl approach
    int selector = 0;                       // 1 for NC function 48: near limit 0; 3: model attributes
    int twirl_spline_selector = 0;
};

// The module's one block (zeroed at load).
extern linnet_params linnet_params_block;
