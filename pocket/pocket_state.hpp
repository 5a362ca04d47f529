// The pocket options and per-level state that pocket initialisation fills and the pocket engine
// reads. Only the words the engine kernel reads so far are here; the pocket procedure completes
// the block.
#pragma once

struct pocket_state {
    // 2 for a planar pocket (set by pocket initialisation); 3, or 4 with normals, select the
    // surface paths. Point equality of the engine ignores z when it is 2.
    int pocket_dimension = 0;
    // Group option of the pocket parameters: when set, the lane tests pass over lanes recorded
    // as pieces of a group.
    int group_option = 0;
    // Direction sign of the pocket parameters (+1 or -1): the crossing sense of the region
    // hatching and the mode of scale-and-combine.
    int direction_sign = 1;
    // Extent flag (0 or 1) that outer_extent_check keeps.
    int extent_flag = 0;
    // Single-offset option: 1 makes the common loops keep a pending loop unchanged when its
    // re-offset collects nothing.
    int single_offset_option = 0;
    // Strict gouge flag: set by the entry code while it retries from an indicated point; a gouge
    // of the region hatching is then a refusal (status 1).
    int strict_gouge = 0;
    // Current Z of the level being drawn.
    double current_z = 0.0;
    // Path start point (x, y), written by the boundary walk of the hatching as the tool moves.
    double path_start[2] = {0.0, 0.0};
    // Link flag of the pocket drawing: the boundary walk links with kind 2 instead of 1.
    int drawing_link_flag = 0;
};

// The module's one pocket state block (zeroed at load, filled when a pocket run starts).
extern pocket_state pocket_state_block;
