// The pocket engine's working values, filled by pocket initialisation and the lane engine. Only
// the fields the engine kernel reads so far are here; the pocket procedure and the lane engine
// complete the block.
#pragma once

struct pocket_work {
    // Tolerance T of the pocket parameters; arc junctions are moved only within 2 * T.
    double tolerance = 0.0;
    // Side step s between offsets; short arcs are measured against a tenth of it.
    double side_step = 0.0;
    // Working tolerance W: max(min(tolerance, 0.01 x side step), 0.001), set by the lane engine.
    // The clean-up passes scale their reach by it; the raw offset's arc tolerance is
    // min(0.5 x W, 0.0004).
    double working_tolerance = 0.0;
    // Corner-arc switch: 1 fills convex corners of an offset with arcs of the offset radius,
    // 0 never makes a corner arc (mitre or square points instead).
    int corner_arcs = 0;
    // Extra offset of the pocket parameters; the redundant-point thinning uses the larger of it
    // and the side step for its length limit.
    double extra_offset = 0.0;
    // The user's restart point of the pocket (part coordinates); the first loop of a pocket is
    // started at its nearest point.
    double restart_point[3] = {0.0, 0.0, 0.0};
    // The raw offset's first-corner memory: the side-weighted cross product of the corner at the
    // loop's second point, written when that corner is formed and read at the last element (the
    // two halves of the split first element meet there). Cleared at the start of every offset.
    double first_corner_cross = 0.0;
    // The two squared reach values of the lane engine; the smaller bounds the reference area of
    // the piece filter.
    double reach_squared[2] = {0.0, 0.0};
    // Re-offset distance R of the arc-corner mode (nothing sets it: the mode stays off).
    double reoffset_distance = 0.0;
    // End-point mode (0 off; 1 or more: offsets of branch 1 start nearest the restart point) and
    // the parameter on the first element at which pass 1 restarted the loop.
    int end_point_mode = 0;
    double restart_param = 0.0;
    // Island stage of the lane loop and its full-pocket switch (the end-point restart applies to
    // island lanes in stage 1 with the switch off).
    int island_stage = 0;
    int full_pocket = 0;
    // Share by which the reach of the sliver test is reduced on surfaces.
    double surface_reduction = 0.0;
    // Least offset handed to the contour combination.
    double combine_floor = 0.0;
    // Reversed-island mode of the lane engine: island lanes are reversed before they merge with
    // a branch lane, and the common loops drop loops smaller than either source.
    int reversed_islands = 0;
    // Radius of the current tool, fixed by the lane engine at its start.
    double tool_radius = 0.0;
};

// The module's one pocket work block (zeroed at load, filled when a pocket run starts).
extern pocket_work pocket_work_block;
