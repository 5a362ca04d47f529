// The interval list: the free parameter ranges that remain of one range after ranges are cut out
// of it, held as one sorted host array of boundary records between two sentinels, with the
// caller's data on every boundary. The toroidal front end keeps the ranges in which the cutter
// may stand along a move here; there is one list, in module state.
#pragma once

#include "host/words.hpp"

// The caller's data on a boundary, copied in and out whole (the contact data of the triangle
// that made the boundary).
struct interval_payload {
    word words[6] = {};
};

// One boundary record of the host array, 40 bytes.
struct interval_record {
    double key;
    interval_payload payload;
    int tag;
};
static_assert(sizeof(interval_record) == 40, "an interval record is 40 bytes");

// Sentinels around the boundaries: records 0 and count - 1 of the array.
inline constexpr double kIntervalLowSentinel = -1.0e10;
inline constexpr double kIntervalHighSentinel = 1.0e10;

// The list state: records 1, 3, 5, ... are the starts and 2, 4, 6, ... the ends of the ranges;
// keys never decrease; count is even and 2 means no range is left.
struct interval_list_state {
    int handle = -1;  // host array of interval_record, -1 before interval_list_open
    int count = 0;
    int capacity = 0;
    int failed = 0;  // 1 after a refused growth or a use before open, until the next reset
    int found = -1;  // last interval_list_first: 0 found, -1 none
    double found_start = 0.0;
    double found_end = 0.0;
    int found_tag = 0;
};
extern interval_list_state interval_list_block;

// Opens the array with room for 100 records (an open list is closed first); status of the host.
void interval_list_open(int& status);
// Closes the array; status of the host (-1 when the list is not open).
void interval_list_close(int& status);
// Puts the list back to its load state without touching the host (after the host was reset).
void interval_list_module_reset();

// The list becomes the one range [lo, hi].
void interval_list_reset(double lo, double hi);
// Cuts the open range (a, b) out of the list; nothing when a is not below b. Boundaries it makes
// carry pa (at a) or pb (at b) and the tag.
void interval_list_insert(double a, double b, const interval_payload& pa, const interval_payload& pb, int tag);
// The first range whose end is 0 or more, with the payloads of its two boundaries; status 0, or
// -1 (start +1e10, end -1e10, payloads untouched) when there is none.
void interval_list_first(double& start, double& end, interval_payload& pa, interval_payload& pb, int& status);
// The range and flag (0 found, -1 none) saved by the last interval_list_first.
void interval_list_current(double& start, double& end, int& flag);
// The tag saved by the last interval_list_first.
void interval_list_tag(int& tag);
// The start of the first range and the end of the last; status -1 when no range is left.
void interval_list_span(double& first, double& last, int& status);
