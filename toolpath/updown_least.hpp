// The motion-output words of the UP/DOWN motion buffers that the procedure driver resets, drops,
// flushes and closes around a procedure, the Z-shift flag, and the clearing of the procedure's
// surface selections. Least version until the approach and retract motions are built: this
// module never buffers a motion, so the buffer stays empty and holds no array.
#pragma once

#include "toolpath/tp_blocks.hpp"

struct updown_state {
    int mode = 1;                  // 1 none, 2 UP, 3 DOWN
    float slope_angle = 0.0f;
    int second_mode = 1;
    int caller_words[2] = {1, 1};
    point3 last_point{1.0e10f, 1.0e10f, 1.0e10f};
    int count = 0;                 // buffered entries
    float minimum_size = 0.0f;
    float z_shift = 0.0f;
    int display_flag = 1;
    int zshift_flag = 0;           // keeps the Z shift active under Z-shift mode 3
};
updown_state& updown();

// The words above to their reset values, and the move writer's last point (LSP2) to "no point
// yet"; the arguments are the mode, the slope angle, the second mode and the two caller words.
void motion_state_reset(int mode, float angle, int second_mode, int word1, int word2);
// Drops what is buffered (the count becomes 0).
void proc_reset_flag();
// Writes what is buffered and closes the buffers; count and Z shift become 0. Status 0.
void updown_close(int& status);
// Mode 1 returns the Z-shift flag, mode 2 sets it.
void zshift_flag_getset(int mode, int& flag);
// Clears the picking list, the procedure's surface pairs to (-1, 0) and its two surface id
// buffers, deleting the part and check surface sets that hold any.
void clear_proc_surfaces();
