// Regions of the wire pocket: the contours split into regions, each an outer contour with the
// islands directly inside it, found by nesting (region package held in the levels package),
// ordered for cutting, with each region's contour ids, outer contour, first curve and reference
// point. The pocket's define, execute and read-parameter callbacks and its dialog read them.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr int kRegionContoursMax = 700;
inline constexpr int kRegionListsMax = 1400;

// Order modes: 1 and 2 by path (host rpath), 3 nearest neighbour, 4 none; 0 computes the
// reference points and keeps the build order.
inline constexpr int kOrderKeep = 0;
inline constexpr int kOrderNearest = 3;
inline constexpr int kOrderNone = 4;

struct region_table {
    int contour_count = 0;                         // contours of the last build
    std::vector<int> curves;                       // the caller's curve list, 2 words a curve
    int first_curve[kRegionContoursMax + 1] = {};  // curves of contour j start at entry j - 1
    int region_count = 0;
    // Per region in cutting order (null after the last): n, the outer contour id, then the n - 1
    // island ids; host memory blocks of (n + 1) words.
    int* lists[kRegionListsMax] = {};
    std::int16_t order[kRegionContoursMax] = {};  // entry k: the index region k had before ordering
    float reference[kRegionContoursMax][2] = {};  // box centre of each outer contour, build order
};
extern region_table region_table_block;

// Builds the region table from count contours whose chain records lie one after another in
// `curves` (2 words a curve, a record buffer of the contour table), polygons within the
// tolerance. Needs a current level of the levels package in mode 2. Status 0, or -1 (more than
// 700 contours, or more curves than the contour table's record buffers hold, are refused).
void region_build(const int* curves, int count, float tolerance, int& status);
// The build proper; answers 0 on success, else a failure status.
int FIND_REGIONS(float tolerance);
int region_count();
// The contours of region i (from 1); nothing when i is outside the regions.
void region_contours(int i, int& outer, int& island_count, int* island_ids);
// Outer contour id of region i (from 1), 0 when there is no such region.
int region_outer_id(int i);
// Index (from 0) in the curve list of the first curve of region i's outer contour (i from 0); 0
// when there is no such region.
int region_first_curve(int i);
// Copies the 701 entries of the first-curve table.
void contour_first_curves_copy(int* first_curves);
// Orders the regions for cutting (see the order modes).
void region_order(int mode);
// Build order and a reference point for every region of a new build, so that a table that is
// not ordered answers for its own regions.
void region_ref_points_reset();
// Reference point (x, y, z = 0) of the i-th region in cutting order (from 1).
void region_ref_point(int i, double* point);
// Gives back every region list; answers how many were given back.
int region_table_free();
