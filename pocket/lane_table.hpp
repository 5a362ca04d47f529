// The lane table of the pocket engine: one row of ten columns per lane (contour, offset loop,
// closing lane, cut chain, separator), whose points live in the main point store (pokmain).
// The engine, the cutting stages and the drawing append and read lanes through these routines.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Rows of the table (1-based); at most kLaneMax lanes so that the end entry after the last lane
// stays inside the first-point column.
inline constexpr int kLaneRows = 50000;
inline constexpr int kLaneMax = 49998;

// Status words of the lane table.
inline constexpr int kLaneTableFull = 10;

// Levels.
inline constexpr int kLevelSeparator = 9999;
inline constexpr int kLevelIsland = 10000;  // island k has level kLevelIsland + k

// Group of the linking stage's connection lanes.
inline constexpr int kGroupConnection = -999;

// Contour type of a collapse lane, the lane laid where a region narrows to nothing: every point
// of the region round it lies within half a step of it or of the lane it was found in, so no lane
// is offset from it.
inline constexpr int kContourCollapse = 103;

// The table. Columns are 1-based (index 0 unused); first[count + 1] is the next free entry of
// the main point store.
struct lane_table {
    double offset[kLaneRows + 1] = {};
    int level[kLaneRows + 1] = {};
    int status[kLaneRows + 1] = {};
    int first[kLaneRows + 1] = {0, 1};  // the store starts at entry 1
    int parent[kLaneRows + 1] = {};
    int link1[kLaneRows + 1] = {};
    int link2[kLaneRows + 1] = {};
    int group[kLaneRows + 1] = {};
    int box_index[kLaneRows + 1] = {};
    int contour_type[kLaneRows + 1] = {};
    int count = 0;          // lanes in use
    int island_count = 0;   // closed contours minus one (set by cmtpk1)
    int stock_islands = 0;  // second-kind island count (copied by cmtpk1)
    int outer_type = 0;     // outer contour type (copied by cmtpk1)
    // Box cache: host dynamic array of doubles, four per cached lane box.
    int box_handle = -1;   // -1 when not open
    int box_capacity = 0;  // doubles
    int box_used = 0;      // doubles
    // Pair memory of lancom: host dynamic array of 12-byte records.
    int pair_handle = -1;   // -1 when not open
    int pair_capacity = 0;  // records
};
extern lane_table lane_table_block;

// Whether n is a lane of the table (1 to count).
inline bool lane_valid(int n) { return n >= 1 && n <= lane_table_block.count; }
// Whether lane n is one of the contours' lanes (the outer contour, then the islands).
inline bool contour_lane(int n) { return n >= 1 && n <= lane_table_block.island_count + 1; }
// Whether lane n is live (status above 0).
inline bool lane_live(int n) { return lane_table_block.status[n] > 0; }
// Whether lane n is a live branch lane (a region of the pass: not an island nor a separator).
inline bool live_branch_lane(int n)
{
    const lane_table& lt = lane_table_block;
    return lt.level[n] >= 1 && lt.level[n] < kLevelSeparator && lt.status[n] > 0;
}
// Whether a lane before n on n's level has the given status.
inline bool lane_earlier_on_level(int n, int status)
{
    const lane_table& lt = lane_table_block;
    for (int k = 1; k < n; ++k)
        if (lt.level[k] == lt.level[n] && lt.status[k] == status) return true;
    return false;
}

// Empties the table (count 0, first[1] = 1) and forgets the box cache without closing it.
void lane_table_reset();

// Appends a lane with these values and stores the array's points at the end of the store (with
// their normals after them in a pocket of dimension 4: reads pocket_state.pocket_dimension);
// status 10 when the table is full (the count is left as it was). Polls the host for a user
// break (EXCBRK) at every lane outside a planar pocket, at every 15th lane in one; a confirmed
// stop leaves by the stop exception.
void lane_add(int lane_status, int level, int parent, int link1, int link2, double offset, int contour_type,
              const pokarr& array, int& status);
// Appends an empty closing lane of kind k (status -k) for lane L; polls at every 15th lane.
void lane_add_empty(int k, int level, int lane, int& status);
// Appends a separator lane (level 9999); status 10 when the table is full.
void lane_add_separator(int& status);
// Finds a lane (group mode 0 any, 1 only group 0, 2 only non-zero; scan mode 0 backward, 1
// forward, 2 backward stopping at closed lanes) of the level with the wanted status and reads
// its points into the array; found 0 when none.
void lane_find(int group_mode, int scan_mode, int level, int wanted, int& found, pokarr& array, int& status);
// Number of entries of lane n (0 for a lane outside the table).
void lane_npnts(int n, int& count);
// The lane's points into the caller's X and Y arrays (room entries each); count answers the
// number copied (-1 when the lane is outside the table or does not fit).
void lane_get_xy(int n, double* x, double* y, int room, int& count);
// The lane's first point (0, 0 for an empty lane).
void lane_first_xy(int n, double& x, double& y);
// The dimension of a work loop that holds a lane: 2 in a planar pocket, 3 on the part surface
// (reads pocket_state.pocket_dimension), so that a lane read into it keeps its heights.
int lane_array_dimension();
// The lane's points into a pocket array (relative to the origin).
void lane_to_pokarr(int n, pokarr& array, int& status);
// Reverses the lane's points in place in the store.
void lane_reverse(int n, int& status);
// The lane's box (xmin, ymin, xmax, ymax), computed once and cached. With wanted -1 the first
// argument is a lane number whose points are in the array; otherwise the lane of that level and
// status is found and read.
void lane_box(int level_or_lane, int wanted, const pokarr& array, double* box, int& status);
// Whether the boxes of two lanes (their points in a and b) lie apart: boxes that do not overlap
// hold no crossing nor one loop inside the other. False with a status other than 0.
bool lane_boxes_apart(int lane_a, const pokarr& a, int lane_b, const pokarr& b, int& status);
// Whether lane_b's box is cached and lies apart from lane_a's (a holds lane_a's points, read for
// its box when that is not cached yet): boxes that only touch are not apart. False when either
// box is not at hand, so a caller can skip reading lane_b only when the boxes already tell.
bool lane_boxes_known_apart(int lane_a, const pokarr& a, int lane_b);
// The same against a box already at hand (xmin, ymin, xmax, ymax): a caller that tries one lane
// against many reads its box once.
bool lane_box_known_apart(const double* box_a, int lane_b);
// Closes the box cache.
void lane_box_close(int& status);
// Pair memory of lancom: mode 0 open (1000 records), 1 grow by 1000, 2 close.
void lancom_pairs(int mode, int& status);
// Draws lane n in the pocket's dimension (reads pocket_state.pocket_dimension); -1 for a lane
// outside the table or a failed read.
int lane_show(int n);
