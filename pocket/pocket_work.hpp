// The pocket engine's working values, filled by pocket initialisation and the lane engine. Only
// the fields the engine kernel reads so far are here; the pocket procedure and the lane engine
// complete the block.
#pragma once

struct pocket_work {
    // Tolerance T of the pocket parameters; arc junctions are moved only within 2 * T.
    double tolerance = 0.0;
    // Side step s between offsets; short arcs are measured against a tenth of it.
    double side_step = 0.0;
};

// The module's one pocket work block (zeroed at load, filled when a pocket run starts).
extern pocket_work pocket_work_block;
