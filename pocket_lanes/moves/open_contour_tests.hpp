// The step tests of the open-contour check: whether the tool, standing at a point of a contour,
// meets the part within its reach along the probe direction of the corner there
// (open_contour_step_test, with the clearing grid's segment test of the surface grid seams), the nearest sideways
// contact of the tool (open_contour_contact), and the kind words of the three surfaces the check
// switches (pick_list_of_type, set_lists_attribute). The lane engine's open-contour check asks
// them at every step.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Corner kinds: the probe direction the next call takes (0 after, 1 the mean, 2 before) and 3
// when fewer than two directions exist or a convex corner was met.
inline constexpr int kCornerAfter = 0, kCornerMean = 1, kCornerBefore = 2, kCornerDone = 3;
// Status of the step test when the tool stands on the part at the point (or no free probe was
// found): the point is usable but not probed.
inline constexpr int kStepOnPart = 2;
// A corner counts as convex when cross(d1, d2) is above 0, or above this (the sine of -10
// degrees) while the dot product is above 0.
inline constexpr double kConvexCross = -0.173648;

// Where a point lies on the lane: the element (from 1) and the parameter on it.
struct lane_point_index {
    int element = 1;
    double t = 0.0;
};

// Developer switch (off): show each step point as a point entity.
extern int open_contour_show_steps;

// The step test at (x, y, z), the point at `index` of the lane (its direction 1, or -1 reversed).
// before and after answer the lane's unit directions there (zero when missing); corner_kind is
// updated; blocked 1 when the tool meets the part within its reach along the probe direction (or
// the contact routine fails), else 0. The current tool is shrunk by the clearance of
// curve_approx_common for the test and restored on every way out. Status 0; kStepOnPart; or the
// negative status of a tool test. Reads the current tool, pocket_work.tolerance,
// curve_approx_common (reach mode, clearance) and the clearing grid.
void open_contour_step_test(const pokarr& lane, int lane_direction, double x, double y, double z,
                            const lane_point_index& index, int& corner_kind, double* before, double* after,
                            int& blocked, int& status);

// The nearest sideways contact of the tool moving along `direction` from a towards b at the
// height, stepped k times by a third of the reach: found starts as b and becomes the nearest
// contact in front of the probe. Status 0. Reads the current tool and pocket_work.tolerance.
void open_contour_contact(const double* a, const double* b, const double* direction, double height, double* found,
                          int& status);

// The kind word of the surface of the type (1 or 7 the first id, 2 the second, 4 the third);
// -1 for another type, an id below 1 or a surface without a record.
void pick_list_of_type(const int* surfaces, int type, int& result);
// Writes the value as the kind word of each surface whose mask bit (1, 2, 4) is set and whose id
// is above 0; with the projection manager on, bit 1 switches its item 3, bits 2 and 4 its item 4.
void set_lists_attribute(const int* surfaces, int mask, int value);
