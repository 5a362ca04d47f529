// Hatch lines of the area clearing: the ordinate range of a region's contours in the hatch frame
// (clr_hatch_range), the crossings of one hatch line with the contours (NCRLIN for the clearing,
// CLRLIN for the direction arrows of the pocket dialog) and their pairing into cutting segments.
// Points are turned into the hatch frame of angle t as x' = x cos t + y sin t,
// y' = y cos t - x sin t; hatch lines are lines of constant y'.
//
// A contour list is a run of words: per contour a count word n, then n (x, y) reals. The contours
// are closed, numbered from 1 in list order; segment i runs from vertex i to vertex i + 1, and
// when the last point does not repeat the first, segment n closes the contour back to vertex 1.
#pragma once

#include "host/words.hpp"

#include <vector>

// Most crossings of one hatch line the clearing keeps; a line with more fails.
inline constexpr int kHatchPointsMost = 7000;
// Most crossings the direction arrows collect on one line.
inline constexpr int kArrowPointsMost = 2000;

// The crossings of one hatch line, in parallel arrays.
struct hatch_points {
    float x[kHatchPointsMost];
    float y[kHatchPointsMost];
    int sign[kHatchPointsMost];     // +1 when the crossed segment rises, -1 otherwise
    int contour[kHatchPointsMost];  // number of the crossed contour (from 1)
    int segment[kHatchPointsMost];  // number of the crossed segment's first vertex (from 1)
    int mark[kHatchPointsMost];     // pairing mark: +1 outer, -1 nested, 0 unpaired
};

// The contours of a contour list by number: where each one's points start and how many it has.
struct hatch_contours {
    const word* list = nullptr;
    int count = 0;
    std::vector<const word*> points = std::vector<const word*>(1, nullptr);  // [k]: contour k's first x
    std::vector<int> sizes = std::vector<int>(1, 0);                         // [k]: its point count

    float x(int k, int i) const { return word_to_real(points[static_cast<std::size_t>(k)][2 * (i - 1)]); }
    float y(int k, int i) const { return word_to_real(points[static_cast<std::size_t>(k)][2 * (i - 1) + 1]); }
    int size(int k) const { return k >= 1 && k <= count ? sizes[static_cast<std::size_t>(k)] : 0; }
};
hatch_contours hatch_contours_of(const word* list, int count);

// Turns every point of the contour list into the hatch frame given by (c, s) = (cos t, sin t), in
// place, and answers the lowest and highest ordinate. Mode 2 then lowers low so that the hatch
// lines fall on a grid of the step through the reference point (x, y, turned the same way):
// with q = (y_ref - low) / step, low - (1.5 - frac(q)) x step.
void clr_hatch_range(float c, float s, int contour_count, int mode, const float* reference, float step, word* contours,
                     float& low, float& high);

// The crossings of the hatch line y' = y with the contours of the list (in the hatch frame),
// sorted by abscissa (ascending for direction 1, else descending), a crossing at a vertex shared
// by two segments of one contour counted once, a contour touching the line from one side counted
// twice. A nearly horizontal segment is passed over when both its neighbours cross the line too.
// Calls the break check first. A count above kHatchPointsMost means the line has more crossings
// than are kept (the points are then not sorted).
void NCRLIN(const word* contours, int contour_count, float y, int direction, int& count, hatch_points& points);

// As NCRLIN for the direction arrows: a nearly horizontal segment is never crossed; more than
// kArrowPointsMost crossings report "CLRLIN,ARRAY OF HATCH POINTS IS NOT LARGE ENOUGH" and keep
// the points so far. Status 0.
void CLRLIN(const word* contours, int contour_count, float y, int direction, hatch_points& points, int& count,
            int& status);

// The crossings of CLRLIN as the direction arrows of the pocket dialog count them
// (pocket/hatch_line_seams.hpp): their number, and the abscissae of the first and the last when
// there are any. Status 0.
void hatch_line_span(const word* contours, int contour_count, float y, int direction, float& first, float& last,
                     int& count, int& status);

// Matches the points like brackets: a point of the contour on top of the stack closes the pair,
// both marked +1 when the opener lies at an even depth, -1 at an odd one; a point of another
// contour is pushed. Outer-contour crossings get +1, crossings of an island nested in it -1.
// Stores the first point's contour in clear_block.
void pair_hatch_points(int count, hatch_points& points);

// The message of a line with more crossings than are kept; every caller of NCRLIN sends it.
inline constexpr const char* kHatchBufferMessage = "CLR_MAKE_HATCH,BUFFER OF HATCHING POINT IS TOO SMALL! ";
