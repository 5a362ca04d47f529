// Hatch lines of the area clearing: the ordinate range of a region's contours in the hatch frame
// (clr_hatch_range) and the crossings of one hatch line with the contours (CLRLIN, the variant
// the direction arrows of the pocket dialog use). Points are turned into the hatch frame of angle
// t as x' = x cos t + y sin t, y' = y cos t - x sin t; hatch lines are lines of constant y'.
#pragma once

#include "host/words.hpp"

// Most crossings of one hatch line.
inline constexpr int kHatchPointsMost = 2000;

// The crossings of one hatch line, in parallel arrays.
struct hatch_points {
    float x[kHatchPointsMost];
    float y[kHatchPointsMost];
    int sign[kHatchPointsMost];      // +1 when the crossed segment rises, -1 otherwise
    int contour[kHatchPointsMost];   // number of the crossed contour (from 1)
    int segment[kHatchPointsMost];   // number of the crossed segment's first vertex (from 1)
};

// Turns every point of the contour list (per contour a count word, then x, y reals) into the
// hatch frame given by (c, s) = (cos t, sin t), in place, and answers the lowest and highest
// ordinate. Mode 2 then lowers low so that the hatch lines fall on a grid of the step through
// the reference point (x, y, turned the same way).
void clr_hatch_range(float c, float s, int contour_count, int mode, const float* reference, float step,
                     word* contours, float& low, float& high);

// The crossings of the hatch line y' = y with the contours of the list (in the hatch frame),
// sorted by abscissa (ascending for direction 1, else descending), a crossing at a vertex shared
// by two segments of one contour counted once. Horizontal segments are never crossed. Status 0;
// more than kHatchPointsMost crossings report "CLRLIN,ARRAY OF HATCH POINTS IS NOT LARGE ENOUGH"
// and keep the points so far.
void CLRLIN(const word* contours, int contour_count, float y, int direction, hatch_points& points, int& count,
            int& status);
