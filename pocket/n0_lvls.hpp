// The levels package: region records kept in levels, a growable list of levels each holding a
// growable list of region slots, with one current level and one current region in it. The
// procedure start resets it, the pocket's define step opens the first level, the region finding
// puts its region of all contour polygons into the current slot and walks its nesting, and the
// entry-point code reads its polygons; every question about the current region is answered by
// the region package.
#pragma once

#include "pocket/reg_region.hpp"

// Reset mode that makes the package usable; any other mode marks it not initialised.
inline constexpr int kLevelsUsable = 2;

// A level record, 9 words. Indexes of levels and regions count from 0.
struct n0_level {
    int region_capacity;  // region slots allocated (grows by 5)
    int region_count;     // regions entered in this level
    int regions;          // host array of reg_region records, one per slot, -1 when none
    int mode;             // point mode of every region of the level (2 or 3)
    int current_region;   // current slot, -1 when none
    int side_tables[2];   // -1: nothing in this system fills them (see n0_lvls_adjust_fs)
    int words[2];         // 0
};
static_assert(sizeof(n0_level) == 9 * 4, "a level record is 9 words");

struct n0_lvls_state {
    int initialised = 0;     // 1 after a reset with mode 2; every entry point refuses while 0
    int level_capacity = 0;  // level records allocated (grows by 5)
    int level_count = 0;     // levels entered so far
    int levels = -1;         // host array of level records, -1 when none
    int current_level = -1;  // -1 when none
};
extern n0_lvls_state n0_lvls_block;

// Forgets all levels without releasing them; mode 2 makes the package usable.
void n0_lvls_reset(int mode);
// Releases every level and the levels array, then resets with mode 2.
void n0_lvls_release(int& status);
// Releases one level's region records and slots and clears the record.
void n0_lvls_level_rels(n0_level& level, int& status);
// Clears a level record: region count 0, current region -1; with `full` also its slots.
void n0_lvls_level_clear(int full, n0_level& level);
// Makes room for `count` more entries in the level's two side tables, as its region slots grow.
// Nothing in this system fills the side tables, so they are kept without arrays and only the
// level record is checked: a missing one gives "n0_lvls_adjust_fs, DYNAMIC MEMORY ERROR" and -1.
// Works whether or not the package is initialised.
void n0_lvls_adjust_fs(int count, n0_level* level, int& status);

void n0_lvls_get_cur_level(int& level, int& status);
// Enters the next level, whose regions take the given point mode.
void n0_lvls_next_level(int mode, int& status);
// Empties the current level; its slots and their records stay for reuse.
void n0_lvls_reset_level(int& status);
// Enters the next region slot of the current level.
void n0_lvls_next_region(int mode, int& status);
// Puts the record into the current slot, releasing the record that was there; from then on the
// record's arrays belong to the package.
void n0_lvls_add_region(int mode, const reg_region& region, int& status);
// The record in the current slot.
void n0_lvls_get_cur(reg_region*& region, int& status);

// Questions about the current region (region package answers).
void n0_lvls_get_mode(int& mode, int& status);  // 2 when the call fails
void n0_lvls_get_ng(int& count, int& status);   // polygons
void n0_lvls_get_np(int& count, int& status);   // points
void n0_lvls_get_npbuf(int index, int& count, int& status);
void n0_lvls_get_locs(int index, int& location, int& status);
void n0_lvls_get_poly(int mode, int index, float* points, int& status);
void n0_lvls_get_all_pts(int mode, float* points, int& status);
void n0_lvls_get_tmp_sons(int row, int column, int& value, int& status);
void n0_lvls_set_tmp_sons(int row, int column, int value, int& status);
void n0_lvls_get_cdir(int index, int& direction, int& status);
