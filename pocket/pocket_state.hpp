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
};

// The module's one pocket state block (zeroed at load, filled when a pocket run starts).
extern pocket_state pocket_state_block;
