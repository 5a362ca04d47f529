// The twirl approach: a spline move that the host computes between two points with given
// directions replaces an approach. twirl_spline_show (pocket_lanes/moves/twirl_spline.hpp) makes it
// from the twirl end data when both enable words are set; the requested and made words tell the
// point mover whether a twirl was asked for and made, so that it does not write its own plunge as
// well. The surface link of the approach and retract motions and the point mover drive them.
#pragma once

// The twirl words: requested (0 at load), made (1 at load), the two enable words and the debug
// word (nothing in the module sets them) and the end data of the next twirl.
struct twirl_state {
    int requested = 0;
    int made = 1;
    int enable[2] = {0, 0};
    int show_directions = 0;  // debug: the end directions shown as lines before each try
    double start[3] = {};
    double start_direction[3] = {};
    double end[3] = {};
    double end_direction[3] = {};
};
twirl_state& twirl();

// Clears the two enable words.
void twirl_flags_reset();
int twirl_requested_get();
// Sets the requested flag and answers it.
int twirl_requested_set(int value);
int twirl_made_get();
void twirl_made_set(int value);
