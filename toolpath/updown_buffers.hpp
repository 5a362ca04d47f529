// The UP/DOWN motion buffers: the entry of the computing code (updown_motion) passes a milling
// statement straight to MILBF2 or, when an UP or DOWN cutting mode is set, buffers it so that it
// can be split into runs that cut only upward or only downward. Also the motion-output words the
// procedure start resets, the Z shift of milling statements and its flag. This module's own
// procedures keep the mode at 1; the buffering road serves other callers. The procedure driver
// resets, drops and closes the buffers around a procedure.
#pragma once

#include "toolpath/milling_statement.hpp"
#include "toolpath/tp_blocks.hpp"

// The motion-output words (motion_state_reset gives them their reset values).
struct updown_state {
    int mode = 1;              // 1 none, 2 UP (cut while rising), 3 DOWN (cut while falling)
    float slope_angle = 0.0f;  // degrees; its tangent limits the slope that counts as flat
    int second_mode = 1;       // 1 splits a run between two points at their midpoint
    int caller_words[2] = {1, 1};
    point3 last_point{1.0e10f, 1.0e10f, 1.0e10f};  // the last up/down point; 1e10: none
    int count = 0;                                 // buffered entries
    float minimum_size = 0.0f;                     // buffered runs whose XY box is smaller are not cut
    float z_shift = 0.0f;                          // added to every point of a milling statement
    int display_flag = 1;                          // display state restored after the buffered output
    int zshift_flag = 0;                           // keeps the Z shift active while the mode word is 3
    int flush_request = 0;                         // a set flag flushes what is buffered before the next statement
    int kept_code = 1;                             // the statement code and dimension of the buffered entries
    int kept_dimension = 1;
    int kept_pass_number = 0;  // and the pass number their markers carry
    int down_feed_state = 0;   // the down-feed state word of the milling statement
};
updown_state& updown();

// The four arrays, 0-based here (entry k of the buffer at index k - 1), opened together with room
// for 20,000 entries and grown together.
struct updown_arrays {
    int points = -1;      // 3 floats per entry; -1: the buffers are not open
    int directions = -1;  // 3 floats per entry
    int values = -1;      // 1 word per entry: the statement's per-point value
    int runs = -1;        // 1 word per run: its number of points
    int capacity = 0;     // entries
    int run_count = 0;
};
updown_arrays& updown_buffers();

inline constexpr int kUpdownOpenEntries = 20000, kUpdownGrowth = 10000, kUpdownSmallGrowth = 100;

// The words above to their reset values (mode, slope angle, second mode and the two caller words
// as given; the Z-shift flag kept) and the move writer's last point to "no point yet".
void motion_state_reset(int mode, float angle, int second_mode, int word1, int word2);
// Drops what is buffered (the count becomes 0); the abandoned computation of a stopped run.
void proc_reset_flag();
// Opens the four arrays unless open; a failure closes what was opened, reports "UP / DOWN ,
// MEMORY ALLOCATION ERROR" and answers -1.
void updown_open(int& status);
// Makes room for `needed` more entries: steps of 10,000 until they fit, else of 100; answers the
// step used (0 with room). Failure: "UP/DOWN, MEMORY REALLOCATION ERROR", status -1.
int updown_grow(int needed, int& status);
// The entry of the computing code: MILBF2 at once with mode 1 and minimum size 0, else buffered.
// Reads the flush request and the clearing mode.
void updown_motion(const milling_statement& statement, int& status);
// Splits and writes what is buffered, then empties the buffer.
void updown_flush(int& status);
// Writes what is buffered, closes the arrays; count and Z shift become 0.
void updown_close(int& status);
// The point the next move starts from: with mode 1 and minimum size 0 the cached approach point
// of the fit buffer when the output form is 1 and one is cached, else `position`; otherwise the
// last up/down point.
void updown_last_point(const point3& position, point3& point);
void midpoint3(const point3& a, const point3& b, point3& middle);
// Class of segment i to i + 1 under sense s (+1 or -1): 3 cut, 2 flat, 1 nearly flat, 0 against
// the mode. T is twice the fit tolerance, the slope limit the tangent of the slope angle.
int updown_seg_class(const point3& from, const point3& to, int sense);
// Splits the buffer into runs (run lengths in the runs array).
void updown_split(int& status);
// Mode 1 answers the Z-shift flag, mode 2 sets it.
void zshift_flag_getset(int mode, int& flag);
// The Z shift; 0 when the mode word is 3 and the flag is off.
void get_motion_zshift(float& z);
