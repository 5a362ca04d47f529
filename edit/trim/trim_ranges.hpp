// The ranges the trimming driver hands to the trim action: the whole procedure, the chains of
// picked blocks, and the stretches of motions on the trimmed side of the trim contour.
#pragma once

#include "toolpath/tp_blocks.hpp"

// ALL PROCEDURE BLOCKS: the procedure's first to last motion in one range. Adds 1 to count when
// the trim action succeeded. Status 0; the first negative status.
void trim_all_blocks(int& count, int& status);

// BY SELECT MOTIONS: each chain (first, last block number pairs of the chain array) in turn.
// Adds 1 to count for each successful trim action. Status 0; the first negative status (the
// chains after it are left).
void trim_chains(const int* pairs, int pair_count, int& count, int& status);

// The walk of BY CONTOUR through the procedure: where it stands and the range it found last.
struct contour_walk {
    bool started = false;       // the walk has left the procedure's start
    bool in_range = false;      // the motions read last lie on the trimmed side
    bool tentative = false;     // the range opened because the procedure starts on the contour holds
                                // no piece on the trimmed side yet
    bool found = false;         // first .. last is a range not trimmed yet
    bool ended = false;         // the walk reached the end of the procedure
    bool to_end = false;        // the range found last runs to the end of the procedure
    bool first_unread = false;  // the range's first motion has not been read since the range opened
    int first = 0, last = 0;
    int start_flag = 0;  // the range begins at the procedure's first motion
    int kind = 1;        // dimension kind of the procedure's motions
    point3 current{}, direction{0.0f, 0.0f, 1.0f}, previous{}, previous_direction{};
};

// Walks on to the end of the next range (from the procedure's start when the walk has not
// started). found is set when a range was closed, ended when the procedure ended. The list is
// left on the motion after the range (list marker 18) and marker 10 stands before its first
// block. Status 0; the first negative status of the walk.
void contour_next_range(contour_walk& walk, int& status);

// Hands the walk's found range to the trim action from the place the walk stopped (marker 18).
// Adds 1 to count when it succeeded. Status 0; the action's negative status.
void contour_trim_range(contour_walk& walk, int& count, int& status);

// Marks (flag 1) or clears (0) the walk's found range with attention on the display.
void contour_range_attention(const contour_walk& walk, int flag);

// CHECK MOTION BELOW SURF. by the contour: the procedure's motions are read from its start to its
// end, each cut in memory where it crosses the trim contour, and every stretch of the path on the
// trimmed side is checked against the reference surfaces (project_on_surf marks where it gouges).
// Nothing is written to the tool path: no motion is cut in the list, no parameter block written.
// Adds 1 to count for each stretch checked. Status 0; the first negative status of a list read
// or of the check ("delete_trimed_blocks, DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE" when its
// arrays are refused).
void contour_check(int& count, int& status);
