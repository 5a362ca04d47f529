// The approach block of the pocket dialog (set_approach_block of pocket/dialog_items fills it):
// read by the approach and retract motions of the motion output and by the entry-point code.
#pragma once

struct approach_block {
    int approach_kind = 0;
    int retract_kind = 0;
    float approach_length = 0.0f;
    float retract_length = 0.0f;
    float second[2] = {0.0f, 0.0f};
    int words[2] = {0, 0};
    float last = 0.0f;  // the approach height of NC function 48
};
extern approach_block approach_block_data;
