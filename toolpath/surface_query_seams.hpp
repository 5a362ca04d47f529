// The queries on the triangulated part surfaces that the surface link, the surface approach and
// retract and the UP/DOWN contact test make: the contact of the tool along a segment, the tool
// height at a point and the touch points along a lateral move. The motion output calls them
// through this table, so a test can put scripted doubles in their place; the cutter location
// (cutter/) fills it when the module is loaded (pocket_arrays/seam_entry.hpp). Beside it, the line-net
// mode word that the approach and retract set before a touch query and the location runs with.
#pragma once

#include "pocket_arrays/seam_entry.hpp"

// The touch query (linnet_touch_point): its modes (every point the tolerance asks for; touch-point
// mode, at most kTouchPointsBetween points between the two ends), the surface set the callers
// ask for (the part surfaces) and its statuses (every string closed; the capacities ran out, so
// the last string stands open short of the move's end).
inline constexpr int kTouchAllPoints = 0, kTouchPointMode = 1;
inline constexpr int kTouchPartSurfaces = 0;
inline constexpr int kTouchDone = 0, kTouchOpen = 1;
inline constexpr int kTouchPointsBetween = 100;
// Most points a touch query answers in touch-point mode: the two ends and the points between
// them; every string holds a point, so as many strings at most.
inline constexpr int kTouchPointsMost = kTouchPointsBetween + 2;
inline constexpr int kTouchStringsMost = kTouchPointsMost;

void linnet_mode_set(int mode);
int linnet_mode_get();

inline constexpr char kSurfaceQuerySeamsName[] = "surface_query_seams";

struct surface_query_seams {
    using unfilled = unfilled_seam<kSurfaceQuerySeamsName>;
    void (*tool_contact_point)(const float* start, const float* end, float height, float* contact, float* normal,
                               int& status) = unfilled{};
    void (*surface_height_at_point)(int mode, const float* point, float tolerance, float stock, float check_stock,
                                    float* normal, float* contact, float& height, int& entity,
                                    int& status) = unfilled{};
    void (*linnet_touch_point)(int context, int mode, const float* start, const float* end, float tolerance,
                               float stock, float check_stock, int point_capacity, float* points, float* normals,
                               float* values, int& string_count, int string_capacity, int* point_counts, int& total,
                               int& status) = unfilled{};
};

// The routines the motion output calls; assign an entry to replace it.
surface_query_seams& surface_query_table();
