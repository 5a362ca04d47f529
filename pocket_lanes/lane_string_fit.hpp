// Arc fitting of point strings: every run of points that a circle fits within the tolerance is
// replaced by one arc record, so that offsets and the written tool path carry real arcs; arcs of
// 178.1 degrees or more are then split into two or three equal arcs, since every consumer of arc
// records measures a sweep by an arc cosine. The contour input of the lane engine and the
// open-contour check hand their strings to lane_string_fit.
#pragma once

// Strings shorter than this are never fitted.
inline constexpr int kFitShortestString = 6;
// A circle of a larger radius is no arc.
inline constexpr double kFitLargestRadius = 2000.0;
// Status of lane_string_fit when an arc to be split found no room in the caller's array (the
// arc stays whole).
inline constexpr int kFitNoRoom = 1;
// Sweep from which an arc is split (178.1 degrees).
inline constexpr double kSplitSweep = 3.1084313978019007;

// The work arrays kept open between calls (handles -1 when not open) and the adaptive centre
// factor of the first pass.
struct lane_fit_work {
    int fitted = -1;  // host array of doubles, two per entry: the string being rewritten
    int xs = -1;      // host arrays of doubles: its x and y values for the crossing test
    int ys = -1;
    int capacity = 0;  // entries of each array
    double centre_factor = 0.0;
};
lane_fit_work& lane_fit_state();
// Closes the work arrays and forgets the factor. Status 0 or the host's failure.
void lane_string_fit_release(int& status);

// Fits the `string_count` strings held one after another in `points` ((x, y) doubles per entry,
// arcs as records), counts[k] entries each, in passes from first_pass up to 2, then splits the
// wide arcs. The strings are rewritten in place and their counts updated; `capacity` is the
// entries the caller's array holds (a split needs 4 or 8 more). A fitted string that crosses
// itself keeps its points. flag: when non-zero on entry, 1 when the last fitted string was thrown
// back for crossing itself, 0 when it was accepted. Status 0; kFitNoRoom when an arc stayed
// unsplit for want of room; a failed host array gives its status (the strings as far as they
// were rewritten).
void lane_string_fit(double tolerance, double* points, int string_count, int* counts, int capacity, int first_pass,
                     int& flag, int& status);

// The circle through a run of n points (x, y doubles): its centre from the mean of the crossings
// of perpendicular bisectors, moved along the chord's bisector by the adaptive factor in pass 1;
// radius and turning sense (+1 counter-clockwise, -1). verdict in: the previous check of the run
// (with last_error); out: -1 when no usable circle exists (fewer than 3 points, ends within the
// tolerance, no bisector crossing, no turning sense, a radius above 2000, an uneven run), else 0.
// Reads and adapts lane_fit_state().centre_factor.
void arc_run_circle(int n, const double* run, double tolerance, double last_error, double* centre, double& radius,
                    int& sense, int pass, int& verdict);

// Whether the run fits the circle: verdict 0 when it does, 1 when it does not, 2 when it does
// not and a point lies outside the circle by more than the tolerance; error the last distance
// error measured (10 x tolerance for a run refused by its overall shape). Status 0.
void arc_run_check(int mode, double tolerance, int n, const double* run, const double* centre, double radius, int sense,
                   int& verdict, double& error, int pass, int& status);

// Sweep (radians, 0 to 2 pi) from `first` to `second` about the centre in the sense; 0 for
// equal points or a point on the centre. Status -1 when the cosine lies outside [-1, 1] beyond
// the tolerance.
void arc_sweep_angle(const double* centre, const double* first, const double* second, int sense, double& angle,
                     int& status);

// Splits each arc of a sweep of kSplitSweep or more into 2 or 3 equal arcs, moving the later
// entries up and growing the counts. Status 0, or kFitNoRoom when an arc found no room within
// `capacity` entries (that arc stays whole).
void split_wide_arcs(double* points, int string_count, int* counts, int capacity, int& status);

// The records of an arc (start, marker, radius and sense, centre, end: 5 entries of (x, y)) cut
// into `parts` equal arcs written from `out` on (4 x parts entries after the start). Status -1
// for a sweep below kSplitSweep (nothing written), else 0.
void arc_split(double sweep, const double* arc, int parts, double* out, int& status);
