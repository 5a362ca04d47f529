// Conservative clearance tests of a straight segment against the elements of a lane: an element
// lying clear of the segment by more than every tolerance of the element-pair search cannot give
// that search a crossing. seg_lane_hits uses them to pass by the groups of a lane's box table
// that the segment cannot cross, and the whole search when it crosses none.
#pragma once

#include "pocket_arrays/pk_search.hpp"

// Clearance beyond which an element holds no crossing: a hundred times the search's widest
// distance tolerance (1e-6: point equality, range slack, the tangent test of a circle).
inline constexpr double kSegmentClearance = 1.0e-4;
// Share of the segment's length by which it is stretched at both ends besides the clearance: a
// hundred times the search's tolerance on the parameter along the segment (1e-6).
inline constexpr double kSegmentStretchShare = 1.0e-4;

// A segment as the tests see it: stretched at both ends, with its direction, its normal and its
// box widened by the clearance. Not valid when the segment has no length (nothing is clear then).
struct clearance_segment {
    bool valid = false;
    double a[2] = {0.0, 0.0}, b[2] = {0.0, 0.0};  // the stretched ends
    double ux = 0.0, uy = 0.0;                    // unit direction from a to b
    double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0;
};
clearance_segment make_clearance_segment(const double* from, const double* to);

// Whether element k of the array x, y of count entries (a line, or an arc whose record starts
// at k) lies clear of the segment; false for an element that cannot be read.
bool element_clear(const clearance_segment& s, const double* x, const double* y, int count, int k);

// Whether every element of group g (from 1) of the box table lies clear of the segment.
bool group_clear(const clearance_segment& s, const double* x, const double* y, int count, const pk_box_table& boxes,
                 int g);
