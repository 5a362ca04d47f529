// The steps of the lane engine, the pocket drawing and the hatch clearing that the pocket
// execution and the pocket's clean-up call, as a table: they call through it, so a test can
// record the calls with steps of its own. It holds the real steps unless replaced.
#pragma once

struct pocket_engine_steps {
    void (*cmtpk_clean)(int mode, int& status);
    void (*drawpk)(int mode, int reserved, int& status);
    void (*drawpk_find_start)(int& status);
    void (*tkpolg)(float angle, float second_angle, int sign, int linking, int option, int& status);
    void (*clear_passes_out)(float angle, float height, int option, int& status);
    void (*clrcls)(int mode, int& status);
};

// The real steps.
pocket_engine_steps default_pocket_engine_steps();
// The steps the pocket calls; assign to replace them, restore with default_pocket_engine_steps().
pocket_engine_steps& pocket_engine();
