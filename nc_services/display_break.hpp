// The break test of the display: after a displayed motion the host's keyboard is polled once, and
// a step countdown armed from the execution menu runs out. The block display, the execution
// control, the motion output and the editor poll it.
#pragma once

// The step countdown: armed with the count of blocks still to go.
struct display_countdown {
    int armed = 0;
    int count = 0;
};
display_countdown& display_countdown_state();

// Polls the keyboard once (gupdat). An armed countdown is lowered by one; on reaching zero it is
// disarmed and the answer is 1 whatever the key. Otherwise the answer is 1 exactly when SPACE
// was pressed, else 0; a break by SPACE leaves the countdown armed.
void check_display_break(int& result);
// Arms the step countdown with n blocks; a count of 0 or less disarms it.
void set_display_countdown(int n);
