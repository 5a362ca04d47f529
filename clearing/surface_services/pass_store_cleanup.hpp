// Clean-up detection over the pass store: spots where the tool, moving between two neighbouring
// contact points, would jump in height or change sides over a ridge and leave material behind.
// They are looked for along the passes of the finished set and between it and the set before it;
// each place becomes a segment of two tool points with one clean-up point, which clnins sorts into
// the clean-up grid. storps calls pass_set_cleanup when a set is finished.
//
// Tool values are the current tool's (PRM9's tool id): diameter D, corner radius CR and taper; the
// tool point of a contact and its normal is tool_tip_offset's. With no mill (or a diameter of 0)
// the routines record nothing and answer -1.
#pragma once

#include "clearing/surface_services/pass_store.hpp"

// The lists hold at most this many points: segments as pairs of points.
inline constexpr int kCleanupListPoints = 1000;

// The segments found (segment k at points 2k and 2k + 1, three floats each) and the clean-up
// point of each (point k), count the points of the segment list (always even).
struct cleanup_lists {
    int count = 0;
    float segments[3 * kCleanupListPoints] = {};
    float points[3 * kCleanupListPoints] = {};
};

// The current tool's values for the detection; false when it is no mill or has no diameter.
struct cleanup_tool {
    float diameter = 0.0f;
    float corner_radius = 0.0f;
    float taper = 0.0f;  // radians
};
bool cleanup_tool_values(cleanup_tool& tool);

// Empties the lists, searches the set in the current bank (and, when link_flag is 0 and two sets
// have been opened, between it and the other bank) and sorts what was found into the clean-up
// grid. Status 0 (also with no mill: nothing is searched); -1 when the lists overflow (nothing goes
// into the grid); a negative status of clnins.
void pass_set_cleanup(float tolerance, int link_flag, int& status);

// Places along the passes of one set: pairs of neighbouring points whose tool points lie at least
// 2.75 times farther apart than the points (and at least 0.14 D), the points within
// max(5 tolerance, 0.05 D), unless the surface turns the same way on both. Appends to lists.
// Status 0; -1 with no tool values, or when the lists are full (what fitted stays).
void cleanup_within_set(float tolerance, const pass_set_view& set, cleanup_lists& lists, int& status);

// Places between the finished set and the set before it: samples along the finished set's passes
// whose tool point and the tool point at the nearest point of the other set differ far more than
// the points do. Appends two segments per place. Status 0; -1 with no tool values, or when the
// lists are full.
void cleanup_between_sets(const pass_set_view& finished, const pass_set_view& other, cleanup_lists& lists, int& status);

// The nearest point of the passes of set (of two or more points) to point, and the normal there
// (interpolated, not made unit). Status 0 found within one tool diameter; 1 nothing so near; -1 no
// tool values.
void nearest_on_pass_set(const float* point, const pass_set_view& set, float* nearest, float* normal, int& status);
