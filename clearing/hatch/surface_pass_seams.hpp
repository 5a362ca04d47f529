// The surface pass engine as the hatching calls it: under machining type 11 the hatch linkers
// hand every pass to surface_pass_run, and the hatch lines take the next ordinate from
// pass_height_at_point (clearing/surface_passes/). The pass engine stands above the hatching, so
// the hatching calls it through this table, which the clearing fills when the module is loaded
// (clearing/seam_fills.cpp; pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/seam_entry.hpp"

struct clearing_point;
struct hatch_points;

// The machining type of the surface clearing, under which the hatch linkers hand their passes to
// surface_pass_run.
inline constexpr int kSurfaceClearing = 11;

inline constexpr char kSurfacePassSeamsName[] = "surface_pass_seams";

struct surface_pass_seams {
    using unfilled = unfilled_seam<kSurfacePassSeamsName>;
    // surface_pass_run (clearing/surface_passes/surface_pass_run.hpp): one pass along the surfaces.
    int (*surface_pass_run)(const clearing_point* pass_chain, int& pass_number) = unfilled{};
    // pass_height_at_point (clearing/surface_passes/hatch_step.hpp): the ordinate of the next
    // hatch line by the variable step.
    void (*pass_height_at_point)(float lower_bound, float high, const hatch_points& points, int count, float& ordinate,
                                 int& status) = unfilled{};
};

// The pass engine the hatching calls; assign an entry to replace it.
surface_pass_seams& surface_pass_seam_table();
