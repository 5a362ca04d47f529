// Open strings along a lane: chkocont walks a lane in steps tied to the tool radius, asks the
// step test at each sample whether the wire may work there, and keeps the usable runs as open
// strings that the pocket drawing cuts as chains of their own. Beside it the list tools used
// around it: the lead settings it saves and puts back, rotating and trimming a list of strings,
// and re-starting a closed path at a point (lane_start_at_point, also used by the ramp entry).
#pragma once

#include "pocket_arrays/pokarr.hpp"
#include "pocket_lanes/moves/open_contour_tests.hpp"

// Mode of chkocont with every step usable (the step test is not asked).
inline constexpr int kOpenStringsUntested = -1;
// Status of a split that stopped at the string or point limit: the rest of the lane is uncut.
inline constexpr int kOpenStringsCut = 99;
// Fixed ceilings of the split.
inline constexpr int kOpenStringsMost = 700;
inline constexpr int kOpenStringPointsMost = 13990;
inline constexpr const char* kTooManyStrings = "chkocont, TOO MANY OPEN STRINGS";

// The string store: a host dynamic array of doubles (x, y per point), handle -1 while closed;
// capacity and fill in doubles.
struct open_string_store {
    int handle = -1;
    int capacity = 0;
    int fill = 0;
};

// The step test of one sample of the walked lane (plain points): direction sign, the sample
// (x, y, z), the clearance and where it lies on the lane. Updates the corner code (0 to 3) and
// answers usable (1 when the wire may work there). Status 0, 2 (usable except in mode 0) or 11
// (the test failed).
using step_test = void (*)(const pokarr& lane, int direction_sign, double x, double y, double z, double clearance,
                           const lane_point_index& index, int& code, int& usable, int& status);
// The step test chkocont asks; step_usable_test unless a caller binds another.
step_test& open_strings_step_test();
// open_contour_step_test at the sample: usable when it is not blocked, its status 2 passed on, a
// failure as 11. The clearance is applied by the step test itself (curve_approx_common).
void step_usable_test(const pokarr& lane, int direction_sign, double x, double y, double z, double clearance,
                      const lane_point_index& index, int& code, int& usable, int& status);

// The debug display of chkocont's walk: every tested step shown as a point entity, rejected steps
// in one colour and accepted ones in the other; -1 leaves them unshown (nothing in the module sets
// them).
struct open_strings_debug {
    int rejected_colour = -1;
    int accepted_colour = -1;
};
extern open_strings_debug open_strings_debug_block;

// Creates a point entity at (x, y, z) in the given colour and shows it. A debug display never
// stops the walk, so a failure only leaves the point unshown.
void debug_point_show(int colour, double x, double y, double z);

// Splits the lane (counts[1] entries of x, y doubles, arcs as records) into its usable runs.
// mode 0 tests every sample; kOpenStringsUntested (-1) takes every sample as usable; 99 or more
// (less 100) returns no strings. A run shorter than the tool radius (0.001 for a positive mode)
// is dropped; steps are 1.1 x the tool radius (0.05 for a tool without radius). At most
// min(max_strings, kOpenStringsMost) strings and kOpenStringPointsMost points. In mode 0 a single
// closed string is re-started at the reference point (x, y) and the string nearest to it comes
// first. Out: string_count, counts[1 .. string_count], the points behind store.fill (the store is
// opened with 14000 items when closed and grown as needed; fill is not moved). Status 0;
// kOpenStringsCut after "chkocont, TOO MANY OPEN STRINGS" or the point limit; -1 when the step test
// failed; a failed host array's status. Saves the lead settings of pocket_state for
// restore_lead_params. Reads pocket_work.tool_radius and open_strings_debug_block.
void chkocont(int mode, int direction_sign, double z, int max_strings, double tolerance, const double* points,
              int& string_count, int* counts, const double* reference, open_string_store& store, int& status);

// Writes the lead values and lead mode saved by the last chkocont back into pocket_state.
void restore_lead_params();

// Strings k + 1 .. m moved in front of strings 1 .. k (counts 1-based, points x, y doubles).
void open_strings_rotate(int k, int* counts, int string_count, double* points);
// In every string that is not closed, the points before its last point within 0.005 of it are
// removed; the strings are packed again.
void open_strings_trim_ends(int* counts, int string_count, double* points);

// Re-starts a closed path (count entries, x, y doubles, arcs as records; first equal to last) at
// its position nearest to (x, y): the found point, the entries after it, the entries from the
// second up to it (an arc cut in two keeps its record on both sides), the found point again. The
// count grows by at most four; the list must hold count + 4 entries. An open path is left alone.
void lane_start_at_point(double x, double y, int& count, double* points);
