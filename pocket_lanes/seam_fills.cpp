// The lane engine's entries of lower folders' seam tables (see the header).
#include "pocket_lanes/seam_fills.hpp"

#include "pocket_lanes/moves/twirl_spline.hpp"
#include "pocket_lanes/pocket_computation.hpp"
#include "pocket_lanes/pocket_drawing.hpp"

void fill_lane_engine_steps(pocket_engine_steps& steps)
{
    steps.cmtpk_clean = cmtpk_clean;
    steps.drawpk = DRAWPK;
    steps.drawpk_find_start = drawpk_find_start;
}

void fill_approach_services(approach_services& services) { services.twirl_spline_show = twirl_spline_show; }

namespace {
[[maybe_unused]] const bool filled_at_load =
    (fill_lane_engine_steps(pocket_engine()), fill_approach_services(approach_seams()), true);
}  // namespace
