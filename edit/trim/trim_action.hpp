// The trim action on one range of blocks of the current procedure: the trimming driver's range
// loop hands each range it found (the whole procedure, a picked chain, a stretch of motions on the
// chosen side of the trim contour) to delete_trimed_blocks, which deletes the range's motions and
// closes the gap, lifts them by DELTA Z, or puts them on a Z plane.
#pragma once

#include "toolpath/tp_blocks.hpp"

// The trim action on the blocks first .. last (block numbers, in/out: a boundary moves when a
// motion is split or the leading motions are removed). point and direction are set to the point
// before the range and follow the end of each motion handled during a Z-level run. clear_z and
// z_plane are absolute (the trim's CLEAR, Z PLANE plus NPT1's origin Z); surfaces the number of
// reference surfaces; start_flag non-zero when the range begins at the procedure's first motion
// (cleared once the start is dealt with); dimension the dimension mode of the moves written;
// end_flag non-zero when the range reaches the end of the procedure. Reads the trimming page's
// words of trim_words(). A deleted range's connection is written before its motions are deleted.
// Status 0 or positive ok, negative failure: a refused array ("delete_trimed_blocks, DYNAMIC
// MEMORY PROBLEM, CHECK DISK SPACE") or a failing connection leaves the range as it was. A
// projection onto the reference surfaces (PROJECT MOTIONS with options 3 to 5) turns the range's
// motions into one polyline (trim_words().collected_points) and hands it to project_on_surf with
// the trim's FEED, DOWN FEED % and PLUNGE FEED %; its status is the action's (1: nothing made,
// the range as it was, also when the range holds only leading rapids).
void delete_trimed_blocks(int& first, int& last, point3& point, point3& direction, float& clear_z, int& surfaces,
                          int& start_flag, int& dimension, int& end_flag, float& z_plane, int& status);

// The connection of a deleted range at the list position from `from` (the last written point) to
// `end` (the end of the last deleted motion): mode 3 DIRECTLY, mode 4 ALONG CONT. (along the trim
// contour between the range's recorded contour positions, the shorter way round); any other mode
// writes nothing. range_feed is the feed word in force over the range. Status 0; negative from a
// writer.
void connect_trimmed_gap(int mode, float range_feed, const point3& end, const point3& from, int dimension, int end_flag,
                         int& status);

// 1 when a motion follows the list position (read forward, the list put back), else 0. Uses list
// marker 16.
int next_motion_readable();
