// The two arrows that show the hatch direction on the pocket's outer contour while the user sets
// the pocket parameters: one at full size and one at half size, placed where the first hatch
// line one side step in from the contour meets it, pointing along the hatch direction and
// against it. The define callback computes their positions, the pocket dialog shows, hides,
// flips and draws them, and the start-side check asks whether they are shown.
#pragma once

struct arrows_state {
    int shown = 0;               // 1 once both positions have been computed
    int figure[2] = {0, 0};      // host figure ids while drawn (negative); 0 when not drawn
    int direction_flag = 0;      // 1: arrow 1 at half size and arrow 2 at full size
    float position[2][3] = {};   // the arrow points
    float direction[2][3] = {};  // unit directions (dx, dy, 0)
};
extern arrows_state arrows_block;

// Shown flag 0, direction flag := (parameter is not 1), drawn figures deleted. Status 0.
void arrows_init(int direction_parameter, int& status);
void arrows_set_dir(int direction_parameter);
int arrows_shown();
void arrows_mark_hidden();
// Deletes the drawn figures unless the host executes a macro.
void arrows_delete();
// Draws the arrows that are not drawn, unless the host executes a macro or they are not shown.
void arrows_draw();
// Toggles the direction flag; the next draw shows it.
void arrows_flip();

// Mode 1: the positions on the contour of a chain record (z the height of its first point);
// any other mode: on the box of the part surfaces given (count ids), at the height. The hatch
// angle is in radians. Status 0; -1 (a side step of 0: "compute_arrows_position, CAN'T
// CALCULATE ARROWS' POSITION"; no polygon; no box) or -2 (no position found, "SIDE STEP TOO
// LARGE" among them). A failure leaves the shown flag as it was.
void compute_arrows_position(int mode, const int* record, float height, float angle, float side_step,
                             const int* surfaces, int surface_count, int& status);
void compute_arrows_position_cont(const int* record, float angle, float side_step, int& status);
void compute_arrows_position_box(const int* surfaces, int surface_count, float height, float angle, float side_step,
                                 int& status);
// The common computation over the polygon in polygon buffer `buffer` (one closed polygon);
// mode 1 names the contour variant in its message.
void compute_arrow_pair(int mode, int buffer, float height, float angle, float side_step, int& status);
