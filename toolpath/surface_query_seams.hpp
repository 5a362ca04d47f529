// The queries on the triangulated part surfaces that the surface link, the surface approach and
// retract and the UP/DOWN contact test make: the contact of the tool along a segment, the tool
// height at a point and the touch points along a lateral move. The motion output calls them
// through this table, so a test can put scripted doubles in their place; the cutter location
// (cutter/) fills it when the module is loaded (pocket_arrays/seam_entry.hpp). Beside it, the line-net
// mode word that the approach and retract set before a touch query and the location runs with.
#pragma once

#include "pocket_arrays/seam_entry.hpp"

// Most points a touch query answers: the two ends and at most 100 between them.
inline constexpr int kTouchPointsMost = 102;

void linnet_mode_set(int mode);
int linnet_mode_get();

inline constexpr char kSurfaceQuerySeamsName[] = "surface_query_seams";

struct surface_query_seams {
    using unfilled = unfilled_seam<kSurfaceQuerySeamsName>;
    void (*tool_contact_point)(const float* start, const float* end, float height, float* contact, float* normal,
                               int& status) = unfilled{};
    void (*surface_height_at_point)(int mode, const float* point, float tolerance, float offset1, float offset2,
                                    float* located, int& status) = unfilled{};
    void (*linnet_touch_point)(const float* start, const float* end, float tolerance, float check1, float check2,
                               int room, float* located, int& count, int& status) = unfilled{};
};

// The routines the motion output calls; assign an entry to replace it.
surface_query_seams& surface_query_table();
