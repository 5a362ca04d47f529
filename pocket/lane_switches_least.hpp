// The lane engine's direction word and debug switches as the lane-part extraction of the
// pocket's contour services reads them. Least version: the lane engine owns these words and
// replaces this file, keeping these names.
#pragma once

struct lane_switches {
    int direction = 0;    // 1: an extracted lane part keeps its order; otherwise it is reversed
    int show_input = 0;   // debug: draw the lane read
    int show_output = 0;  // debug: draw the part extracted
    int show_area = 0;    // debug: compute the part's area and direction
};

lane_switches& lane_engine_switches();
