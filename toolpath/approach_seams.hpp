// The services of higher folders that the approach and retract motions call: the twirl spline of
// a twirl approach, made by the lane engine's spline moves (pocket_lanes/moves/twirl_spline.hpp), which
// fills the table when the module is loaded (pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/seam_entry.hpp"

inline constexpr char kApproachServicesName[] = "approach_services";

struct approach_services {
    using unfilled = unfilled_seam<kApproachServicesName>;
    // The twirl spline from the end data of the twirl words (nc_services/twirl_words.hpp).
    void (*twirl_spline_show)(int mode, double& length, int& status) = unfilled{};
};

// The services the motion output calls; assign an entry to replace it.
approach_services& approach_seams();
