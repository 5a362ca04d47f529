// The break check of the block display: after a displayed motion the host's keyboard is polled
// once, and a step countdown set from the execution menu runs out. Least version until the
// tool-path display is built; it holds the whole check as the motion writers rely on it.
#pragma once

// Polls the keyboard once (gupdat). An armed countdown counts down and answers 1 when it reaches
// zero, disarming itself; otherwise the answer is 1 exactly when SPACE was pressed, else 0.
void check_display_break(int& result);
// Arms the step countdown with n blocks (0 or less disarms it).
void set_display_countdown(int n);
