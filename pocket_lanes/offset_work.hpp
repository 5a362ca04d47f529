// Working values of the offset and clean-up code that the lane engine sets at its start: the
// working tolerance W, the corner-arc switch, the extra offset and the restart point. The offset,
// clean-up, inside and loop-intersection routines read them; the lane engine (and tests) write
// them. Zeroed at load.
#pragma once

struct offset_work {
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
};

extern offset_work offset_work_block;
