// The twirl approach: a spline move that the host computes between two points with given
// directions replaces an approach. twirl_spline_show makes it from the twirl end data when both
// enable words are set; the requested and made words tell the point mover whether a twirl was
// asked for and made, so that it does not write its own plunge as well. The surface link of the
// approach and retract motions and the point mover drive them.
#pragma once

// The twirl words: requested (0 at load), made (1 at load), the two enable words (nothing in the
// module sets them) and the end data of the next twirl.
struct twirl_state {
    int requested = 0;
    int made = 1;
    int enable[2] = {0, 0};
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

// The twirl spline from the end data: length by mode (2 and 3 the twirl length of
// curve_approx_common, 1 lead value 2 of pocket_state, others as passed; written back), tolerance
// the largest of 0.01 x length, 0.001 and the curve_approx_common tolerance; with both enable
// words set up to four tries at 1, 0.75, 0.5 and 0.25 times the length (a length not above 0 ends
// them); the first spline made is written as a NURBS move and sets the made word. Status 0, or -1
// when the tries ran out with a failed spline, -1 also when the work arrays cannot be opened.
void twirl_spline_show(int mode, double& length, int& status);
