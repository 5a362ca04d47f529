// The entries that the lane engine fills, when the module is loaded, in the seam tables of lower
// folders (pocket_arrays/seam_entry.hpp): the lane engine's and the pocket drawing's steps of the
// pocket's engine step table and the twirl spline of the motion output's approach services. A
// test that replaced entries fills them again with these.
#pragma once

#include "pocket/engine_steps.hpp"
#include "toolpath/approach_seams.hpp"

void fill_lane_engine_steps(pocket_engine_steps& steps);
void fill_approach_services(approach_services& services);
