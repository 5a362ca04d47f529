// The region package: one plane region as a set of closed polygons in a 25-word record, with the
// start of each polygon, the nesting of the polygons (sons) and a cutting direction per polygon
// computed on demand and cached. The levels package holds region records; the region finding of
// the wire pocket, the contour selection and the cutter location read them; crtpol fills one from
// stored contours.
#pragma once

// Point modes: coordinates per point (x, y single precision, or x, y, z).
inline constexpr int kRegionPlane = 2;
inline constexpr int kRegionSpace = 3;

// Cutting directions: a polygon at even nesting depth is an outer boundary, at odd depth an island.
inline constexpr int kRegionOuter = 1;
inline constexpr int kRegionIsland = 2;

// A region record, 25 words in this order (the levels package stores whole records). Array fields
// hold host dynamic-array handles, -1 for none. Polygon indexes count from 0. A record copied by
// value shares its arrays with its source; exactly one holder releases them.
struct reg_region {
    int point_capacity;    // points the point array holds
    int point_count;       // points of all polygons together
    int points;            // the points, polygons one after another (mode floats a point)
    int polygon_capacity;  // entries of the point-count array
    int polygon_count;
    int npbuf;           // point count per polygon; entries beyond the count are 0
    int locs;            // index of each polygon's first point (built on demand)
    int sons;            // polygon count rows of (count + 1) words: number inside, then indexes
    int tmp_sons;        // working copy of the sons that callers edit
    int fc;              // father count per polygon: its nesting depth
    int cdir;            // cutting direction per polygon (kRegionOuter or kRegionIsland)
    int locs_valid;      // 1 when locs matches the polygons
    int sons_valid;      // 1 when sons matches
    int tmp_sons_valid;  // 1 when tmp_sons was copied from sons
    int cdir_valid;      // 1 when fc and cdir match
    int further[5];      // words 16-20: kept for the record's layout, read by nobody
    int mode;            // kRegionPlane or kRegionSpace
    int point_size;      // 8 or 12 bytes
    float value;         // -1.0e10 after init
    int words[2];        // 0 after init and release
};
static_assert(sizeof(reg_region) == 25 * 4, "a region record is 25 words");

void reg_init(int mode, reg_region* region, int& status);
// Closes every array of the region and clears it (handles -1, counts 0).
void reg_release(reg_region* region, int& status);
// Inserts a polygon of n points (mode floats each) at position 0..polygon count (equal to the
// count appends).
void reg_add_poly(int mode, const float* points, int n, int position, reg_region* region, int& status);
// Copies polygon `index` into points (point count x mode floats).
void reg_get_poly(int mode, int index, reg_region* region, float* points, int& status);
// Copies all points of the region (point count x mode floats).
void reg_get_all_pts(const reg_region& region, int mode, float* points, int& status);
// Point count of one polygon; 0 when the region has no polygon.
void reg_get_npbuf(const reg_region& region, int index, int& count, int& status);
// Index of a polygon's first point; -1 when the region has no polygon.
void reg_get_locs(int index, reg_region* region, int& location, int& status);
// Cutting direction 1 or 2; 0 when the region has no polygon.
void reg_get_cdir(int index, reg_region* region, int& direction, int& status);
// Entry (row, column) of the temporary sons (column 0 the count, column j the j-th son); -1 when
// the region has no polygon.
void reg_get_tmp_sons(int row, int column, reg_region* region, int& value, int& status);
// Stores an entry of the temporary sons, which a read of an entry has brought up to date; nothing
// when the region has no polygon.
void reg_set_tmp_sons(const reg_region& region, int row, int column, int value, int& status);
// Brings the sons and the temporary sons up to date (host polson).
void reg_update_sons(reg_region* region, int& status);
// Brings the father counts and cutting directions up to date.
void reg_calc_cdir(reg_region* region, int& status);
// Rebuilds the locations when they are not valid.
void reg_replace_end(reg_region* region, int& status);
// Enlarges the point array by k points, at least 500; nothing for k of 0 or less.
void reg_resize_points(int k, reg_region* region, int& status);
// Enlarges the point-count array by k entries, at least 10; -1 for k below 1.
void reg_resize_pol(int k, reg_region* region, int& status);
// Reopen the derived arrays at the size the polygon count needs.
void reg_adjust_locs(reg_region* region, int& status);
void reg_adjust_sons(reg_region* region, int& status);
void reg_adjust_fc(reg_region* region, int& status);

// Adds one polygon per chain record of the contour list (records one after another, 2 words an
// entry) to a plane region, chords within the tolerance; the k-th contour becomes polygon k - 1
// after those already there. Status 1 (nothing done) for a count below 1.
void crtpol(float tolerance, int count, const int* contours, reg_region* region, int& status);
